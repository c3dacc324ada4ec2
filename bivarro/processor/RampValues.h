#pragma once

// The values one ramp takes over a run of samples. A ramp in motion has one value per sample;
// a steady one keeps a single value, stored in the first four places (one vector's worth) and
// read for every sample, so nothing per sample is written for it.
struct RampValues
{
    const float* data = nullptr;
    int mask = 0; // -1 for one value per sample, 0 for a steady ramp

    bool steady() const noexcept { return mask == 0; }
    const float* at(int i) const noexcept { return data + (i & mask); }
    float operator[](int i) const noexcept { return data[i & mask]; }
};
