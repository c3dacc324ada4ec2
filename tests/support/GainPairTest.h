#pragma once

#include "support/GainLinkTestEnvironment.h"

#include "gainpair/common/GainLinkLockFiles.h"

#include <juce_audio_processors/juce_audio_processors.h>

#include <gtest/gtest.h>

#include <memory>

// Every test of a gain plug-in builds its processors through this fixture, in its own sandbox.
template <typename Processor> class GainPairTest : public ::testing::Test
{
protected:
    std::unique_ptr<Processor> makeProcessor() { return std::make_unique<Processor>(scope.env); }

    GainLinkLockFiles lockFiles() const { return GainLinkLockFiles(scope.env); }

    ScopedGainLinkEnvironment scope;
};

// Runs one block of the given constant input and returns the buffer.
inline juce::AudioBuffer<float> runBlock(juce::AudioProcessor& proc, int numSamples, float input = 1.0f,
                                         int numChannels = 2)
{
    juce::AudioBuffer<float> buffer(numChannels, numSamples);
    for (int ch = 0; ch < numChannels; ++ch)
        juce::FloatVectorOperations::fill(buffer.getWritePointer(ch), input, numSamples);
    juce::MidiBuffer midi;
    proc.processBlock(buffer, midi);
    return buffer;
}
