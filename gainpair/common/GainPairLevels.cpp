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

// One running sum would make every addition wait for the one before; partial sums and peaks in four
// vector registers each let the loop run at the speed of the memory. All channels go through the
// same registers and are reduced once, which matters for short blocks. NaN samples leave the peak
// alone, as std::max(peak, |x|) would.
template <bool scale, bool measureScaled>
void pass(float* const* channels, int numChannels, int numSamples, float gain, BlockSums& sums) noexcept
{
    Quad p0{}, p1{}, p2{}, p3{};
    Quad s0{}, s1{}, s2{}, s3{};
    float tailPeak = 0.0f, tailSquares = 0.0f;

    const auto step = [gain](float* p, Quad& peak, Quad& squares) noexcept
    {
        const Quad in = load(p);
        const Quad out = in * gain;
        if constexpr (scale)
            store(p, out);
        const Quad m = measureScaled ? out : in;
        const Quad a = magnitude(m);
        peak = peak < a ? a : peak;
        squares += m * m;
    };

    for (int ch = 0; ch < numChannels; ++ch)
    {
        float* data = channels[ch];
        int i = 0;
        for (; i + 16 <= numSamples; i += 16)
        {
            step(data + i, p0, s0);
            step(data + i + 4, p1, s1);
            step(data + i + 8, p2, s2);
            step(data + i + 12, p3, s3);
        }
        for (; i + 4 <= numSamples; i += 4)
            step(data + i, p0, s0);
        for (; i < numSamples; ++i)
        {
            const float in = data[i];
            const float out = in * gain;
            if constexpr (scale)
                data[i] = out;
            const float m = measureScaled ? out : in;
            tailPeak = std::max(tailPeak, std::abs(m));
            tailSquares += m * m;
        }
    }

    p0 = p0 < p1 ? p1 : p0;
    p2 = p2 < p3 ? p3 : p2;
    p0 = p0 < p2 ? p2 : p0;
    const Quad sq = (s0 + s1) + (s2 + s3);
    const float blockPeak = std::max(std::max(std::max(p0[0], p0[1]), std::max(p0[2], p0[3])), tailPeak);
    sums.peak = std::max(sums.peak, blockPeak);
    sums.sumOfSquares += ((sq[0] + sq[1]) + (sq[2] + sq[3])) + tailSquares;
}
} // namespace

void accumulate(const float* const* channels, int numChannels, int numSamples, BlockSums& sums) noexcept
{
    // Nothing is written when scale is false.
    pass<false, false>(const_cast<float* const*>(channels), numChannels, numSamples, 1.0f, sums);
}

void scaleAndAccumulate(float* const* channels, int numChannels, int numSamples, float gain, bool measureScaled,
                        BlockSums& sums) noexcept
{
    // Unity (a bypassed Ovrel) leaves every sample as it is: nothing to write back.
    if (juce::exactlyEqual(gain, 1.0f))
        pass<false, false>(channels, numChannels, numSamples, gain, sums);
    else if (measureScaled)
        pass<true, true>(channels, numChannels, numSamples, gain, sums);
    else
        pass<true, false>(channels, numChannels, numSamples, gain, sums);
}

void accumulate(const float* data, int numSamples, BlockSums& sums) noexcept
{
    accumulate(&data, 1, numSamples, sums);
}

void scaleAndAccumulate(float* data, int numSamples, float gain, bool measureScaled, BlockSums& sums) noexcept
{
    scaleAndAccumulate(&data, 1, numSamples, gain, measureScaled, sums);
}

// Through the base-2 logarithm, which the maths library computes several times faster than log10;
// the two differ by a few units in the last place.
float toDb(float magnitude) noexcept
{
    constexpr float dbPerOctave = 6.0205999132796239f; // 20 log10(2)
    return magnitude > 0.0f ? std::max(floorDb, std::log2(magnitude) * dbPerOctave) : floorDb;
}

void publish(const BlockSums& sums, int samplesCounted, float& rmsSum, int& rmsCount, GainPairReading& peakDb,
             GainPairReading& rmsDb) noexcept
{
    // The editor reads each reading on its own; no ordering is needed.
    peakDb.storeMagnitude(sums.peak);

    rmsSum += sums.sumOfSquares;
    rmsCount += samplesCounted;
    if (rmsCount >= rmsWindowSamples)
    {
        const float mean = rmsSum / static_cast<float>(rmsCount);
        rmsDb.storeMagnitude(std::sqrt(mean));
        rmsSum = 0.0f;
        rmsCount = 0;
    }
}

void measure(const juce::AudioBuffer<float>& buffer, int numChannels, int numSamples, float& rmsSum, int& rmsCount,
             GainPairReading& peakDb, GainPairReading& rmsDb) noexcept
{
    BlockSums sums;
    accumulate(buffer.getArrayOfReadPointers(), numChannels, numSamples, sums);
    publish(sums, numChannels * numSamples, rmsSum, rmsCount, peakDb, rmsDb);
}
} // namespace GainPairLevels
