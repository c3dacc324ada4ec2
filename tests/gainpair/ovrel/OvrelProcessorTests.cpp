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
