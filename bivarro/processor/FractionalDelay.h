#pragma once

#include "bivarro/processor/RampValues.h"

#include <vector>

// One channel's delay with linear interpolation between the two samples around the delay time.
// The line (a power-of-two length), its mask and the write index belong to the caller.
class FractionalDelay
{
public:
    // Writes x[i] into the line and replaces it by the line read delays[i] samples back.
    static void process(std::vector<float>& line, int mask, int& writeIndex, RampValues delays, float* x,
                        int n) noexcept;

    // Zeroes the samples of the line that are not finite; true when there were any.
    static bool clearNonFinite(std::vector<float>& line) noexcept;
};
