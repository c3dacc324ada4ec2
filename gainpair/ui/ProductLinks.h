#pragma once

#include <juce_core/juce_core.h>

#include <functional>

namespace gainpair
{
// Where the logo buttons lead, and how an address is opened (tests put in a launcher of their own).
struct ProductLinks
{
    static juce::URL productPage(const juce::String& pluginName);
    static juce::URL supportPage();

    // The logo button's tooltip: the support address, a line break, the product address.
    static juce::String logoTooltip(const juce::String& pluginName);

    using Launcher = std::function<void(const juce::URL&)>;
    static Launcher defaultBrowser();
};
} // namespace gainpair
