#pragma once

#include "bivarro/processor/ScopeRingReader.h"

#include <vector>

// Takes the samples a scope ring gained since the last take, from its own read index. A reader
// that fell more than half a ring behind skips ahead to the latest samples instead of working
// through a backlog the writer may already be overwriting.
class ScopeRingTap
{
public:
    static constexpr int catchUpThreshold = 8192;
    static constexpr int catchUpAmount = 4096;

    ScopeRingTap();

    // The next take starts at the ring's current write position.
    void start(const ScopeRingReader& ring) noexcept;

    // Replaces left and right with the pending samples; returns how many there were.
    int take(const ScopeRingReader& ring);

    int readPosition() const noexcept { return readPos; }
    const std::vector<float>& left() const noexcept { return samplesL; }
    const std::vector<float>& right() const noexcept { return samplesR; }

private:
    int readPos = 0;
    std::vector<float> samplesL, samplesR;
};
