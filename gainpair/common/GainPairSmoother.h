#pragma once

#include <juce_audio_basics/juce_audio_basics.h>

#include <limits>

// A dB value ramped linearly, as the gain plug-ins apply their gains. It renders the linear gains of
// its next samples in one go: over a linear ramp in dB each gain is the one before times a constant
// ratio, so a block needs a few powers of ten instead of one per sample.
class GainPairSmoother : public juce::SmoothedValue<float, juce::ValueSmoothingTypes::Linear>
{
public:
    // 10^(dB / 20); anything at or below -100 dB is silence.
    static float linearGain(float db) noexcept { return juce::Decibels::decibelsToGain(db, -100.0f); }

    int getRemainingSteps() const noexcept { return countdown; }

    // As the framework's, which ignores a target approximately equal to the current one; a target
    // that has not moved at all, as on most blocks, costs one comparison.
    void setTargetValue(float newValue) noexcept
    {
        if (!juce::exactlyEqual(newValue, getTargetValue()))
            SmoothedValue::setTargetValue(newValue);
    }

    // The linear gain of the last dB value asked for, kept, so a steady gain costs no power of ten.
    class GainCache
    {
    public:
        float operator()(float db) noexcept
        {
            if (!juce::exactlyEqual(db, lastDb))
            {
                lastDb = db;
                lastGain = linearGain(db);
            }
            return lastGain;
        }

    private:
        float lastDb = std::numeric_limits<float>::quiet_NaN();
        float lastGain = 0.0f;
    };

    // Writes the linear gain of first + second (second may be null) for each of the next numSamples
    // samples into gains, and advances the smoothers past them, as getNextValue would once per sample.
    static void renderGains(GainPairSmoother& first, GainPairSmoother* second, float* gains, int numSamples) noexcept;

    // Multiplies each of the channels by those gains, sample by sample, in chunks on the stack.
    static void applyGains(GainPairSmoother& first, GainPairSmoother* second, float* const* channels, int numChannels,
                           int numSamples) noexcept;

private:
    float stepSize() const noexcept;
};
