#pragma once

#include "support/ParamHelpers.h"

#include "gainpair/ovrel/OvrelAudioProcessor.h"

#include <gtest/gtest.h>

#include <memory>

// Every test builds its processors through this fixture.
class OvrelTest : public ::testing::Test
{
protected:
    std::unique_ptr<OvrelAudioProcessor> makeProcessor() { return std::make_unique<OvrelAudioProcessor>(); }
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
