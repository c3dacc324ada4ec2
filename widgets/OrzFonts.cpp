#include "widgets/OrzFonts.h"

namespace OrzFonts
{
const juce::String& typefaceName()
{
    static const juce::String name = []
    {
        const auto installed = juce::Font::findAllTypefaceNames();
        for (const char* candidate : {"Arial", "Liberation Sans"})
            if (installed.contains(candidate, true))
                return juce::String(candidate);
        return juce::Font::getDefaultSansSerifFontName();
    }();
    return name;
}

juce::Font font(float height, bool bold)
{
    return juce::Font(juce::FontOptions(typefaceName(), height, bold ? juce::Font::bold : juce::Font::plain));
}
} // namespace OrzFonts
