#include "bivarro/processor/BassMonoCrossover.h"

#include <juce_core/juce_core.h>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace
{
// Lanes: low-pass left, low-pass right, high-pass left, high-pass right.
using Lanes = float __attribute__((vector_size(16)));

Lanes lanes(float lowPass, float highPass) noexcept
{
    return Lanes{lowPass, lowPass, highPass, highPass};
}

// Indices into CrossoverStates of each lane's first stage; its second stage follows it.
constexpr size_t laneState[4] = {0, 2, 4, 6};
} // namespace

void BassMonoCrossover::design(double sampleRate, float frequency, BiquadCoeffs& lowPass,
                               BiquadCoeffs& highPass) noexcept
{
    const double fb = std::min(static_cast<double>(frequency), 0.499 * sampleRate);
    const double w0 = 2.0 * std::numbers::pi * fb / sampleRate;
    const double alpha = std::sin(w0) / std::numbers::sqrt2;
    const double a0 = 1.0 + alpha;
    const double c = std::cos(w0);
    const auto a1 = static_cast<float>(-2.0 * c / a0);
    const auto a2 = static_cast<float>((1.0 - alpha) / a0);

    lowPass = {static_cast<float>((1.0 - c) / 2.0 / a0), static_cast<float>((1.0 - c) / a0),
               static_cast<float>((1.0 - c) / 2.0 / a0), a1, a2};
    highPass = {static_cast<float>((1.0 + c) / 2.0 / a0), static_cast<float>(-(1.0 + c) / a0),
                static_cast<float>((1.0 + c) / 2.0 / a0), a1, a2};
}

void BassMonoCrossover::prepare(double newSampleRate) noexcept
{
    sampleRate = newSampleRate;
    reset();
}

void BassMonoCrossover::reset() noexcept
{
    crossoverState = {};
    lastCrossoverFreq = -1.0f;
    lastCrossoverRate = -1.0f;
    crossoverCounter = 0;
}

void BassMonoCrossover::process(RampValues frequencies, const float* left, const float* right, float* lowL, float* lowR,
                                float* highL, float* highR, int n) noexcept
{
    const auto rate = static_cast<float>(sampleRate);
    for (int i = 0; i < n;)
    {
        const int old = crossoverCounter++;
        const bool stale = !juce::exactlyEqual(lastCrossoverRate, rate) || lastCrossoverFreq < 0.0f;
        if (old >= 31 || stale)
        {
            crossoverCounter = 0;
            if (stale || std::abs(frequencies[i] - lastCrossoverFreq) > 0.05f)
            {
                design(sampleRate, frequencies[i], lowPassCoeffs, highPassCoeffs);
                lastCrossoverFreq = frequencies[i];
                lastCrossoverRate = rate;
            }
        }

        // Samples up to the next check keep these coefficients.
        const int len = std::min(n - i, 1 + std::max(0, 31 - crossoverCounter));
        crossoverCounter += len - 1;
        run(left + i, right + i, lowL + i, lowR + i, highL + i, highR + i, len);
        i += len;
    }
}

void BassMonoCrossover::run(const float* left, const float* right, float* lowL, float* lowR, float* highL, float* highR,
                            int n) noexcept
{
    const BiquadCoeffs& lp = lowPassCoeffs;
    const BiquadCoeffs& hp = highPassCoeffs;
    CrossoverStates& states = crossoverState;
    const Lanes b0 = lanes(lp.b0, hp.b0);
    const Lanes b1 = lanes(lp.b1, hp.b1);
    const Lanes b2 = lanes(lp.b2, hp.b2);
    const Lanes a1 = lanes(lp.a1, hp.a1);
    const Lanes a2 = lanes(lp.a2, hp.a2);

    Lanes s1a{}, s2a{}, s1b{}, s2b{}; // first and second stage
    for (int k = 0; k < 4; ++k)
    {
        s1a[k] = states[laneState[k]].s1;
        s2a[k] = states[laneState[k]].s2;
        s1b[k] = states[laneState[k] + 1].s1;
        s2b[k] = states[laneState[k] + 1].s2;
    }

    // Transposed direct form II: y = s1 + b0 x; s1 = s2 + b1 x - a1 y; s2 = b2 x - a2 y.
    for (int i = 0; i < n; ++i)
    {
        const Lanes x = Lanes{left[i], right[i], left[i], right[i]};
        const Lanes ya = s1a + b0 * x;
        s1a = s2a + b1 * x - a1 * ya;
        s2a = b2 * x - a2 * ya;
        const Lanes yb = s1b + b0 * ya;
        s1b = s2b + b1 * ya - a1 * yb;
        s2b = b2 * ya - a2 * yb;
        lowL[i] = yb[0];
        lowR[i] = yb[1];
        highL[i] = yb[2];
        highR[i] = yb[3];
    }

    for (int k = 0; k < 4; ++k)
    {
        states[laneState[k]] = {s1a[k], s2a[k]};
        states[laneState[k] + 1] = {s1b[k], s2b[k]};
    }
}

bool BassMonoCrossover::clearNonFinite() noexcept
{
    return clearNonFiniteStages(crossoverState);
}
