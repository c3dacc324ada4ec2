#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

// A host may hand a parameter any value: NaN, +inf or -inf, through setValue as a host does, or
// straight into the raw value the audio thread reads.
struct NonFiniteCase
{
    const char* name;
    float value;
    bool throughRawValue;
};

inline constexpr NonFiniteCase nonFiniteCases[] = {
    {"NaN from the host", std::numeric_limits<float>::quiet_NaN(), false},
    {"NaN raw", std::numeric_limits<float>::quiet_NaN(), true},
    {"+inf raw", std::numeric_limits<float>::infinity(), true},
    {"-inf raw", -std::numeric_limits<float>::infinity(), true},
};

inline bool allFinite(const juce::AudioBuffer<float>& buffer)
{
    for (int ch = 0; ch < buffer.getNumChannels(); ++ch)
        for (int i = 0; i < buffer.getNumSamples(); ++i)
            if (!std::isfinite(buffer.getSample(ch, i)))
                return false;
    return true;
}

inline void injectValue(juce::AudioProcessorValueTreeState& apvts, const char* id, float value, bool raw)
{
    if (raw)
        apvts.getRawParameterValue(id)->store(value);
    else
        apvts.getParameter(id)->setValue(value);
}
