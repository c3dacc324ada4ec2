#include "bivarro/processor/BivarroSavedState.h"

#include "bivarro/processor/BivarroAudioProcessor.h"

#include <cmath>
#include <type_traits>

namespace
{
using Proc = BivarroAudioProcessor;

const juce::String stateType{"Parameters"};
const juce::Identifier activeSlotKey{"activeSlot"};
const juce::Identifier paramIdKey{"id"};
const juce::Identifier paramValueKey{"value"};
const juce::Identifier paramType{"PARAM"};

template <typename T> struct Setting
{
    const char* key;
    std::atomic<T> Proc::*member;
    T def, min, max;
};

// Window positions and sizes beyond any real desktop are not kept.
constexpr int maxWindowCoordinate = 16384;

// The interface settings in saved order, with the defaults and limits a restore applies.
// activeSlot, saved last, is handled by the callers: saving refreshes its slot just before.
template <typename Fn> void forEachSetting(Fn&& fn)
{
    fn(Setting<int>{"editorWidth", &Proc::editorWidth, 380, 300, 540});
    fn(Setting<bool>{"tooltipsEnabled", &Proc::tooltipsEnabled, false, false, true});
    fn(Setting<bool>{"languageSpanish", &Proc::languageSpanish, false, false, true});
    fn(Setting<bool>{"meterHold", &Proc::meterHold, false, false, true});
    fn(Setting<int>{"linkGain", &Proc::linkGain, 0, -1, 1});
    fn(Setting<int>{"linkDelay", &Proc::linkDelay, 0, -1, 1});
    fn(Setting<int>{"linkFreq", &Proc::linkFreq, 0, -1, 1});
    fn(Setting<int>{"linkPhase", &Proc::linkPhase, 0, -1, 1});
    fn(Setting<int>{"linkPan", &Proc::linkPan, 0, -1, 1});
    fn(Setting<int>{"linkMidSide", &Proc::linkMidSide, 0, -1, 1});
    fn(Setting<int>{"linkAsymRot", &Proc::linkAsymRot, 0, -1, 1});
    fn(Setting<int>{"linkQ", &Proc::linkQ, 0, -1, 1});
    fn(Setting<int>{"linkOrd", &Proc::linkOrd, 0, -1, 1});
    fn(Setting<int>{"linkPol", &Proc::linkPol, 0, -1, 1});
    fn(Setting<int>{"linkMuteL", &Proc::linkMuteL, 0, -1, 1});
    fn(Setting<int>{"linkMuteSid", &Proc::linkMuteSid, 0, -1, 1});
    fn(Setting<int>{"analyserScopeMode", &Proc::analyserScopeMode, 0, 0, 1});
    fn(Setting<float>{"analyserZoom", &Proc::analyserZoom, 1.0f, 0.5f, 4.0f});
    // The scope release knob spans 0.05..1 s in Dots mode and 1..5 s in Envelope mode.
    fn(Setting<float>{"analyserRelScope", &Proc::analyserRelScope, 0.15f, 0.05f, 5.0f});
    fn(Setting<float>{"analyserRelCorr", &Proc::analyserRelCorr, 0.15f, 0.05f, 2.0f});
    fn(Setting<float>{"analyserRelPan", &Proc::analyserRelPan, 0.15f, 0.05f, 2.0f});
    fn(Setting<bool>{"analyserCfgOpen", &Proc::analyserCfgOpen, false, false, true});
    // -1 means no saved position, 0 no saved size.
    fn(Setting<int>{"analyserWinX", &Proc::analyserWinX, -1, -1, maxWindowCoordinate});
    fn(Setting<int>{"analyserWinY", &Proc::analyserWinY, -1, -1, maxWindowCoordinate});
    fn(Setting<int>{"analyserWinW", &Proc::analyserWinW, 0, 0, maxWindowCoordinate});
    fn(Setting<int>{"analyserWinH", &Proc::analyserWinH, 0, 0, maxWindowCoordinate});
    fn(Setting<bool>{"analyserSnapToPlugin", &Proc::analyserSnapToPlugin, true, false, true});
    fn(Setting<bool>{"analyserAlwaysOnTop", &Proc::analyserAlwaysOnTop, true, false, true});
    fn(Setting<bool>{"analyserOpen", &Proc::analyserOpen, false, false, true});
    fn(Setting<float>{"analyserTriangleAlpha", &Proc::analyserTriangleAlpha, 0.15f, 0.0f, 0.5f});
    fn(Setting<float>{"analyserDotDensity", &Proc::analyserDotDensity, 1.0f, 0.1f, 2.0f});
    fn(Setting<float>{"analyserInputBright", &Proc::analyserInputBright, 0.3f, 0.05f, 1.0f});
    fn(Setting<float>{"analyserOutputBright", &Proc::analyserOutputBright, 0.88f, 0.1f, 1.0f});
}

template <typename T> juce::var toVar(T value)
{
    // Floats are saved widened to double, with the digits of the float.
    if constexpr (std::is_same_v<T, float>)
        return static_cast<double>(value);
    else
        return value;
}

template <typename T> T readSetting(const juce::XmlElement& xml, const Setting<T>& s)
{
    if constexpr (std::is_same_v<T, bool>)
    {
        return xml.getBoolAttribute(s.key, s.def);
    }
    else if constexpr (std::is_same_v<T, int>)
    {
        return juce::jlimit(s.min, s.max, xml.getIntAttribute(s.key, s.def));
    }
    else
    {
        const double d = xml.getDoubleAttribute(s.key, s.def);
        return std::isfinite(d) ? static_cast<float>(juce::jlimit<double>(s.min, s.max, d)) : s.def;
    }
}

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

    forEachSetting([&](const auto& s) { state.setProperty(s.key, toVar((processor.*s.member).load()), nullptr); });

    const int active = processor.activeSlot.load();
    if (active >= 0 && active < static_cast<int>(processor.slots.size()))
        processor.slots[static_cast<size_t>(active)] = snapshot;
    state.setProperty(activeSlotKey, active, nullptr);

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

    forEachSetting([&](const auto& s) { (processor.*s.member).store(readSetting(*xml, s)); });
    const int lastSlot = static_cast<int>(processor.slots.size()) - 1;
    processor.activeSlot = juce::jlimit(0, lastSlot, xml->getIntAttribute(activeSlotKey, 0));

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
    processor.apvts.replaceState(processor.slots[static_cast<size_t>(processor.activeSlot.load())]);
    processor.initSlots();
    return true;
}
