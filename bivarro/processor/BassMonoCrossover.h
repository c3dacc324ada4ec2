#pragma once

#include "bivarro/processor/ChainState.h"

// The bass-mono crossover: each channel through two equal Butterworth low-passes and two equal
// high-passes (a fourth-order Linkwitz-Riley split). The four paths run side by side.
class BassMonoCrossover
{
public:
    // Coefficients for a crossover at `frequency`, kept below Nyquist so the poles stay inside
    // the unit circle at any sample rate.
    static void design(double sampleRate, float frequency, BiquadCoeffs& lowPass, BiquadCoeffs& highPass) noexcept;

    static void process(const BiquadCoeffs& lowPass, const BiquadCoeffs& highPass, CrossoverStates& states,
                        const float* left, const float* right, float* lowL, float* lowR, float* highL, float* highR,
                        int n) noexcept;

    // Zeroes every filter state that is no longer finite; true when one was.
    static bool clearNonFinite(CrossoverStates& states) noexcept;
};
