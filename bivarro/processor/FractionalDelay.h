#pragma once

#include "bivarro/processor/RampValues.h"

#include <vector>

// One channel's delay of up to 50 ms with linear interpolation between the two samples around the
// delay time. The line has a power-of-two length, so wrapping is a mask.
class FractionalDelay
{
public:
    // Sizes the line for the rate (the only allocation) and clears it.
    void prepare(double sampleRate);

    // Clears the line and puts the write index at its start.
    void reset() noexcept;

    // Writes x[i] into the line and replaces it by the line read delays[i] samples back; delays
    // lie within 0 .. maxDelay().
    void process(RampValues delays, float* x, int n) noexcept;

    // Zeroes the samples of the line that are not finite; true when there were any.
    bool clearNonFinite() noexcept;

    bool isPrepared() const noexcept { return !line.empty(); }
    int maxDelay() const noexcept { return mask; }
    const std::vector<float>& samples() const noexcept { return line; }

private:
    // Writes x[0 .. n) at the write index on, without moving it.
    void writeRun(const float* x, int n) noexcept;

    std::vector<float> line;
    int mask = 0;
    int writeIndex = 0;
};
