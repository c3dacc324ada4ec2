#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

class BivarroAudioProcessor;

// Bivarro's saved form: the parameter tree as XML in the framework's binary wrapper, with the
// interface settings as attributes of the root and the three setting slots as its last children.
// Hosts keep this form in users' projects, so it changes only in ways old projects still load.
class BivarroSavedState
{
public:
    BivarroSavedState() = delete;

    static void write(BivarroAudioProcessor& processor, juce::MemoryBlock& dest);

    // Returns false, leaving everything as it was, when the data is not a saved form of ours.
    static bool read(BivarroAudioProcessor& processor, const void* data, int sizeInBytes);

    static inline const juce::Identifier slotIndexKey{"_slotIndex"};
};
