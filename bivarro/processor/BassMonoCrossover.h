#pragma once

#include "bivarro/processor/ChainState.h"
#include "bivarro/processor/RampValues.h"

// The bass-mono crossover: each channel through two equal Butterworth low-passes and two equal
// high-passes (a fourth-order Linkwitz-Riley split). The four paths run side by side. The
// coefficients follow a moving frequency: checked every 32 samples, recomputed when it moved by
// more than 0.05 Hz.
class BassMonoCrossover
{
public:
    void prepare(double sampleRate) noexcept;

    // Clears the filter states and forgets the coefficients, so the next sample computes them.
    void reset() noexcept;

    // Splits left and right into low and high bands at frequencies[i] for sample i.
    void process(RampValues frequencies, const float* left, const float* right, float* lowL, float* lowR, float* highL,
                 float* highR, int n) noexcept;

    // Zeroes every filter state that is no longer finite; true when one was.
    bool clearNonFinite() noexcept;

    // Coefficients for a crossover at `frequency`, kept below Nyquist so the poles stay inside
    // the unit circle at any sample rate.
    static void design(double sampleRate, float frequency, BiquadCoeffs& lowPass, BiquadCoeffs& highPass) noexcept;

    const BiquadCoeffs& lowPass() const noexcept { return lowPassCoeffs; }
    const BiquadCoeffs& highPass() const noexcept { return highPassCoeffs; }
    const CrossoverStates& states() const noexcept { return crossoverState; }
    float lastFrequency() const noexcept { return lastCrossoverFreq; }
    int samplesSinceCheck() const noexcept { return crossoverCounter; }

private:
    void run(const float* left, const float* right, float* lowL, float* lowR, float* highL, float* highR,
             int n) noexcept;

    double sampleRate = 44100.0;
    CrossoverStates crossoverState{};
    BiquadCoeffs lowPassCoeffs;
    BiquadCoeffs highPassCoeffs;
    float lastCrossoverFreq = -1.0f;
    float lastCrossoverRate = -1.0f;
    int crossoverCounter = 0;
};
