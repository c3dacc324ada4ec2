#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

// The editor's reads and writes of Bivarro's switch parameters.
namespace BivarroSwitches
{
// One complete gesture per click, so that hosts record touch automation and undo steps.
void write(juce::AudioProcessorValueTreeState& apvts, const juce::String& parameterId, bool on);

bool isOn(const juce::AudioProcessorValueTreeState& apvts, const juce::String& parameterId);
} // namespace BivarroSwitches
