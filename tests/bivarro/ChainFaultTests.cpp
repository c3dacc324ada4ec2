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

// A host may hand any float to a parameter's raw value. A non-finite one counts as the value the
// parameter had before: nothing crashes, nothing non-finite comes out, and the audio is exactly
// what it would have been had the value never arrived.
TEST(ChainFaults, NonFiniteParameterValuesKeepTheLastGoodValue)
{
    const ChainRig::Params active = {
        {"apOrder2R", 1},      {"apPhaseL", 135}, {"apPhaseR", 170}, {"apFcL", 400},   {"apFcR", 2500},
        {"apQL", 0.7f},        {"apQR", 3},       {"panL", 20},      {"panR", -30},    {"monoMakerInt", 60},
        {"width", 150},        {"asymmetry", 25}, {"rotation", 30},  {"midGain", -3},  {"sideGain", 4.5f},
        {"trimOut", -2},       {"gainL", -1},     {"gainR", 2},      {"delayL", 7.5f}, {"delayR", 12.25f},
        {"monoMakerFreq", 200}};
    constexpr float inf = std::numeric_limits<float>::infinity();
    const float bad[] = {std::numeric_limits<float>::quiet_NaN(), inf, -inf};

    BivarroAudioProcessor scratch;
    int checked = 0;
    for (auto* param : scratch.getParameters())
    {
        if (dynamic_cast<juce::AudioParameterFloat*>(param) == nullptr)
            continue;
        const auto id = dynamic_cast<juce::RangedAudioParameter*>(param)->getParameterID();
        ++checked;
        for (const float value : bad)
        {
            SCOPED_TRACE(id + " " + juce::String(value));
            ChainRig hit(active);
            ChainRig clean(active);
            auto* raw = hit.proc.apvts.getRawParameterValue(id);
            const float good = raw->load();
            std::mt19937 rng(3);

            for (int block = 0; block < 6; ++block)
            {
                // Blocks 1 and 2 see the bad value; block 3 the good one again.
                raw->store(block == 1 || block == 2 ? value : good);
                const auto l = noise(256, rng);
                const auto r = noise(256, rng);
                const auto out = hit.run(l, r);
                const auto expected = clean.run(l, r);
                ASSERT_TRUE(allFinite(out.first) && allFinite(out.second)) << "block " << block;
                ASSERT_EQ(out, expected) << "block " << block;
            }
        }
    }
    EXPECT_EQ(checked, 20);

    // A bad value already there when the host prepares counts as the default.
    for (const float value : bad)
    {
        for (auto* param : scratch.getParameters())
        {
            const auto id = dynamic_cast<juce::RangedAudioParameter*>(param)->getParameterID();
            SCOPED_TRACE(id + " at prepare " + juce::String(value));
            BivarroAudioProcessor proc;
            proc.apvts.getRawParameterValue(id)->store(value);
            ChainRig reference;
            proc.prepareToPlay(48000.0, 512);
            juce::AudioBuffer<float> buffer(2, 256);
            juce::MidiBuffer midi;
            std::mt19937 rng(5);
            const auto l = noise(256, rng);
            const auto r = noise(256, rng);
            buffer.copyFrom(0, 0, l.data(), 256);
            buffer.copyFrom(1, 0, r.data(), 256);
            proc.processBlock(buffer, midi);
            const auto expected = reference.run(l, r);
            for (int i = 0; i < 256; ++i)
            {
                ASSERT_EQ(buffer.getSample(0, i), expected.first[static_cast<size_t>(i)]) << i;
                ASSERT_EQ(buffer.getSample(1, i), expected.second[static_cast<size_t>(i)]) << i;
            }
        }
    }
}
