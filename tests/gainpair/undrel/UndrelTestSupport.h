#pragma once

#include "support/ParamHelpers.h"

#include "gainpair/undrel/UndrelAudioProcessor.h"

#include <gtest/gtest.h>

#include <memory>

// Every test builds its processors through this fixture.
class UndrelTest : public ::testing::Test
{
protected:
    std::unique_ptr<UndrelAudioProcessor> makeProcessor() { return std::make_unique<UndrelAudioProcessor>(); }
};

// Runs one block of the given constant input and returns the buffer.
inline juce::AudioBuffer<float> runBlock(UndrelAudioProcessor& proc, int numSamples, float input = 1.0f,
                                         int numChannels = 2)
{
    juce::AudioBuffer<float> buffer(numChannels, numSamples);
    for (int ch = 0; ch < numChannels; ++ch)
        juce::FloatVectorOperations::fill(buffer.getWritePointer(ch), input, numSamples);
    juce::MidiBuffer midi;
    proc.processBlock(buffer, midi);
    return buffer;
}

inline float dbOf(float linear)
{
    return 20.0f * std::log10(linear);
}
