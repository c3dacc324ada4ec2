#pragma once

#include <juce_audio_basics/juce_audio_basics.h>

#include <limits>

// The linear gain of a dB value, -100 dB and below being silence. Nearly every block brings the
// value of the block before, so the power is taken again only when the value changes.
class DecibelGain
{
public:
    float operator()(float dB) noexcept
    {
        if (!juce::exactlyEqual(dB, lastDb))
        {
            lastDb = dB;
            gain = juce::Decibels::decibelsToGain(dB, -100.0f);
        }
        return gain;
    }

private:
    float lastDb = std::numeric_limits<float>::quiet_NaN(); // equal to nothing: the first call computes
    float gain = 0.0f;
};
