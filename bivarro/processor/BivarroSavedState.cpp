#include "bivarro/processor/BivarroSavedState.h"

#include "bivarro/processor/BivarroAudioProcessor.h"

#include <cmath>

namespace
{
using Proc = BivarroAudioProcessor;

const juce::String stateType{"Parameters"};
const juce::Identifier activeSlotKey{"activeSlot"};
const juce::Identifier paramIdKey{"id"};
const juce::Identifier paramValueKey{"value"};
const juce::Identifier paramType{"PARAM"};

// The framework keeps a parameter's old value when its child is missing and passes "nan" or "inf"
// through its range clamp to the audio; a restored slot gives such parameters their default instead.
void giveEveryParameterAUsableValue(const Proc& processor, juce::ValueTree& slot)
{
    for (auto* p : processor.getParameters())
    {
        auto* ranged = dynamic_cast<juce::RangedAudioParameter*>(p);
        if (ranged == nullptr)
            continue;

        const auto id = ranged->getParameterID();
        const double def = ranged->convertFrom0to1(ranged->getDefaultValue());
        bool found = false;
        for (auto child : slot)
        {
            if (child.getProperty(paramIdKey).toString() != id)
                continue;
            found = true;
            const auto* value = child.getPropertyPointer(paramValueKey);
            if (value == nullptr || !std::isfinite(static_cast<float>(*value)))
                child.setProperty(paramValueKey, def, nullptr);
        }
        if (!found)
            slot.appendChild(juce::ValueTree(paramType, {{paramIdKey, id}, {paramValueKey, def}}), nullptr);
    }
}
} // namespace

void BivarroSavedState::write(BivarroAudioProcessor& processor, juce::MemoryBlock& dest)
{
    const juce::ScopedLock lock(processor.slotLock);

    auto state = processor.apvts.copyState();
    // The active slot is refreshed from the same snapshot, so it matches the saved live values even
    // while the host automates parameters.
    const auto snapshot = state.createCopy();

    processor.settings.writeTo(state);

    // The slot that the saved activeSlot names.
    const int active = state[activeSlotKey];
    if (active >= 0 && active < static_cast<int>(processor.slots.size()))
        processor.slots[static_cast<size_t>(active)] = snapshot;

    for (size_t i = 0; i < processor.slots.size(); ++i)
    {
        if (!processor.slots[i].isValid())
            continue;
        auto copy = processor.slots[i].createCopy();
        copy.setProperty(slotIndexKey, static_cast<int>(i), nullptr);
        state.appendChild(copy, nullptr);
    }

    if (const auto xml = state.createXml())
        juce::AudioProcessor::copyXmlToBinary(*xml, dest);
}

bool BivarroSavedState::read(BivarroAudioProcessor& processor, const void* data, int sizeInBytes)
{
    const auto xml = juce::AudioProcessor::getXmlFromBinary(data, sizeInBytes);
    // Compared by hand: the framework's own tag check asserts on a difference in case.
    if (xml == nullptr || !xml->getTagName().equalsIgnoreCase(stateType))
        return false;

    const juce::ScopedLock lock(processor.slotLock);

    processor.settings.readFrom(*xml);
    const int lastSlot = static_cast<int>(processor.slots.size()) - 1;

    // Backwards, so that of two children for one slot the one nearer the front wins. The root's
    // own parameter children are not applied: the live state becomes the active slot.
    for (int i = xml->getNumChildElements() - 1; i >= 0; --i)
    {
        const auto& child = *xml->getChildElement(i);
        const int u = child.getIntAttribute(slotIndexKey, -1);
        // A slot of another tag would become the live state, be saved as the root, and make the
        // next load refuse the whole document.
        if (u < 0 || u > lastSlot || !child.getTagName().equalsIgnoreCase(stateType))
            continue;

        auto& slot = processor.slots[static_cast<size_t>(u)];
        slot = juce::ValueTree::fromXml(child);
        slot.removeProperty(slotIndexKey, nullptr);
        giveEveryParameterAUsableValue(processor, slot);
    }

    // The live state and the active slot become one tree, so parameter changes land in the slot.
    processor.apvts.replaceState(processor.slots[static_cast<size_t>(processor.settings.activeSlot.load())]);
    processor.initSlots();
    return true;
}
