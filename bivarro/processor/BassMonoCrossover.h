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

    // The four filter paths one sample at a time, with the states in registers: the recursion is
    // a chain of dependent operations, so a loop that does other work between its steps gets
    // that work done in the recursion's shadow. Lanes: low-pass L, low-pass R, high-pass L,
    // high-pass R.
    class Tracker
    {
    public:
        using Lanes = float __attribute__((vector_size(16)));

        Tracker(const BiquadCoeffs& lp, const BiquadCoeffs& hp, const CrossoverStates& states) noexcept;

        // Transposed direct form II, both stages: y = s1 + b0 x; s1 = s2 + b1 x - a1 y; s2 = b2 x - a2 y.
        Lanes step(float left, float right) noexcept { return step(Lanes{left, right, left, right}); }

        // x holds {left, right, left, right}. The design gives b2 the very value of b0, so b2 x is
        // the product b0 x already taken.
        Lanes step(Lanes x) noexcept
        {
            const Lanes b0x = b0 * x;
            const Lanes ya = s1a + b0x;
            s1a = s2a + b1 * x - a1 * ya;
            s2a = b0x - a2 * ya;
            const Lanes b0ya = b0 * ya;
            const Lanes yb = s1b + b0ya;
            s1b = s2b + b1 * ya - a1 * yb;
            s2b = b0ya - a2 * yb;
            return yb;
        }

        void store(CrossoverStates& states) const noexcept;

        // False when a state may be infinite or NaN. Their sum is checked, so a sum too large for a
        // float counts as well: that only sends the states to the full check.
        bool surelyFinite() const noexcept;

    private:
        Lanes b0, b1, a1, a2;
        Lanes s1a{}, s2a{}, s1b{}, s2b{}; // first and second stage
    };

    // True when the next n samples at these frequencies bring no change of coefficients, so that
    // they can go through one Tracker.
    bool coefficientsHold(RampValues frequencies) const noexcept;

    // A tracker on the current coefficients and states; finish() takes its states back once it
    // has taken n samples.
    Tracker track() const noexcept { return {lowPassCoeffs, highPassCoeffs, crossoverState}; }
    void finish(const Tracker& tracker, int n) noexcept;

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
    // Set when a run may have left a state that is not finite, so that clearNonFinite looks.
    bool mayHoldNonFinite = false;
};
