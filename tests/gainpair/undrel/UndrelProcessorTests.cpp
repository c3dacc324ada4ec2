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

TEST_F(UndrelTest, ParametersInHostOrderWithTheirRangesAndTexts)
{
    auto proc = makeProcessor();
    const auto& params = proc->getParameters();
    ASSERT_EQ(params.size(), 3);
    for (auto* p : params)
    {
        // Hosts that key parameters by version see every one as present since version 1.
        EXPECT_EQ(p->getVersionHint(), 1);
        EXPECT_EQ(p->getLabel(), "");
    }

    auto* trim = dynamic_cast<juce::AudioParameterFloat*>(params[0]);
    ASSERT_NE(trim, nullptr);
    EXPECT_EQ(trim->getParameterID(), "trim");
    EXPECT_EQ(trim->getName(100), "Trim");
    EXPECT_EQ(trim->range.start, -12.0f);
    EXPECT_EQ(trim->range.end, 12.0f);
    EXPECT_FLOAT_EQ(trim->range.interval, 0.1f);
    EXPECT_EQ(trim->range.skew, 1.0f);
    EXPECT_EQ(trim->get(), 0.0f);
    EXPECT_EQ(static_cast<juce::AudioProcessorParameter*>(trim)->getText(trim->convertTo0to1(-7.3f), 2), "-7.3 dB");
    EXPECT_EQ(static_cast<juce::AudioProcessorParameter*>(trim)->getText(trim->convertTo0to1(0.0f), 100), "0.0 dB");

    auto* link = dynamic_cast<juce::AudioParameterInt*>(params[1]);
    ASSERT_NE(link, nullptr);
    EXPECT_EQ(link->getParameterID(), "linkID");
    EXPECT_EQ(link->getName(100), "Link ID");
    EXPECT_EQ(link->getRange().getStart(), 1);
    EXPECT_EQ(link->getRange().getEnd(), 50);

    auto* bypass = dynamic_cast<juce::AudioParameterBool*>(params[2]);
    ASSERT_NE(bypass, nullptr);
    EXPECT_EQ(bypass->getParameterID(), "bypass");
    EXPECT_EQ(bypass->getName(100), "Bypass");
    EXPECT_FALSE(bypass->get());

    EXPECT_EQ(proc->apvts.state.getType().toString(), "PARAMETERS");
}

TEST_F(UndrelTest, FrameOfAnEffectWithoutMidi)
{
    auto proc = makeProcessor();
    EXPECT_EQ(proc->getName(), "Undrel");
    EXPECT_DOUBLE_EQ(proc->getTailLengthSeconds(), 0.15);
    EXPECT_FALSE(proc->acceptsMidi());
    EXPECT_FALSE(proc->producesMidi());
    EXPECT_FALSE(proc->isMidiEffect());
    EXPECT_TRUE(proc->hasEditor());
    EXPECT_EQ(proc->getNumPrograms(), 1);
    EXPECT_EQ(proc->getCurrentProgram(), 0);
    EXPECT_EQ(proc->getProgramName(0), "Default");

    ASSERT_EQ(proc->getBusCount(true), 1);
    ASSERT_EQ(proc->getBusCount(false), 1);
    EXPECT_EQ(proc->getBus(true, 0)->getName(), "Input");
    EXPECT_EQ(proc->getBus(false, 0)->getName(), "Output");
    EXPECT_EQ(proc->getBus(true, 0)->getCurrentLayout(), Set::stereo());
    EXPECT_EQ(proc->getBus(false, 0)->getCurrentLayout(), Set::stereo());
    EXPECT_TRUE(proc->getBus(true, 0)->isEnabled());
    EXPECT_TRUE(proc->getBus(false, 0)->isEnabled());
}

TEST_F(UndrelTest, LayoutRuleLooksOnlyAtTheOutput)
{
    struct Case
    {
        Set in, out;
        bool supported;
    };
    const Case cases[] = {
        {Set::stereo(), Set::stereo(), true},        {Set::mono(), Set::mono(), true},
        {Set::mono(), Set::stereo(), true},          {Set::stereo(), Set::mono(), true},
        {Set::create5point1(), Set::stereo(), true}, {Set::discreteChannels(10), Set::mono(), true},
        {Set::disabled(), Set::stereo(), true},      {Set::stereo(), Set::createLCR(), false},
        {Set::stereo(), Set::quadraphonic(), false}, {Set::stereo(), Set::disabled(), false},
    };

    auto proc = makeProcessor();
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.in.getDescription() + " -> " + c.out.getDescription());
        EXPECT_EQ(proc->checkBusesLayoutSupported(layoutOf(c.in, c.out)), c.supported);
    }
}

TEST_F(UndrelTest, HostBypassSwitchIsTheBypassParameter)
{
    auto proc = makeProcessor();
    EXPECT_EQ(proc->getBypassParameter(), proc->apvts.getParameter("bypass"));
}

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

TEST_F(UndrelTest, OutputReadingsAfterTheGain)
{
    auto proc = makeProcessor();
    EXPECT_EQ(proc->outputPeakDb.load(), -60.0f);
    EXPECT_EQ(proc->outputRmsDb.load(), -60.0f);

    setParam(proc->apvts, "trim", -6.0f);
    proc->prepareToPlay(48000.0, 512);

    // 255 stereo frames sum 510 samples: no RMS reading yet; the 256th frame makes it.
    runBlock(*proc, 255, 0.5f);
    const float expectedDb = dbOf(0.5f * UndrelAudioProcessor::linearGain(-6.0f));
    EXPECT_NEAR(proc->outputPeakDb.load(), expectedDb, 1e-4f);
    EXPECT_EQ(proc->outputRmsDb.load(), -60.0f);
    runBlock(*proc, 1, 0.5f);
    EXPECT_NEAR(proc->outputRmsDb.load(), expectedDb, 1e-4f);

    runBlock(*proc, 256, 0.0f);
    EXPECT_EQ(proc->outputPeakDb.load(), -100.0f);
    EXPECT_EQ(proc->outputRmsDb.load(), -100.0f);

    // Far below the floor reads the floor.
    runBlock(*proc, 256, 1e-7f);
    EXPECT_EQ(proc->outputPeakDb.load(), -100.0f);
    EXPECT_EQ(proc->outputRmsDb.load(), -100.0f);
}

TEST_F(UndrelTest, LinearGainOfDb)
{
    EXPECT_FLOAT_EQ(UndrelAudioProcessor::linearGain(0.0f), 1.0f);
    EXPECT_NEAR(UndrelAudioProcessor::linearGain(-6.0f), 0.501187f, 1e-6f);
    EXPECT_NEAR(UndrelAudioProcessor::linearGain(-99.9f), 1.0116e-5f, 1e-8f);
    EXPECT_EQ(UndrelAudioProcessor::linearGain(-100.0f), 0.0f);
}
