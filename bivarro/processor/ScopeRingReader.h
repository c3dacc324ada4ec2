#pragma once

#include <atomic>

// Read access to one stereo scope ring from another thread. The audio thread writes the samples
// and then publishes the next write index; a reader loads that index and reads only samples
// behind it, and must take them before the writer comes round again (16384 samples).
class ScopeRingReader
{
public:
    static constexpr int size = 16384;
    static constexpr int mask = size - 1;

    ScopeRingReader(const float* left, const float* right, const std::atomic<int>& writePosition) noexcept
        : ringL(left), ringR(right), position(writePosition)
    {
    }

    // The index the next sample will be written at.
    int writePosition() const noexcept { return position.load(std::memory_order_acquire); }

    // Copies count (at most size) samples from index `from` on, wrapping, into left and right.
    void copy(int from, int count, float* left, float* right) const noexcept;

    float left(int index) const noexcept { return ringL[index & mask]; }
    float right(int index) const noexcept { return ringR[index & mask]; }

private:
    const float* ringL;
    const float* ringR;
    const std::atomic<int>& position;
};
