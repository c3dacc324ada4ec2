#include "UndrelTestSupport.h"

#include <cmath>

namespace
{
using Set = juce::AudioChannelSet;

float gainAt(const juce::AudioBuffer<float>& buffer, int channel, int sample, float input = 1.0f)
{
    return buffer.getSample(channel, sample) / input;
}

juce::AudioProcessor::BusesLayout layoutOf(const Set& in, const Set& out)
{
    juce::AudioProcessor::BusesLayout layout;
    layout.inputBuses.add(in);
    layout.outputBuses.add(out);
    return layout;
}

bool setLayout(UndrelAudioProcessor& proc, const Set& in, const Set& out)
{
    return proc.setBusesLayout(layoutOf(in, out));
}

// Steps a ramp of the processor takes to go from 0 dB to +6 dB of trim, read off the output.
int trimRampSteps(UndrelAudioProcessor& proc)
{
    setParam(proc.apvts, "trim", 6.0f);
    const auto out = runBlock(proc, 20000);
    const float full = UndrelAudioProcessor::linearGain(6.0f);
    for (int i = 0; i < out.getNumSamples(); ++i)
        if (std::abs(gainAt(out, 0, i) - full) < 1e-6f)
            return i + 1;
    return -1;
}
} // namespace

TEST_F(UndrelTest, TrimRampsInDbOverTheRampTime)
{
    struct Case
    {
        double sampleRate; // 0: never prepared
        int steps;
    };
    for (const auto c : {Case{0.0, 6615}, Case{48000.0, 7200}, Case{96000.0, 14400}, Case{44100.0, 6615}})
    {
        SCOPED_TRACE(c.sampleRate);
        auto proc = makeProcessor();
        if (c.sampleRate > 0.0)
            proc->prepareToPlay(c.sampleRate, 512);
        EXPECT_EQ(trimRampSteps(*proc), c.steps);
    }

    // Linear in dB: half way through, half the dB.
    auto proc = makeProcessor();
    proc->prepareToPlay(48000.0, 512);
    setParam(proc->apvts, "trim", 6.0f);
    const auto out = runBlock(*proc, 7200);
    EXPECT_NEAR(dbOf(gainAt(out, 0, 3599)), 3.0f, 1e-3f);
    EXPECT_NEAR(dbOf(gainAt(out, 1, 3599)), 3.0f, 1e-3f);
    EXPECT_NEAR(dbOf(gainAt(out, 0, 0)), 6.0f / 7200.0f, 1e-4f);
    EXPECT_FLOAT_EQ(proc->appliedGainDb.load(), 6.0f);
}

TEST_F(UndrelTest, FirstBlockRampsFromZeroUntilPrepareToPlaySnapsToTheTrim)
{
    {
        // Construction does not read the trim: the first block ramps towards it.
        auto proc = makeProcessor();
        setParam(proc->apvts, "trim", -12.0f);
        const auto out = runBlock(*proc, 64);
        EXPECT_NEAR(dbOf(gainAt(out, 0, 63)), -12.0f * 64.0f / 6615.0f, 1e-4f);
    }

    struct Case
    {
        float trim;
        bool bypass;
        float expectedDb;
    };
    for (const auto c : {Case{-12.0f, false, -12.0f}, Case{7.5f, false, 7.5f}, Case{7.5f, true, 0.0f}})
    {
        SCOPED_TRACE(c.trim);
        auto proc = makeProcessor();
        setParam(proc->apvts, "trim", c.trim);
        setParam(proc->apvts, "bypass", c.bypass ? 1.0f : 0.0f);
        proc->prepareToPlay(48000.0, 512);
        const auto out = runBlock(*proc, 64, 0.5f);
        EXPECT_NEAR(dbOf(gainAt(out, 0, 0, 0.5f)), c.expectedDb, 1e-4f);
        EXPECT_NEAR(dbOf(gainAt(out, 1, 63, 0.5f)), c.expectedDb, 1e-4f);
        EXPECT_FLOAT_EQ(proc->appliedGainDb.load(), c.expectedDb);
    }
}

TEST_F(UndrelTest, BypassRampsTheTrimAwayAndBack)
{
    auto proc = makeProcessor();
    setParam(proc->apvts, "trim", 3.0f);
    proc->prepareToPlay(48000.0, 512);

    setParam(proc->apvts, "bypass", 1.0f);
    auto out = runBlock(*proc, 3600);
    EXPECT_NEAR(dbOf(gainAt(out, 0, 3599)), 1.5f, 1e-3f);
    EXPECT_FLOAT_EQ(proc->appliedGainDb.load(), 0.0f);
    out = runBlock(*proc, 3600);
    EXPECT_NEAR(gainAt(out, 0, 3599), 1.0f, 1e-6f);

    setParam(proc->apvts, "bypass", 0.0f);
    out = runBlock(*proc, 7200);
    EXPECT_NEAR(dbOf(gainAt(out, 0, 7199)), 3.0f, 1e-4f);
    EXPECT_FLOAT_EQ(proc->appliedGainDb.load(), 3.0f);
}

TEST_F(UndrelTest, ScalesAtMostEightInputChannelsAndSilencesExtraOutputs)
{
    {
        auto proc = makeProcessor();
        ASSERT_TRUE(setLayout(*proc, Set::discreteChannels(10), Set::stereo()));
        setParam(proc->apvts, "trim", -6.0f);
        proc->prepareToPlay(48000.0, 512);

        const auto out = runBlock(*proc, 32, 0.5f, 10);
        for (int ch = 0; ch < 10; ++ch)
        {
            SCOPED_TRACE(ch);
            const float expected = ch < 8 ? 0.5f * UndrelAudioProcessor::linearGain(-6.0f) : 0.5f;
            EXPECT_NEAR(out.getSample(ch, 31), expected, 1e-6f);
        }
    }
    {
        auto proc = makeProcessor();
        ASSERT_TRUE(setLayout(*proc, Set::mono(), Set::stereo()));
        proc->prepareToPlay(48000.0, 512);

        const auto out = runBlock(*proc, 32, 0.5f, 2);
        EXPECT_FLOAT_EQ(out.getSample(0, 31), 0.5f);
        EXPECT_EQ(out.getMagnitude(1, 0, 32), 0.0f);
    }
}

TEST_F(UndrelTest, SmoothersAdvanceEvenWithoutChannels)
{
    auto proc = makeProcessor();
    ASSERT_TRUE(setLayout(*proc, Set::disabled(), Set::stereo()));
    proc->prepareToPlay(48000.0, 512);

    setParam(proc->apvts, "trim", 6.0f);
    runBlock(*proc, 7200, 0.0f);

    ASSERT_TRUE(setLayout(*proc, Set::stereo(), Set::stereo()));
    const auto out = runBlock(*proc, 4);
    EXPECT_NEAR(dbOf(gainAt(out, 0, 0)), 6.0f, 1e-4f);
}
