#include "gainpair/common/GainPairLevels.h"
#include "gainpair/common/GainPairSmoother.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <vector>

namespace
{
std::vector<float> noise(int n, unsigned seed, float amplitude)
{
    std::mt19937 rng(seed);
    std::uniform_real_distribution<float> dist(-amplitude, amplitude);
    std::vector<float> v(static_cast<size_t>(n));
    for (auto& x : v)
        x = dist(rng);
    return v;
}

// The readings as one running sum computes them, sample after sample.
struct SerialReadings
{
    float peak = 0.0f, sum = 0.0f;
    void add(float x)
    {
        peak = std::max(peak, std::abs(x));
        sum += x * x;
    }
};

float dbOf(float x)
{
    return x > 0.0f ? std::max(20.0f * std::log10(x), -100.0f) : -100.0f;
}
} // namespace

// Sizes around the vector widths, with and without a tail, over one or several channels (which share
// one pass), gain applied before or after measuring.
TEST(GainPairLevels, ReadingsMatchARunningSumAndTheGainIsExact)
{
    for (const int channels : {1, 2, 3})
        for (const int n : {0, 1, 3, 4, 7, 8, 15, 16, 17, 31, 64, 100, 257, 512, 1000})
            for (const float gain : {1.7f, 1.0f})
                for (const bool measureScaled : {false, true})
                {
                    SCOPED_TRACE(testing::Message() << channels << " channels, " << n << " samples, gain " << gain
                                                    << ", measured " << (measureScaled ? "after" : "before"));
                    std::vector<std::vector<float>> inputs, data;
                    std::vector<float*> writable;
                    std::vector<const float*> readable;
                    for (int ch = 0; ch < channels; ++ch)
                        inputs.push_back(noise(n, 11u + static_cast<unsigned>(n + 1000 * ch), 0.8f - 0.2f * ch));
                    data = inputs;
                    for (int ch = 0; ch < channels; ++ch)
                    {
                        writable.push_back(data[static_cast<size_t>(ch)].data());
                        readable.push_back(inputs[static_cast<size_t>(ch)].data());
                    }

                    GainPairLevels::BlockSums sums;
                    if (channels == 1)
                        GainPairLevels::scaleAndAccumulate(writable[0], n, gain, measureScaled, sums);
                    else
                        GainPairLevels::scaleAndAccumulate(writable.data(), channels, n, gain, measureScaled, sums);
                    GainPairLevels::BlockSums unscaled;
                    if (channels == 1)
                        GainPairLevels::accumulate(readable[0], n, unscaled);
                    else
                        GainPairLevels::accumulate(readable.data(), channels, n, unscaled);

                    SerialReadings serial, serialIn;
                    for (int ch = 0; ch < channels; ++ch)
                        for (int i = 0; i < n; ++i)
                        {
                            const float in = inputs[static_cast<size_t>(ch)][static_cast<size_t>(i)];
                            ASSERT_EQ(data[static_cast<size_t>(ch)][static_cast<size_t>(i)], in * gain);
                            serial.add(measureScaled ? in * gain : in);
                            serialIn.add(in);
                        }
                    EXPECT_EQ(sums.peak, serial.peak);
                    EXPECT_NEAR(sums.sumOfSquares, serial.sum, 1e-5f * serial.sum);
                    EXPECT_EQ(unscaled.peak, serialIn.peak);
                    EXPECT_NEAR(unscaled.sumOfSquares, serialIn.sum, 1e-5f * serialIn.sum);
                }
}

// Blocks of odd sizes over stereo, as a processor feeds them: the published dB readings agree with
// those of a running sum to within float rounding.
TEST(GainPairLevels, PublishedReadingsMatchTheRunningSum)
{
    float rmsSum = 0.0f, refSum = 0.0f;
    int rmsCount = 0, refCount = 0;
    GainPairReading peakDb{GainPairLevels::initialDb}, rmsDb{GainPairLevels::initialDb};
    float refRmsDb = GainPairLevels::initialDb;
    unsigned seed = 1;
    for (const int n : {37, 200, 64, 511, 1, 300, 128, 999})
    {
        juce::AudioBuffer<float> buffer(2, n);
        SerialReadings block;
        for (int ch = 0; ch < 2; ++ch)
        {
            const auto v = noise(n, seed++, 0.05f * static_cast<float>(seed));
            for (int i = 0; i < n; ++i)
            {
                buffer.setSample(ch, i, v[static_cast<size_t>(i)]);
                block.add(v[static_cast<size_t>(i)]);
            }
        }
        GainPairLevels::measure(buffer, 2, n, rmsSum, rmsCount, peakDb, rmsDb);

        refSum += block.sum;
        refCount += 2 * n;
        if (refCount >= GainPairLevels::rmsWindowSamples)
        {
            refRmsDb = dbOf(std::sqrt(refSum / static_cast<float>(refCount)));
            refSum = 0.0f;
            refCount = 0;
        }
        EXPECT_NEAR(peakDb.load(), dbOf(block.peak), 1e-4f) << n;
        EXPECT_NEAR(rmsDb.load(), refRmsDb, 1e-4f) << n;
        EXPECT_EQ(rmsCount, refCount);
    }
}

TEST(GainPairLevels, SilenceNanAndNothingReadAsTheFloor)
{
    float rmsSum = 0.0f;
    int rmsCount = 0;
    GainPairReading peakDb{0.0f}, rmsDb{0.0f};
    juce::AudioBuffer<float> buffer(2, 512);
    buffer.clear();
    GainPairLevels::measure(buffer, 2, 512, rmsSum, rmsCount, peakDb, rmsDb);
    EXPECT_EQ(peakDb.load(), -100.0f);
    EXPECT_EQ(rmsDb.load(), -100.0f);

    // A NaN sample does not raise the peak, and the RMS it spoils reads as the floor, never NaN.
    buffer.setSample(0, 3, std::numeric_limits<float>::quiet_NaN());
    buffer.setSample(1, 9, 0.5f);
    GainPairLevels::measure(buffer, 2, 512, rmsSum, rmsCount, peakDb, rmsDb);
    EXPECT_NEAR(peakDb.load(), dbOf(0.5f), 1e-5f);
    EXPECT_EQ(rmsDb.load(), -100.0f);

    GainPairLevels::measure(buffer, 0, 512, rmsSum, rmsCount, peakDb, rmsDb);
    EXPECT_EQ(peakDb.load(), -100.0f);
}

// The audio thread publishes magnitudes and the reader takes the logarithm: what it loads is
// exactly what the logarithm on the audio thread gave, and a dB value stored as such (the initial
// reading) comes back unchanged, whatever was published before.
TEST(GainPairReading, LoadsTheDbOfThePublishedMagnitudeOrTheStoredDb)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    struct Row
    {
        float magnitude;
        float expectedDb; // NaN: 20 log10 of the magnitude, within float rounding
    };
    const Row rows[] = {
        {0.0f, -100.0f},     {-0.0f, -100.0f},
        {nan, -100.0f},      {1.0e-6f, -100.0f},
        {1.0e-30f, -100.0f}, {1.0e-40f, -100.0f} /* denormal */,
        {1.0f, 0.0f},        {0.5f, nan},
        {0.001f, nan},       {1.0e-5f * 1.01f, nan},
        {2.0f, nan},         {123.0f, nan},
        {inf, inf},
    };
    GainPairReading reading{GainPairLevels::initialDb};
    EXPECT_EQ(reading.load(), GainPairLevels::initialDb);
    for (const auto& r : rows)
    {
        SCOPED_TRACE(testing::Message() << "magnitude " << r.magnitude);
        reading.storeMagnitude(r.magnitude);
        const float loaded = reading.load(std::memory_order_acquire);
        EXPECT_EQ(loaded, GainPairLevels::toDb(r.magnitude));
        if (std::isnan(r.expectedDb))
            EXPECT_NEAR(loaded, 20.0 * std::log10(static_cast<double>(r.magnitude)), 1e-5);
        else
            EXPECT_EQ(loaded, r.expectedDb);

        for (const float db : {-60.0f, -12.0f, 0.0f, 6.5f, -100.0f})
        {
            reading.store(db);
            EXPECT_EQ(reading.load(), db);
        }
    }
}

namespace
{
using Smoother = GainPairSmoother;

Smoother rampFrom(float from, float to, int steps)
{
    Smoother s;
    s.reset(steps);
    s.setCurrentAndTargetValue(from);
    s.setTargetValue(to);
    return s;
}
} // namespace

// The rendered gains against one power of ten per sample of the smoothers' own values, across
// pieces where one ramp ends inside a block and the other goes on, and blocks that end in a ramp.
TEST(GainPairSmoother, RenderedGainsFollowThePerSamplePowers)
{
    struct Row
    {
        const char* name;
        float firstFrom, firstTo;
        int firstSteps;
        float secondFrom, secondTo;
        int secondSteps; // 0: no second smoother
        int blockSize;
    };
    const Row rows[] = {
        {"one up", 0.0f, 6.0f, 7200, 0, 0, 0, 512},
        {"one down, odd blocks", 48.0f, -48.0f, 6615, 0, 0, 0, 333},
        {"both, trim ends first", -6.0f, 12.0f, 7200, 3.0f, -3.0f, 100, 64},
        {"both, opposite and equal", 6.0f, -6.0f, 7200, -6.0f, 6.0f, 7200, 1000},
        {"one at rest, one ramping", -20.0f, -20.0f, 7200, 0.0f, 12.0f, 5000, 256},
        {"towards silence", 0.0f, -120.0f, 4000, 0, 0, 0, 512},
    };
    for (const auto& r : rows)
    {
        SCOPED_TRACE(r.name);
        auto first = rampFrom(r.firstFrom, r.firstTo, r.firstSteps);
        auto refFirst = first;
        Smoother second, refSecond;
        const bool two = r.secondSteps > 0;
        if (two)
        {
            second = rampFrom(r.secondFrom, r.secondTo, r.secondSteps);
            refSecond = second;
        }

        std::vector<float> gains(static_cast<size_t>(r.blockSize));
        for (int done = 0; done < r.firstSteps + 300; done += r.blockSize)
        {
            Smoother::renderGains(first, two ? &second : nullptr, gains.data(), r.blockSize);
            for (int i = 0; i < r.blockSize; ++i)
            {
                // The smoother's own dB values carry the rounding of thousands of float additions.
                const float db = refFirst.getNextValue() + (two ? refSecond.getNextValue() : 0.0f);
                const float gain = gains[static_cast<size_t>(i)];
                if (db <= -100.0f)
                    ASSERT_EQ(gain, 0.0f) << "sample " << done + i;
                else
                    ASSERT_NEAR(20.0f * std::log10(gain), db, 5e-3f) << "sample " << done + i;
            }
            ASSERT_EQ(first.isSmoothing(), refFirst.isSmoothing());
            ASSERT_EQ(first.getRemainingSteps(), refFirst.getRemainingSteps());
            ASSERT_NEAR(first.getCurrentValue(), refFirst.getCurrentValue(), 5e-3f);
        }
        // Once the ramps are over, the gain is the target's exactly.
        EXPECT_EQ(gains.back(), Smoother::linearGain(r.firstTo + (two ? r.secondTo : 0.0f)));
    }
}
