#pragma once

// Writing into one of the scope rings: a power-of-two array the analyser reads behind an atomic
// write position.
class ScopeRing
{
public:
    static constexpr int size = 16384;
    static constexpr int mask = size - 1;

    // Copies n samples to ring[(pos + i) & mask]; of a block longer than the ring only the last
    // `size` samples survive, as if every sample had been written in turn.
    static void write(float* ring, int pos, const float* src, int n) noexcept;
};
