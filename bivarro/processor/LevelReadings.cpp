#include "bivarro/processor/LevelReadings.h"

#include <algorithm>
#include <cmath>

namespace
{
constexpr float silenceDb = -99.0f;
constexpr float floorDb = -100.0f;
} // namespace

void LevelReadings::accumulate(const float* left, const float* right, int n, Sums& sums) noexcept
{
    Sums s = sums;
    for (int i = 0; i < n; ++i)
    {
        s.peakL = std::max(s.peakL, std::abs(left[i]));
        s.peakR = std::max(s.peakR, std::abs(right[i]));
        s.squaresL += left[i] * left[i];
        s.squaresR += right[i] * right[i];
    }
    sums = s;
}

float LevelReadings::peakToDb(float peak) noexcept
{
    return peak > 0.0f ? std::max(floorDb, 20.0f * std::log10(peak)) : silenceDb;
}

float LevelReadings::meanSquareToDb(float meanSquare) noexcept
{
    return meanSquare > 0.0f ? std::max(floorDb, 20.0f * std::log10(std::sqrt(meanSquare))) : silenceDb;
}
