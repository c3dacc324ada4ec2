#include "gainpair/common/GainPairState.h"

#include <cmath>

GainPairState::GainPairState(juce::AudioProcessorValueTreeState& tree, Settings s) : apvts(tree), settings(s) {}

namespace
{
// The tree keeps its parameters sorted by ID; the saved form lists them in host order.
struct HostOrder
{
    int compareElements(const juce::ValueTree& a, const juce::ValueTree& b) const { return indexOf(a) - indexOf(b); }

    int indexOf(const juce::ValueTree& child) const
    {
        const auto id = child.getProperty("id").toString();
        for (int i = 0; i < params.size(); ++i)
            if (auto* p = dynamic_cast<juce::RangedAudioParameter*>(params[i]); p != nullptr && p->paramID == id)
                return i;
        return params.size();
    }

    const juce::Array<juce::AudioProcessorParameter*>& params;
};
} // namespace

void GainPairState::save(juce::MemoryBlock& destData) const
{
    auto state = apvts.copyState();
    HostOrder order{apvts.processor.getParameters()};
    state.sort(order, nullptr, true);
    auto xml = state.createXml();
    if (xml == nullptr)
        return;

    xml->setAttribute("uiScale", static_cast<double>(settings.uiScale.load()));
    xml->setAttribute("editorWidth", settings.editorWidth.load());
    xml->setAttribute("tooltipsOn", settings.tooltipsOn.load() ? 1 : 0);
    xml->setAttribute("isSpanish", settings.isSpanish.load() ? 1 : 0);
    xml->setAttribute("meterHold", settings.meterHold.load() ? 1 : 0);
    juce::AudioProcessor::copyXmlToBinary(*xml, destData);
}

bool GainPairState::restore(const void* data, int sizeInBytes)
{
    auto xml = juce::AudioProcessor::getXmlFromBinary(data, sizeInBytes);
    const auto stateType = apvts.state.getType().toString();
    if (xml == nullptr || !xml->getTagName().equalsIgnoreCase(stateType))
        return false;

    restoreSettings(*xml);
    mendParameterValues(*xml);
    // Older hosts may hand the tag back in another case; the tree keeps its own.
    xml->setTagName(stateType);
    apvts.replaceState(juce::ValueTree::fromXml(*xml));
    return true;
}

void GainPairState::restoreSettings(const juce::XmlElement& root)
{
    if (root.hasAttribute("uiScale"))
    {
        // The editor applies the scale as its transform: zero or a non-finite factor would make it singular.
        const double scale = root.getDoubleAttribute("uiScale");
        const bool usable = std::isfinite(scale) && scale >= minUiScale && scale <= maxUiScale;
        settings.uiScale.store(usable ? static_cast<float>(scale) : defaultUiScale);
    }
    if (root.hasAttribute("editorWidth"))
        settings.editorWidth.store(juce::jlimit(minEditorWidth, maxEditorWidth, root.getIntAttribute("editorWidth")));
    if (root.hasAttribute("tooltipsOn"))
        settings.tooltipsOn.store(root.getIntAttribute("tooltipsOn") != 0);
    if (root.hasAttribute("isSpanish"))
        settings.isSpanish.store(root.getIntAttribute("isSpanish") != 0);
    if (root.hasAttribute("meterHold"))
        settings.meterHold.store(root.getIntAttribute("meterHold") != 0);
}

// A finite value outside its parameter's range is set to the nearest limit, as the framework does
// with any value it is given; a value that is not finite is removed, so that its parameter takes
// its default instead of passing NaN on.
void GainPairState::mendParameterValues(juce::XmlElement& root) const
{
    for (auto* child : root.getChildIterator())
    {
        auto* param = apvts.getParameter(child->getStringAttribute("id"));
        if (param == nullptr || !child->hasAttribute("value"))
            continue;
        const double value = child->getDoubleAttribute("value");
        const auto& range = param->getNormalisableRange();
        if (!std::isfinite(value))
            child->removeAttribute("value");
        else if (value < range.start || value > range.end)
            child->setAttribute("value",
                                juce::jlimit(static_cast<double>(range.start), static_cast<double>(range.end), value));
    }
}
