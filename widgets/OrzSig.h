#pragma once

#include <juce_graphics/juce_graphics.h>

// The look every editor shares: background and card colours, and the raised card painter.
namespace OrzSig
{
extern const juce::Colour bgTop;
extern const juce::Colour bgBottom;
// Lighter in the gain plug-ins, which draw their cards in their own style.
extern const juce::Colour cardTop;
extern const juce::Colour cardBottom;
extern const juce::Colour accentHi;

// A fraction 0..1 as an 8-bit alpha: 0 at or below 0, 255 at or above 1, otherwise the nearest.
inline juce::uint8 alphaOf(float fraction)
{
    if (fraction <= 0.0f)
        return 0;
    if (fraction >= 1.0f)
        return 255;
    return (juce::uint8)juce::roundToInt(fraction * 255.0f);
}

// Paints a raised card: soft drop shadow, gradient face, faint top highlight and gold outline.
// The gain plug-ins' style takes the outline's alpha (0..1) from outlineAlpha; the stereo style
// uses a fixed one. The last argument is not used by either style.
void drawElevatedCard(juce::Graphics& g, juce::Rectangle<float> bounds, float outlineAlpha, float unused);
} // namespace OrzSig
