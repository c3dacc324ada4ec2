#pragma once

#include "support/GainLinkTestEnvironment.h"
#include "support/ParamHelpers.h"

#include "gainpair/ovrel/OvrelAudioProcessor.h"

#include <gtest/gtest.h>

#include <memory>

// Every test builds its processors through this fixture, in its own sandbox.
class OvrelTest : public ::testing::Test
{
protected:
    std::unique_ptr<OvrelAudioProcessor> makeProcessor() { return std::make_unique<OvrelAudioProcessor>(scope.env); }

    GainLinkLockFiles lockFiles() const { return GainLinkLockFiles(scope.env); }

    ScopedGainLinkEnvironment scope;
};

// Runs one block of the given constant input and returns the buffer.
inline juce::AudioBuffer<float> runBlock(OvrelAudioProcessor& proc, int numSamples, float input = 1.0f,
                                         int numChannels = 2)
{
    juce::AudioBuffer<float> buffer(numChannels, numSamples);
    for (int ch = 0; ch < numChannels; ++ch)
        juce::FloatVectorOperations::fill(buffer.getWritePointer(ch), input, numSamples);
    juce::MidiBuffer midi;
    proc.processBlock(buffer, midi);
    return buffer;
}

inline LinkRole roleOf(const OvrelAudioProcessor& proc)
{
    return static_cast<LinkRole>(proc.linkRole.load());
}

inline void tick(OvrelAudioProcessor& proc, int times = 1)
{
    for (int i = 0; i < times; ++i)
        proc.timerCallback();
}
