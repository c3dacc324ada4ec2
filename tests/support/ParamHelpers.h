#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

// Sets a parameter in its own units, the way a host or an attachment does.
inline void setParam(juce::AudioProcessorValueTreeState& apvts, const juce::String& id, float value)
{
    auto* p = apvts.getParameter(id);
    p->setValueNotifyingHost(p->convertTo0to1(value));
}

inline float rawParam(juce::AudioProcessorValueTreeState& apvts, const juce::String& id)
{
    return apvts.getRawParameterValue(id)->load();
}
