#include "bivarro/processor/LevelReadings.h"

#include <juce_audio_basics/juce_audio_basics.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>

namespace
{
constexpr float silenceDb = -99.0f;
constexpr float floorDb = -100.0f;
} // namespace

namespace
{
using Lanes = float __attribute__((vector_size(16)));
using Mask = int __attribute__((vector_size(16)));

// The larger of peak and |x| per lane, as peak < |x| ? |x| : peak would give it: a NaN never wins.
Lanes raisePeak(Lanes peak, const float* x) noexcept
{
    Lanes v;
    std::memcpy(&v, x, sizeof v);
    const auto a = std::bit_cast<Lanes>(std::bit_cast<Mask>(v) & 0x7fffffff);
    return peak < a ? a : peak;
}

float largest(Lanes lanes, float peak) noexcept
{
    for (int k = 0; k < 4; ++k)
        peak = peak < lanes[k] ? lanes[k] : peak;
    return peak;
}
} // namespace

void LevelReadings::accumulate(const float* left, const float* right, int n, Sums& sums) noexcept
{
    // Peaks four samples at a time: the largest value does not depend on the order it is looked
    // for in. The sums of squares keep their order, sample by sample.
    Lanes peakL{}, peakR{};
    int i = 0;
    for (; i + 4 <= n; i += 4)
    {
        peakL = raisePeak(peakL, left + i);
        peakR = raisePeak(peakR, right + i);
    }
    float pL = largest(peakL, sums.peakL);
    float pR = largest(peakR, sums.peakR);
    for (; i < n; ++i)
    {
        pL = std::max(pL, std::abs(left[i]));
        pR = std::max(pR, std::abs(right[i]));
    }

    float squaresL = sums.squaresL;
    float squaresR = sums.squaresR;
    for (int k = 0; k < n; ++k)
    {
        squaresL += left[k] * left[k];
        squaresR += right[k] * right[k];
    }
    sums = {pL, pR, squaresL, squaresR};
}

float LevelReadings::peakToDb(float peak) noexcept
{
    return peak > 0.0f ? juce::Decibels::gainToDecibels(peak, floorDb) : silenceDb;
}

float LevelReadings::meanSquareToDb(float meanSquare) noexcept
{
    return meanSquare > 0.0f ? juce::Decibels::gainToDecibels(std::sqrt(meanSquare), floorDb) : silenceDb;
}
