#include "bivarro/processor/BassMonoCrossover.h"

#include <juce_core/juce_core.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <numbers>

namespace
{
// Indices into CrossoverStates of each lane's first stage; its second stage follows it.
constexpr size_t laneState[4] = {0, 2, 4, 6};

BassMonoCrossover::Tracker::Lanes lanes(float lowPass, float highPass) noexcept
{
    return BassMonoCrossover::Tracker::Lanes{lowPass, lowPass, highPass, highPass};
}
} // namespace

BassMonoCrossover::Tracker::Tracker(const BiquadCoeffs& lp, const BiquadCoeffs& hp,
                                    const CrossoverStates& states) noexcept
    : b0(lanes(lp.b0, hp.b0)), b1(lanes(lp.b1, hp.b1)), a1(lanes(lp.a1, hp.a1)), a2(lanes(lp.a2, hp.a2))
{
    jassert(juce::exactlyEqual(lp.b2, lp.b0) && juce::exactlyEqual(hp.b2, hp.b0));
    for (size_t k = 0; k < 4; ++k)
    {
        s1a[k] = states[laneState[k]].s1;
        s2a[k] = states[laneState[k]].s2;
        s1b[k] = states[laneState[k] + 1].s1;
        s2b[k] = states[laneState[k] + 1].s2;
    }
}

void BassMonoCrossover::Tracker::store(CrossoverStates& states) const noexcept
{
    for (size_t k = 0; k < 4; ++k)
    {
        states[laneState[k]] = {s1a[k], s2a[k]};
        states[laneState[k] + 1] = {s1b[k], s2b[k]};
    }
}

bool BassMonoCrossover::Tracker::surelyFinite() const noexcept
{
    const Lanes sum = (s1a + s2a) + (s1b + s2b);
    const float total = (sum[0] + sum[1]) + (sum[2] + sum[3]);
    return std::equal_to<float>()(total - total, 0.0f);
}

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

    // b2 is b0 itself, which the Tracker relies on.
    const auto lowB0 = static_cast<float>((1.0 - c) / 2.0 / a0);
    const auto highB0 = static_cast<float>((1.0 + c) / 2.0 / a0);
    lowPass = {lowB0, static_cast<float>((1.0 - c) / a0), lowB0, a1, a2};
    highPass = {highB0, static_cast<float>(-(1.0 + c) / a0), highB0, a1, a2};
}

void BassMonoCrossover::prepare(double newSampleRate) noexcept
{
    sampleRate = newSampleRate;
    reset();
}

void BassMonoCrossover::reset() noexcept
{
    crossoverState = {};
    mayHoldNonFinite = false;
    lastCrossoverFreq = -1.0f;
    lastCrossoverRate = -1.0f;
    crossoverCounter = 0;
}

void BassMonoCrossover::process(RampValues frequencies, const float* left, const float* right, float* lowL, float* lowR,
                                float* highL, float* highR, int n) noexcept
{
    if (coefficientsHold(frequencies))
    {
        run(left, right, lowL, lowR, highL, highR, n);
        crossoverCounter = (crossoverCounter + n) % 32;
        return;
    }

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
    Tracker tracker = track();
    for (int i = 0; i < n; ++i)
    {
        const auto y = tracker.step(left[i], right[i]);
        lowL[i] = y[0];
        lowR[i] = y[1];
        highL[i] = y[2];
        highR[i] = y[3];
    }
    tracker.store(crossoverState);
    mayHoldNonFinite = mayHoldNonFinite || !tracker.surelyFinite();
}

bool BassMonoCrossover::coefficientsHold(RampValues frequencies) const noexcept
{
    // Checks along a steady run find the frequency where the last one left it, unless the rate
    // changed or nothing was computed yet.
    const bool stale =
        !juce::exactlyEqual(lastCrossoverRate, static_cast<float>(sampleRate)) || lastCrossoverFreq < 0.0f;
    return frequencies.steady() && !stale && std::abs(frequencies[0] - lastCrossoverFreq) <= 0.05f;
}

void BassMonoCrossover::finish(const Tracker& tracker, int n) noexcept
{
    tracker.store(crossoverState);
    mayHoldNonFinite = mayHoldNonFinite || !tracker.surelyFinite();
    // The counter runs 0 .. 31 and wraps at each check.
    crossoverCounter = (crossoverCounter + n) % 32;
}

bool BassMonoCrossover::clearNonFinite() noexcept
{
    if (!mayHoldNonFinite)
        return false;
    mayHoldNonFinite = false;
    return clearNonFiniteStages(crossoverState);
}
