#include "ChainRig.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numeric>

// The scope rings, the level readings and the blocks the chain leaves alone. With the defaults
// the output is the input, so expected levels come straight from the input.
namespace
{
float db(double v)
{
    return static_cast<float>(20.0 * std::log10(v));
}

std::vector<float> counting(int n, float scale)
{
    std::vector<float> v(static_cast<size_t>(n));
    for (size_t i = 0; i < v.size(); ++i)
        v[i] = scale * static_cast<float>((i % 1000) + 1);
    return v;
}
} // namespace

TEST(Readings, PeakOfEachBlock)
{
    struct Case
    {
        const char* what;
        float largest;
        float want;
    };
    const Case cases[] = {
        {"digital silence", 0.0f, -99.0f}, {"quieter than -100 dB", 1e-6f, -100.0f}, {"full scale", 1.0f, 0.0f},
        {"half scale", 0.5f, db(0.5)},     {"above full scale", 2.0f, db(2.0)},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.what);
        ChainRig rig;
        std::vector<float> l(256, 0.0f);
        l[100] = -c.largest; // the peak takes the magnitude
        l[101] = c.largest * 0.25f;
        rig.run(l, l);
        EXPECT_NEAR(rig.proc.peakDbL.load(), c.want, 1e-4f);
        EXPECT_NEAR(rig.proc.peakDbR.load(), c.want, 1e-4f);
    }
}

TEST(Readings, RmsWindowIsMadeOfWholeBlocks)
{
    struct Case
    {
        int block;
        int blocksPerReading;
    };
    // At least 512 samples: four blocks of 128, one of 600, one of 1000, eight of 64.
    const Case cases[] = {{128, 4}, {600, 1}, {1000, 1}, {64, 8}, {256, 2}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.block);
        ChainRig rig;
        double squares = 0.0;
        int samples = 0;
        float lastL = -100.0f, lastR = -100.0f;
        for (int b = 1; b <= 3 * c.blocksPerReading; ++b)
        {
            const float level = 0.05f * static_cast<float>(b);
            rig.runDc(level, level * 0.5f, c.block);
            squares += static_cast<double>(level) * level * c.block;
            samples += c.block;
            if (b % c.blocksPerReading == 0)
            {
                lastL = db(std::sqrt(squares / samples));
                lastR = lastL - db(2.0);
                squares = 0.0;
                samples = 0;
            }
            ASSERT_NEAR(rig.proc.rmsDbL.load(), lastL, 1e-4f) << "block " << b;
            ASSERT_NEAR(rig.proc.rmsDbR.load(), lastR, 1e-4f) << "block " << b;
        }
    }

    ChainRig silent;
    silent.runDc(0.0f, 0.0f, 512);
    EXPECT_FLOAT_EQ(silent.proc.rmsDbL.load(), -99.0f);
    EXPECT_FLOAT_EQ(silent.proc.rmsDbR.load(), -99.0f);
    silent.runDc(1e-7f, 1e-7f, 512);
    EXPECT_FLOAT_EQ(silent.proc.rmsDbL.load(), -100.0f);
    EXPECT_FLOAT_EQ(silent.proc.rmsDbR.load(), -100.0f);
}

TEST(Readings, BypassSwitchStartsANewWindow)
{
    ChainRig rig;
    rig.runDc(1.0f, 1.0f, 256); // half a window at full scale, then discarded
    rig.set({{"bypass", 1.0f}});
    rig.runDc(0.1f, 0.1f, 256);
    EXPECT_FLOAT_EQ(rig.proc.rmsDbL.load(), -100.0f);
    rig.runDc(0.1f, 0.1f, 256);
    EXPECT_NEAR(rig.proc.rmsDbL.load(), -20.0f, 1e-4f);

    // And back: the same again.
    rig.runDc(1.0f, 1.0f, 256);
    rig.set({{"bypass", 0.0f}});
    rig.runDc(0.01f, 0.01f, 512);
    EXPECT_NEAR(rig.proc.rmsDbL.load(), -40.0f, 1e-3f);
}

TEST(ScopeRings, HoldInputAndOutputBehindTheirPositions)
{
    // Output differs from input here, so the two rings show which is which.
    ChainRig rig({{"gainL", -6.0f}, {"gainR", -6.0f}});
    const float g = std::pow(10.0f, -6.0f * 0.05f);
    rig.runDc(0.0f, 0.0f, 1000);

    const auto l = counting(20000, 1e-4f), r = counting(20000, -1e-4f);
    rig.run(l, r);
    auto& p = rig.proc;
    // 1000 + 20000 = 21000, which is 4616 past a whole ring.
    EXPECT_EQ(p.inputScope().writePosition(), (1000 + 20000) & 16383);
    EXPECT_EQ(p.outputScope().writePosition(), 4616);
    for (int i = 20000 - 16384; i < 20000; ++i)
    {
        const int at = (1000 + i) & 16383;
        const auto k = static_cast<size_t>(i);
        ASSERT_EQ(p.inputScope().left(at), l[k]) << i;
        ASSERT_EQ(p.inputScope().right(at), r[k]) << i;
        ASSERT_NEAR(p.outputScope().left(at), l[k] * g, 1e-6f) << i;
        ASSERT_NEAR(p.outputScope().right(at), r[k] * g, 1e-6f) << i;
    }

    // What a reader copies from behind the write position, across the end of the ring.
    const int count = 8192;
    std::vector<float> inL(count), inR(count);
    const auto in = p.inputScope();
    in.copy(in.writePosition() - count, count, inL.data(), inR.data());
    EXPECT_TRUE(std::equal(inL.begin(), inL.end(), l.end() - count));
    EXPECT_TRUE(std::equal(inR.begin(), inR.end(), r.end() - count));
}

TEST(ScopeRings, ShortBlocksAdvanceByTheirLength)
{
    ChainRig rig;
    for (int n : {1, 63, 512, 16383})
        rig.runDc(0.5f, 0.5f, n);
    EXPECT_EQ(rig.proc.inputScope().writePosition(), (1 + 63 + 512 + 16383) & 16383);
    EXPECT_EQ(rig.proc.outputScope().writePosition(), rig.proc.inputScope().writePosition());
}

TEST(SignalChain, OneChannelAndEmptyBlocksChangeNothing)
{
    ChainRig rig({{"monoMakerFreq", 300.0f}, {"apPhaseL", 90.0f}});
    rig.runDc(0.3f, -0.2f, 700);
    rig.set({{"gainL", -12.0f}, {"monoMakerFreq", 600.0f}});

    auto& p = rig.proc;
    const int inPos = p.inputScope().writePosition(), outPos = p.outputScope().writePosition();
    const float peak = p.peakDbL.load(), rms = p.rmsDbL.load();
    // Both channels of a whole ring, through the reader.
    auto contents = [](const ScopeRingReader& ring)
    {
        std::vector<float> l(ScopeRingReader::size), r(ScopeRingReader::size);
        ring.copy(0, ScopeRingReader::size, l.data(), r.data());
        return std::pair{l, r};
    };
    const auto ringIn = contents(p.inputScope()), ringOut = contents(p.outputScope());
    const float gain = rig.probe.gainCurrentL();
    const int counter = rig.probe.crossoverCounter();
    const auto states = rig.probe.crossoverStates();

    juce::MidiBuffer midi;
    juce::AudioBuffer<float> mono(1, 256);
    for (int i = 0; i < 256; ++i)
        mono.setSample(0, i, 0.9f);
    p.processBlock(mono, midi);
    for (int i = 0; i < 256; ++i)
        ASSERT_EQ(mono.getSample(0, i), 0.9f);
    juce::AudioBuffer<float> empty(2, 0);
    p.processBlock(empty, midi);

    EXPECT_EQ(p.inputScope().writePosition(), inPos);
    EXPECT_EQ(p.outputScope().writePosition(), outPos);
    EXPECT_EQ(p.peakDbL.load(), peak);
    EXPECT_EQ(p.rmsDbL.load(), rms);
    EXPECT_EQ(contents(p.inputScope()), ringIn);
    EXPECT_EQ(contents(p.outputScope()), ringOut);
    EXPECT_EQ(rig.probe.gainCurrentL(), gain);
    EXPECT_EQ(rig.probe.crossoverCounter(), counter);
    EXPECT_EQ(std::memcmp(&states, &rig.probe.crossoverStates(), sizeof states), 0);

    // The gain change then ramps from where it was, on the next real block.
    rig.runDc(1.0f, 0.0f, 1);
    EXPECT_NEAR(rig.probe.gainCurrentL(), gain + (std::pow(10.0f, -0.6f) - gain) / 960.0f, 1e-7f);
}
