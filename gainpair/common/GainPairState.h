#pragma once

#include "gainpair/common/GainPairEditorSettings.h"

#include <juce_audio_processors/juce_audio_processors.h>

// The saved form both gain plug-ins share: the parameter tree with the editor settings the
// processor holds added as attributes of its root element, in the framework's binary XML wrapper.
class GainPairState
{
public:
    // The state reads and writes the processor's own tree and settings; it holds no copies.
    GainPairState(juce::AudioProcessorValueTreeState& apvts, GainPairEditorSettings& settings);

    void save(juce::MemoryBlock& destData) const;

    // Takes the settings and parameters from data saved by save(). Returns false, changing nothing,
    // when the data is not a state of this tree; the caller recomputes what depends on the
    // parameters only after a true result.
    bool restore(const void* data, int sizeInBytes);

private:
    void mendParameterValues(juce::XmlElement& root) const;

    juce::AudioProcessorValueTreeState& apvts;
    GainPairEditorSettings& settings;
};
