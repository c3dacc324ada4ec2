#include "gainpair/common/GainPairState.h"

#include <cmath>

GainPairState::GainPairState(juce::AudioProcessorValueTreeState& tree, GainPairEditorSettings& s)
    : apvts(tree), settings(s)
{
}

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

    settings.save(*xml);
    juce::AudioProcessor::copyXmlToBinary(*xml, destData);
}

bool GainPairState::restore(const void* data, int sizeInBytes)
{
    auto xml = juce::AudioProcessor::getXmlFromBinary(data, sizeInBytes);
    const auto stateType = apvts.state.getType().toString();
    if (xml == nullptr || !xml->getTagName().equalsIgnoreCase(stateType))
        return false;

    settings.restore(*xml);
    mendParameterValues(*xml);
    // Older hosts may hand the tag back in another case; the tree keeps its own.
    xml->setTagName(stateType);
    apvts.replaceState(juce::ValueTree::fromXml(*xml));
    return true;
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
