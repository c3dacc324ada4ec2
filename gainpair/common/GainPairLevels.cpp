#include "gainpair/common/GainPairLevels.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace GainPairLevels
{
namespace
{
// Four floats in one register, in the vector form both compilers of this code understand.
using Quad = float __attribute__((vector_size(16)));

Quad load(const float* p) noexcept
{
    Quad v;
    std::memcpy(&v, p, sizeof(v));
    return v;
}

void store(float* p, Quad v) noexcept
{
    std::memcpy(p, &v, sizeof(v));
}

// The sign bits cleared: one instruction, where a comparison and a blend would take several.
Quad magnitude(Quad v) noexcept
{
    using Bits = std::uint32_t __attribute__((vector_size(16)));
    Bits bits;
    std::memcpy(&bits, &v, sizeof(v));
    bits &= 0x7fffffffu;
    std::memcpy(&v, &bits, sizeof(v));
    return v;
}

// One running sum would make every addition wait for the one before; partial sums and peaks in
// vector registers let the loop run at the speed of the memory. NaN samples leave the peak alone, as
// std::max(peak, |x|) would.
template <bool scale, bool measureScaled> void pass(float* data, int numSamples, float gain, BlockSums& sums) noexcept
{
    // Four registers each, so that no addition waits for the one before it.
    constexpr int quads = 4;
    Quad peak[quads] = {};
    Quad squares[quads] = {};
    int i = 0;
    for (; i + 4 * quads <= numSamples; i += 4 * quads)
        for (int q = 0; q < quads; ++q)
        {
            float* p = data + i + 4 * q;
            const Quad in = load(p);
            const Quad out = in * gain;
            if constexpr (scale)
                store(p, out);
            const Quad m = measureScaled ? out : in;
            const Quad a = magnitude(m);
            peak[q] = peak[q] < a ? a : peak[q];
            squares[q] += m * m;
        }

    for (int q = 1; q < quads; ++q)
    {
        peak[0] = peak[0] < peak[q] ? peak[q] : peak[0];
        squares[0] += squares[q];
    }
    float blockPeak = std::max(std::max(peak[0][0], peak[0][1]), std::max(peak[0][2], peak[0][3]));
    float blockSquares = (squares[0][0] + squares[0][1]) + (squares[0][2] + squares[0][3]);
    for (; i < numSamples; ++i)
    {
        const float in = data[i];
        const float out = in * gain;
        if constexpr (scale)
            data[i] = out;
        const float m = measureScaled ? out : in;
        blockPeak = std::max(blockPeak, std::abs(m));
        blockSquares += m * m;
    }
    sums.peak = std::max(sums.peak, blockPeak);
    sums.sumOfSquares += blockSquares;
}
} // namespace

void accumulate(const float* data, int numSamples, BlockSums& sums) noexcept
{
    // Nothing is written when scale is false.
    pass<false, false>(const_cast<float*>(data), numSamples, 1.0f, sums);
}

void scaleAndAccumulate(float* data, int numSamples, float gain, bool measureScaled, BlockSums& sums) noexcept
{
    // Unity (a bypassed Ovrel) leaves every sample as it is: nothing to write back.
    if (juce::exactlyEqual(gain, 1.0f))
        pass<false, false>(data, numSamples, gain, sums);
    else if (measureScaled)
        pass<true, true>(data, numSamples, gain, sums);
    else
        pass<true, false>(data, numSamples, gain, sums);
}

namespace
{
// 20 log10(x) through the base-2 logarithm, which the maths library computes several times faster;
// the two differ by a few units in the last place.
float toDb(float gain) noexcept
{
    constexpr float dbPerOctave = 6.0205999132796239f; // 20 log10(2)
    return gain > 0.0f ? std::max(floorDb, std::log2(gain) * dbPerOctave) : floorDb;
}
} // namespace

void publish(const BlockSums& sums, int samplesCounted, float& rmsSum, int& rmsCount, std::atomic<float>& peakDb,
             std::atomic<float>& rmsDb) noexcept
{
    // The editor reads each reading on its own; no ordering is needed.
    peakDb.store(toDb(sums.peak), std::memory_order_relaxed);

    rmsSum += sums.sumOfSquares;
    rmsCount += samplesCounted;
    if (rmsCount >= rmsWindowSamples)
    {
        const float mean = rmsSum / static_cast<float>(rmsCount);
        rmsDb.store(toDb(std::sqrt(mean)), std::memory_order_relaxed);
        rmsSum = 0.0f;
        rmsCount = 0;
    }
}

void measure(const juce::AudioBuffer<float>& buffer, int numChannels, int numSamples, float& rmsSum, int& rmsCount,
             std::atomic<float>& peakDb, std::atomic<float>& rmsDb) noexcept
{
    BlockSums sums;
    for (int ch = 0; ch < numChannels; ++ch)
        accumulate(buffer.getReadPointer(ch), numSamples, sums);
    publish(sums, numChannels * numSamples, rmsSum, rmsCount, peakDb, rmsDb);
}
} // namespace GainPairLevels
