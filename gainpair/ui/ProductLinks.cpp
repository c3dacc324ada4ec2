#include "gainpair/ui/ProductLinks.h"

namespace gainpair
{
juce::URL ProductLinks::productPage(const juce::String& pluginName)
{
    return juce::URL("https://orlintz.example/plugins/" + pluginName.toLowerCase());
}

juce::URL ProductLinks::supportPage()
{
    return juce::URL("https://orlintz.example/support");
}

juce::String ProductLinks::logoTooltip(const juce::String& pluginName)
{
    return supportPage().toString(false) + "\n" + productPage(pluginName).toString(false);
}

ProductLinks::Launcher ProductLinks::defaultBrowser()
{
    return [](const juce::URL& url) { url.launchInDefaultBrowser(); };
}
} // namespace gainpair
