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

void LevelReadings::accumulate(const float* left, const float* right, int n, Sums& sums) noexcept
{
    Accumulator acc(sums);
    int i = 0;
    for (; i + 4 <= n; i += 4)
        acc.addFour(left + i, right + i);
    for (; i < n; ++i)
        acc.addOne(left[i], right[i]);
    sums = acc.sums();
}

float LevelReadings::peakToDb(float peak) noexcept
{
    return peak > 0.0f ? juce::Decibels::gainToDecibels(peak, floorDb) : silenceDb;
}

float LevelReadings::meanSquareToDb(float meanSquare) noexcept
{
    return meanSquare > 0.0f ? juce::Decibels::gainToDecibels(std::sqrt(meanSquare), floorDb) : silenceDb;
}
