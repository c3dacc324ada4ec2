#include "OvrelTestSupport.h"

#include <cmath>
#include <vector>

namespace
{
float dbToGain(double db)
{
    return static_cast<float>(std::pow(10.0, db / 20.0));
}

double gainToDb(float g)
{
    return 20.0 * std::log10(static_cast<double>(g));
}
} // namespace

TEST_F(OvrelTest, ParametersInHostOrder)
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

    auto* gain = dynamic_cast<juce::AudioParameterFloat*>(params[0]);
    ASSERT_NE(gain, nullptr);
    EXPECT_EQ(gain->getParameterID(), "gain");
    EXPECT_EQ(gain->getName(100), "Gain");
    EXPECT_FLOAT_EQ(gain->range.start, -48.0f);
    EXPECT_FLOAT_EQ(gain->range.end, 48.0f);
    EXPECT_FLOAT_EQ(gain->range.interval, 0.01f);
    EXPECT_FLOAT_EQ(gain->range.skew, 1.0f);
    EXPECT_FLOAT_EQ(gain->get(), 0.0f);

    auto* link = dynamic_cast<juce::AudioParameterInt*>(params[1]);
    ASSERT_NE(link, nullptr);
    EXPECT_EQ(link->getParameterID(), "linkID");
    EXPECT_EQ(link->getName(100), "Link ID");
    EXPECT_EQ(link->getRange().getStart(), 1);
    EXPECT_EQ(link->getRange().getEnd(), 50);
    EXPECT_EQ(static_cast<juce::AudioProcessorParameter*>(link)->getText(link->convertTo0to1(7.0f), 100), "7");

    auto* bypass = dynamic_cast<juce::AudioParameterBool*>(params[2]);
    ASSERT_NE(bypass, nullptr);
    EXPECT_EQ(bypass->getParameterID(), "bypass");
    EXPECT_EQ(bypass->getName(100), "Bypass");
    EXPECT_FALSE(bypass->get());

    // The host's own bypass switch drives the same parameter.
    EXPECT_EQ(proc->getBypassParameter(), bypass);
}

TEST_F(OvrelTest, GainTextHasOneDecimalWhateverTheLength)
{
    auto proc = makeProcessor();
    auto* gain = proc->apvts.getParameter("gain");
    const struct
    {
        float db;
        int length;
        const char* text;
    } rows[] = {{-12.5f, 100, "-12.5 dB"}, {0.0f, 100, "0.0 dB"},   {-12.5f, 2, "-12.5 dB"},
                {48.0f, 0, "48.0 dB"},     {-48.0f, 3, "-48.0 dB"}, {3.27f, 100, "3.3 dB"}};
    for (const auto& r : rows)
        EXPECT_EQ(gain->getText(gain->convertTo0to1(r.db), r.length), r.text) << r.db;
}

TEST_F(OvrelTest, FixedAnswers)
{
    auto proc = makeProcessor();
    EXPECT_EQ(proc->getName(), "Ovrel");
    EXPECT_DOUBLE_EQ(proc->getTailLengthSeconds(), 0.15);
    EXPECT_FALSE(proc->acceptsMidi());
    EXPECT_FALSE(proc->producesMidi());
    EXPECT_FALSE(proc->isMidiEffect());
    EXPECT_TRUE(proc->hasEditor());
    EXPECT_EQ(proc->getNumPrograms(), 1);
    EXPECT_EQ(proc->getCurrentProgram(), 0);
    EXPECT_EQ(proc->getProgramName(0), "Default");
    EXPECT_EQ(proc->getTotalNumInputChannels(), 2);
    EXPECT_EQ(proc->getTotalNumOutputChannels(), 2);
    EXPECT_EQ(proc->getBus(true, 0)->getName(), "Input");
    EXPECT_EQ(proc->getBus(false, 0)->getName(), "Output");
}

TEST_F(OvrelTest, LayoutsInputEqualsMonoOrStereoOutput)
{
    auto proc = makeProcessor();
    const auto mono = juce::AudioChannelSet::mono();
    const auto stereo = juce::AudioChannelSet::stereo();
    const struct
    {
        juce::AudioChannelSet in, out;
        bool supported;
    } rows[] = {
        {mono, mono, true},
        {stereo, stereo, true},
        {mono, stereo, false},
        {stereo, mono, false},
        {juce::AudioChannelSet::create5point1(), juce::AudioChannelSet::create5point1(), false},
        {juce::AudioChannelSet::disabled(), juce::AudioChannelSet::disabled(), false},
    };
    for (const auto& r : rows)
    {
        juce::AudioProcessor::BusesLayout layout;
        layout.inputBuses.add(r.in);
        layout.outputBuses.add(r.out);
        EXPECT_EQ(proc->checkBusesLayoutSupported(layout), r.supported)
            << r.in.getDescription() << " -> " << r.out.getDescription();
    }
}

// The gain ramps linearly in dB over floor(rate x 0.15) samples and lands exactly on its target at
// the last one. Mid-ramp values carry the smoother's float rounding, a few thousandths of a dB.
TEST_F(OvrelTest, GainRampIsLinearInDbOverFifteenHundredthsOfASecond)
{
    struct Row
    {
        double rate;
        int steps;
    };
    const float target = OvrelAudioProcessor::linearGain(6.0f);
    // Before prepareToPlay the ramp is 0.15 s at 44100 Hz.
    for (const Row row : {Row{0.0, 6615}, Row{48000.0, 7200}, Row{44100.0, 6615}, Row{96000.0, 14400}})
    {
        SCOPED_TRACE(row.rate);
        auto proc = makeProcessor();
        if (row.rate > 0.0)
            proc->prepareToPlay(row.rate, 512);
        setParam(proc->apvts, "gain", 6.0f);

        std::vector<float> out;
        while (static_cast<int>(out.size()) < row.steps + 600)
        {
            const auto block = runBlock(*proc, 500);
            for (int i = 0; i < block.getNumSamples(); ++i)
            {
                ASSERT_EQ(block.getSample(1, i), block.getSample(0, i));
                out.push_back(block.getSample(0, i));
            }
        }
        for (int k = 0; k < row.steps; k += 97)
            ASSERT_NEAR(gainToDb(out[static_cast<size_t>(k)]), 6.0 * (k + 1) / row.steps, 3e-3) << "sample " << k;
        EXPECT_NE(out[static_cast<size_t>(row.steps - 2)], target);
        EXPECT_NEAR(gainToDb(out[static_cast<size_t>(row.steps - 2)]), 6.0 - 6.0 / row.steps, 3e-3);
        for (size_t k = static_cast<size_t>(row.steps - 1); k < out.size(); ++k)
            ASSERT_EQ(out[k], target) << "sample " << k;
    }
}

TEST_F(OvrelTest, BypassRampsToUnityAndBackAt48k)
{
    auto proc = makeProcessor();
    setParam(proc->apvts, "gain", -12.0f);
    proc->prepareToPlay(48000.0, 512);
    EXPECT_NEAR(runBlock(*proc, 64).getSample(0, 0), dbToGain(-12.0), 1e-6f);

    setParam(proc->apvts, "bypass", 1.0f);
    auto out = runBlock(*proc, 7200);
    EXPECT_NEAR(gainToDb(out.getSample(0, 0)), -12.0 + 12.0 / 7200, 1e-4);
    EXPECT_NEAR(gainToDb(out.getSample(0, 3599)), -6.0, 3e-3);
    EXPECT_LT(out.getSample(0, 7198), 1.0f);
    EXPECT_FLOAT_EQ(out.getSample(0, 7199), 1.0f);
    EXPECT_FLOAT_EQ(runBlock(*proc, 16).getSample(1, 15), 1.0f);
    EXPECT_FLOAT_EQ(proc->shownGain.load(), -12.0f);

    setParam(proc->apvts, "bypass", 0.0f);
    out = runBlock(*proc, 7200);
    EXPECT_NEAR(out.getSample(0, 7199), dbToGain(-12.0), 1e-6f);
}

TEST_F(OvrelTest, PrepareToPlaySetsTheGainWithoutRamp)
{
    for (const bool bypass : {false, true})
    {
        auto proc = makeProcessor();
        setParam(proc->apvts, "gain", 20.0f);
        setParam(proc->apvts, "bypass", bypass ? 1.0f : 0.0f);
        proc->prepareToPlay(48000.0, 512);
        EXPECT_NEAR(runBlock(*proc, 8).getSample(0, 0), bypass ? 1.0f : 10.0f, 1e-5f);
    }
}

TEST_F(OvrelTest, MonoLayoutAppliesTheGain)
{
    auto proc = makeProcessor();
    juce::AudioProcessor::BusesLayout layout;
    layout.inputBuses.add(juce::AudioChannelSet::mono());
    layout.outputBuses.add(juce::AudioChannelSet::mono());
    ASSERT_TRUE(proc->setBusesLayout(layout));
    setParam(proc->apvts, "gain", -6.0f);
    proc->prepareToPlay(48000.0, 512);
    EXPECT_NEAR(runBlock(*proc, 32, 0.5f, 1).getSample(0, 31), 0.5f * dbToGain(-6.0), 1e-6f);
}

TEST_F(OvrelTest, InputReadingsBeforeTheGain)
{
    auto proc = makeProcessor();
    EXPECT_FLOAT_EQ(proc->inputPeakDb.load(), -60.0f);
    EXPECT_FLOAT_EQ(proc->inputRmsDb.load(), -60.0f);

    setParam(proc->apvts, "gain", 24.0f);
    proc->prepareToPlay(48000.0, 512);

    // 255 stereo frames are 510 samples: no RMS reading yet.
    runBlock(*proc, 255, 0.5f);
    EXPECT_NEAR(proc->inputPeakDb.load(), -6.0206f, 1e-4f);
    EXPECT_FLOAT_EQ(proc->inputRmsDb.load(), -60.0f);
    runBlock(*proc, 1, 0.5f);
    EXPECT_NEAR(proc->inputRmsDb.load(), -6.0206f, 1e-4f);

    // Silence reads the floor; the RMS window starts again after each reading.
    runBlock(*proc, 256, 0.0f);
    EXPECT_FLOAT_EQ(proc->inputPeakDb.load(), -100.0f);
    EXPECT_FLOAT_EQ(proc->inputRmsDb.load(), -100.0f);

    // Quieter than the floor but not silent still reads the floor.
    runBlock(*proc, 256, 1e-7f);
    EXPECT_FLOAT_EQ(proc->inputPeakDb.load(), -100.0f);
    EXPECT_FLOAT_EQ(proc->inputRmsDb.load(), -100.0f);

    runBlock(*proc, 0);
    EXPECT_FLOAT_EQ(proc->inputPeakDb.load(), -100.0f);
}

TEST_F(OvrelTest, PeakIsTheLargestMagnitudeOverChannels)
{
    auto proc = makeProcessor();
    juce::AudioBuffer<float> buffer(2, 64);
    buffer.clear();
    buffer.setSample(0, 10, 0.25f);
    buffer.setSample(1, 40, -0.5f);
    juce::MidiBuffer midi;
    proc->processBlock(buffer, midi);
    EXPECT_NEAR(proc->inputPeakDb.load(), -6.0206f, 1e-4f);
}
