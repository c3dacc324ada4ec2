#include "ChainRig.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>
#include <random>

// The crossover at low sample rates, and recovery from a non-finite input sample.
namespace
{
std::vector<float> noise(int n, std::mt19937& rng)
{
    std::uniform_real_distribution<float> d(-0.5f, 0.5f);
    std::vector<float> v(static_cast<size_t>(n));
    for (auto& x : v)
        x = d(rng);
    return v;
}

bool allFinite(const std::vector<float>& v)
{
    return std::all_of(v.begin(), v.end(), [](float x) { return std::isfinite(x); });
}
} // namespace

TEST(ChainFaults, CrossoverStaysBelowNyquistAtLowRates)
{
    struct Case
    {
        double rate;
        float freq;
        double designedAt;
    };
    // 4000 Hz at 8 kHz would put both poles on the unit circle; the design stops at 0.499 x rate.
    const Case cases[] = {{8000.0, 4000.0f, 3992.0}, {6000.0, 4000.0f, 2994.0}, {8000.0, 3900.0f, 3900.0}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.rate);
        ChainRig rig({{"monoMakerInt", 100.0f}, {"monoMakerFreq", c.freq}}, c.rate);
        std::mt19937 rng(3);
        bool finite = true;
        float largest = 0.0f;
        for (int b = 0; b < 40; ++b)
        {
            const auto [l, r] = rig.run(noise(400, rng), noise(400, rng));
            finite = finite && allFinite(l) && allFinite(r);
            for (float v : l)
                largest = std::max(largest, std::abs(v));
        }
        EXPECT_TRUE(finite);
        EXPECT_LT(largest, 4.0f);

        const double w0 = 2.0 * std::numbers::pi * c.designedAt / c.rate;
        const double alpha = std::sin(w0) / std::sqrt(2.0), a0 = 1.0 + alpha;
        const auto lp = rig.probe.lowPassCoeffs();
        EXPECT_NEAR(lp.a1, -2.0 * std::cos(w0) / a0, 1e-6);
        EXPECT_NEAR(lp.a2, (1.0 - alpha) / a0, 1e-6);
        EXPECT_NEAR(lp.b0, (1.0 - std::cos(w0)) / 2.0 / a0, 1e-6);
        // Poles inside the unit circle.
        EXPECT_LT(lp.a2, 1.0f);
        EXPECT_LT(std::abs(lp.a1), 1.0f + lp.a2);
        // The frequency it follows is still the one asked for.
        EXPECT_FLOAT_EQ(rig.probe.lastCrossoverFreq(), c.freq);
    }
}

TEST(ChainFaults, NonFiniteSamplePassesOnceAndLeavesNoTrace)
{
    struct Case
    {
        const char* what;
        float bad;
        float delayMs;
        bool showsInItsBlock;
    };
    // Through a delay longer than the block, the samples the bad one spoiled are still in the
    // line when the block ends; they are cleared there and never come out.
    const Case cases[] = {
        {"NaN, no delay", std::numeric_limits<float>::quiet_NaN(), 0.0f, true},
        {"+inf through a 5 ms delay", std::numeric_limits<float>::infinity(), 5.0f, true},
        {"-inf through a 20 ms delay, longer than the block", -std::numeric_limits<float>::infinity(), 20.0f, false},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.what);
        ChainRig rig({{"apOrder2L", 1.0f},
                      {"apPhaseL", 150.0f},
                      {"apPhaseR", 60.0f},
                      {"delayL", c.delayMs},
                      {"monoMakerInt", 100.0f},
                      {"monoMakerFreq", 200.0f},
                      {"width", 120.0f}});
        std::mt19937 rng(5);
        auto l = noise(512, rng);
        l[10] = c.bad;
        const auto [firstL, firstR] = rig.run(l, noise(512, rng));
        // Finite up to where the bad sample arrives, and that sample as it is.
        const size_t arrives = 10 + static_cast<size_t>(c.delayMs * 48.0f);
        for (size_t i = 0; i < std::min(arrives, firstL.size()); ++i)
            ASSERT_TRUE(std::isfinite(firstL[i])) << i;
        if (c.showsInItsBlock)
        {
            EXPECT_FALSE(std::isfinite(firstL[arrives]));
        }

        // Every later block is finite.
        for (int b = 0; b < 8; ++b)
        {
            const auto [outL, outR] = rig.run(noise(512, rng), noise(512, rng));
            ASSERT_TRUE(allFinite(outL) && allFinite(outR)) << "block " << b;
        }

        for (const auto& st : rig.probe.crossoverStates())
            EXPECT_TRUE(std::isfinite(st.s1) && std::isfinite(st.s2));
        for (const auto& st : rig.probe.allpass2L())
            EXPECT_TRUE(std::isfinite(st.x1) && std::isfinite(st.y1) && std::isfinite(st.x2) && std::isfinite(st.y2));
        EXPECT_TRUE(allFinite(rig.probe.delayLineL()));
        EXPECT_TRUE(allFinite(rig.probe.delayLineR()));
        EXPECT_TRUE(std::isfinite(rig.proc.rmsDbL.load()));
        EXPECT_TRUE(std::isfinite(rig.proc.peakDbL.load()));
        // Still working: the stages move the signal.
        const auto [l2, r2] = rig.runDc(0.5f, 0.5f, 512);
        EXPECT_GT(std::abs(l2[511]), 0.1f);
    }
}
