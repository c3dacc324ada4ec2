#include "support/BivarroProbe.h"
#include "support/ParamHelpers.h"

#include "bivarro/processor/BivarroParameters.h"

#include <gtest/gtest.h>

#include <cmath>

namespace
{
struct ParamRow
{
    const char* id;
    const char* name;
    bool isSwitch;
    float start, end, step, def;
    const char* label;
};

// The host parameter table, in host order.
const ParamRow kParams[] = {
    {"gainL", "Gain L", false, -100, 48, 0.1f, 0, "dB"},
    {"panL", "Pan L", false, 0, 100, 0.1f, 0, "%"},
    {"delayL", "Delay L", false, 0, 50, 0.01f, 0, "ms"},
    {"apFcL", "APF Freq L", false, 1, 20000, 0, 1000, "Hz"},
    {"apPhaseL", "APF Phase L", false, 0, 180, 0.1f, 0, "deg"},
    {"apQL", "APF Q L", false, 0.1f, 20, 0.01f, 1, ""},
    {"apOrder2L", "APF 2nd Order L", true, 0, 1, 1, 0, ""},
    {"polarityL", "Inv Polarity L", true, 0, 1, 1, 0, ""},
    {"gainR", "Gain R", false, -100, 48, 0.1f, 0, "dB"},
    {"panR", "Pan R", false, -100, 0, 0.1f, 0, "%"},
    {"delayR", "Delay R", false, 0, 50, 0.01f, 0, "ms"},
    {"apFcR", "APF Freq R", false, 1, 20000, 0, 1000, "Hz"},
    {"apPhaseR", "APF Phase R", false, 0, 180, 0.1f, 0, "deg"},
    {"apQR", "APF Q R", false, 0.1f, 20, 0.01f, 1, ""},
    {"apOrder2R", "APF 2nd Order R", true, 0, 1, 1, 0, ""},
    {"polarityR", "Inv Polarity R", true, 0, 1, 1, 0, ""},
    {"width", "Width", false, 0, 500, 0.1f, 100, "%"},
    {"asymmetry", "Asymmetry", false, -90, 90, 0.1f, 0, "deg"},
    {"rotation", "Rotation", false, -45, 45, 0.1f, 0, "deg"},
    {"trimOut", "Trim Out", false, -48, 24, 0.1f, 0, "dB"},
    {"midGain", "Mid", false, -48, 24, 0.1f, 0, "dB"},
    {"sideGain", "Side", false, -48, 24, 0.1f, 0, "dB"},
    {"muteL", "Mute L", true, 0, 1, 1, 0, ""},
    {"muteR", "Mute R", true, 0, 1, 1, 0, ""},
    {"muteMid", "Mute Mid", true, 0, 1, 1, 0, ""},
    {"muteSide", "Mute Side", true, 0, 1, 1, 0, ""},
    {"mono", "Mono", true, 0, 1, 1, 0, ""},
    {"bypass", "Bypass", true, 0, 1, 1, 0, ""},
    {"monoMakerFreq", "Bass Mono Freq", false, 10, 4000, 0, 10, "Hz"},
    {"monoMakerInt", "Bass Mono Intensity", false, 0, 100, 1, 0, "%"},
};

juce::RangedAudioParameter* param(BivarroAudioProcessor& p, const char* id)
{
    return p.apvts.getParameter(id);
}
} // namespace

TEST(BivarroParameters, TableInHostOrder)
{
    BivarroAudioProcessor proc;
    const auto& params = proc.getParameters();
    ASSERT_EQ(params.size(), 30);

    for (int i = 0; i < 30; ++i)
    {
        const auto& row = kParams[i];
        SCOPED_TRACE(row.id);
        auto* p = dynamic_cast<juce::RangedAudioParameter*>(params[i]);
        ASSERT_NE(p, nullptr);
        EXPECT_EQ(p->getParameterID(), row.id);
        EXPECT_EQ(juce::String(BivarroParameters::hostOrder[i]), row.id);
        EXPECT_EQ(p->getName(100), row.name);
        EXPECT_EQ(p->getLabel(), row.label);
        EXPECT_EQ(p->getVersionHint(), 1);
        EXPECT_TRUE(p->isAutomatable());

        if (row.isSwitch)
        {
            EXPECT_NE(dynamic_cast<juce::AudioParameterBool*>(p), nullptr);
            EXPECT_TRUE(p->isBoolean());
        }
        else
        {
            auto* f = dynamic_cast<juce::AudioParameterFloat*>(p);
            ASSERT_NE(f, nullptr);
            EXPECT_FLOAT_EQ(f->range.start, row.start);
            EXPECT_FLOAT_EQ(f->range.end, row.end);
            EXPECT_FLOAT_EQ(f->range.interval, row.step);
        }
        EXPECT_FLOAT_EQ(p->convertFrom0to1(p->getDefaultValue()), row.def);
        EXPECT_FLOAT_EQ(rawParam(proc.apvts, row.id), row.def);
    }
    EXPECT_EQ(params[27]->getName(100), "Bypass");
}

// Hosts show one bypass: our own switch, which the host's bypass button then drives.
TEST(BivarroParameters, HostBypassIsOurOwnSwitch)
{
    BivarroAudioProcessor proc;
    auto* bypass = proc.getBypassParameter();
    ASSERT_NE(bypass, nullptr);
    EXPECT_EQ(bypass, proc.apvts.getParameter("bypass"));
    EXPECT_EQ(bypass->getParameterIndex(), 27);

    proc.prepareToPlay(48000.0, 64);
    bypass->setValueNotifyingHost(1.0f);
    juce::AudioBuffer<float> buffer(2, 64);
    for (int i = 0; i < 64; ++i)
    {
        buffer.setSample(0, i, 0.01f * static_cast<float>(i));
        buffer.setSample(1, i, -0.02f * static_cast<float>(i));
    }
    const juce::AudioBuffer<float> input(buffer);
    setParam(proc.apvts, "gainL", -20.0f);
    juce::MidiBuffer midi;
    proc.processBlock(buffer, midi);
    for (int ch = 0; ch < 2; ++ch)
        for (int i = 0; i < 64; ++i)
            EXPECT_EQ(buffer.getSample(ch, i), input.getSample(ch, i));
}

TEST(BivarroParameters, FrequencyRanges)
{
    BivarroAudioProcessor proc;
    auto* fc = param(proc, "apFcL");
    EXPECT_FLOAT_EQ(fc->convertFrom0to1(0.0f), 1.0f);
    EXPECT_FLOAT_EQ(fc->convertFrom0to1(1.0f), 20000.0f);
    EXPECT_NEAR(fc->convertFrom0to1(0.5f), 999.94f, 0.01f);
    EXPECT_NEAR(fc->convertTo0to1(1000.0f), 0.50001f, 1e-5f);
    EXPECT_FLOAT_EQ(fc->convertFrom0to1(-0.5f), 1.0f);
    EXPECT_FLOAT_EQ(fc->convertFrom0to1(1.5f), 20000.0f);
    EXPECT_FLOAT_EQ(fc->convertTo0to1(50000.0f), 1.0f);

    auto* bm = param(proc, "monoMakerFreq");
    EXPECT_NEAR(bm->convertFrom0to1(0.5f), 500.25f, 0.01f);
    EXPECT_NEAR(bm->convertTo0to1(500.0f), 0.49992f, 1e-5f);

    // The exponents are not exact reciprocals and nothing snaps, so a round trip drifts a little.
    const float back = fc->convertFrom0to1(fc->convertTo0to1(1000.0f));
    EXPECT_NEAR(back, 1000.0f, 0.05f);
}

TEST(BivarroParameters, TextsBothWays)
{
    BivarroAudioProcessor proc;
    struct Case
    {
        const char* id;
        float value;
        const char* text;
    };
    const Case cases[] = {
        {"gainL", -12.5f, "-12.5"},    {"delayL", 12.34f, "12.34"}, {"apQL", 2.5f, "2.50"},
        {"monoMakerInt", 37.0f, "37"}, {"width", 150.0f, "150.0"},  {"rotation", -30.0f, "-30.0"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.id);
        auto* p = param(proc, c.id);
        EXPECT_EQ(p->getText(p->convertTo0to1(c.value), 100), c.text);
        EXPECT_NEAR(p->convertFrom0to1(p->getValueForText(c.text)), c.value, 1e-4f);
    }

    auto* mono = param(proc, "mono");
    EXPECT_FLOAT_EQ(mono->getValueForText("On"), 1.0f);
    EXPECT_FLOAT_EQ(mono->getValueForText("Off"), 0.0f);

    // Stepped parameters snap to their step.
    setParam(proc.apvts, "monoMakerInt", 37.4f);
    EXPECT_FLOAT_EQ(rawParam(proc.apvts, "monoMakerInt"), 37.0f);
    setParam(proc.apvts, "delayL", 1.234f);
    EXPECT_NEAR(rawParam(proc.apvts, "delayL"), 1.23f, 1e-5f);
}

TEST(BivarroProcessor, NewInstance)
{
    BivarroAudioProcessor proc;
    EXPECT_EQ(proc.getName(), "Bivarro");
    EXPECT_FLOAT_EQ(proc.peakDbL.load(), -100.0f);
    EXPECT_FLOAT_EQ(proc.peakDbR.load(), -100.0f);
    EXPECT_FLOAT_EQ(proc.rmsDbL.load(), -100.0f);
    EXPECT_FLOAT_EQ(proc.rmsDbR.load(), -100.0f);
    EXPECT_EQ(proc.inputScope().writePosition(), 0);
    EXPECT_EQ(proc.outputScope().writePosition(), 0);
    EXPECT_EQ(proc.settings.editorWidth.load(), 380);
    EXPECT_EQ(proc.settings.activeSlot.load(), 0);
    EXPECT_TRUE(proc.settings.analyserSnapToPlugin.load());
    EXPECT_FLOAT_EQ(proc.settings.analyserOutputBright.load(), 0.88f);
    EXPECT_EQ(proc.settings.analyserWinX.load(), -1);

    const auto live = proc.apvts.copyState();
    for (auto& slot : proc.slots)
    {
        ASSERT_TRUE(slot.isValid());
        EXPECT_TRUE(slot.isEquivalentTo(live));
    }
    // Independent copies: a change in one slot leaves the others alone.
    proc.slots[0].getChild(0).setProperty("value", 5.0f, nullptr);
    EXPECT_FALSE(proc.slots[0].isEquivalentTo(proc.slots[1]));
    EXPECT_TRUE(proc.slots[1].isEquivalentTo(proc.slots[2]));

    EXPECT_EQ(proc.getNumPrograms(), 1);
    EXPECT_EQ(proc.getCurrentProgram(), 0);
    EXPECT_EQ(proc.getProgramName(0), "Default");
    EXPECT_DOUBLE_EQ(proc.getTailLengthSeconds(), 0.05);
    EXPECT_FALSE(proc.acceptsMidi());
    EXPECT_FALSE(proc.producesMidi());
    EXPECT_FALSE(proc.isMidiEffect());
    EXPECT_TRUE(proc.hasEditor());
    EXPECT_EQ(proc.getTotalNumInputChannels(), 2);
    EXPECT_EQ(proc.getTotalNumOutputChannels(), 2);
}

TEST(BivarroProcessor, BusLayouts)
{
    BivarroAudioProcessor proc;
    using CS = juce::AudioChannelSet;
    struct Case
    {
        CS in, out;
        bool accepted;
    };
    const Case cases[] = {
        {CS::stereo(), CS::stereo(), true}, {CS::mono(), CS::mono(), false},
        {CS::mono(), CS::stereo(), false},  {CS::disabled(), CS::stereo(), false},
        {CS::stereo(), CS::mono(), false},  {CS::create5point1(), CS::create5point1(), false},
    };
    for (const auto& c : cases)
    {
        juce::AudioProcessor::BusesLayout layout;
        layout.inputBuses.add(c.in);
        layout.outputBuses.add(c.out);
        EXPECT_EQ(proc.checkBusesLayoutSupported(layout), c.accepted)
            << c.in.getDescription() << " -> " << c.out.getDescription();
    }
}

TEST(BivarroProcessor, PrepareToPlaySizes)
{
    struct Case
    {
        double rate;
        size_t delaySize;
        int gainSteps;
        int bassFreqSteps;
    };
    const Case cases[] = {
        {44100.0, 4096, 882, 6615},     {48000.0, 4096, 960, 7200}, {96000.0, 8192, 1920, 14400},
        {192000.0, 16384, 3840, 28800}, {1000.0, 64, 20, 150},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.rate);
        BivarroAudioProcessor proc;
        BivarroProcessorProbe probe(proc);
        proc.prepareToPlay(c.rate, 512);
        EXPECT_EQ(probe.delayLineSize(), c.delaySize);
        EXPECT_EQ(probe.delayLineSizeR(), c.delaySize);
        EXPECT_EQ(probe.delayMask(), static_cast<int>(c.delaySize) - 1);
        EXPECT_EQ(probe.gainRampSteps(), c.gainSteps);
        EXPECT_EQ(probe.delayRampSteps(), c.gainSteps);
        EXPECT_EQ(probe.rotationRampSteps(), c.gainSteps);
        EXPECT_EQ(probe.bassMonoFreqRampSteps(), c.bassFreqSteps);
        EXPECT_EQ(probe.bassMonoAmountRampSteps(), static_cast<int>(std::floor(c.rate * 0.05)));
        EXPECT_FLOAT_EQ(static_cast<float>(probe.sampleRate()), static_cast<float>(c.rate));
        EXPECT_FLOAT_EQ(probe.lastCrossoverFreq(), -1.0f);
    }
}

TEST(BivarroProcessor, PrepareSnapsSmoothersToParameters)
{
    BivarroAudioProcessor proc;
    BivarroProcessorProbe probe(proc);
    setParam(proc.apvts, "gainL", -6.0f);
    setParam(proc.apvts, "polarityL", 1.0f);
    setParam(proc.apvts, "delayL", 10.0f);
    setParam(proc.apvts, "width", 250.0f);
    setParam(proc.apvts, "rotation", 30.0f);
    setParam(proc.apvts, "trimOut", -48.0f);
    setParam(proc.apvts, "monoMakerInt", 40.0f);
    setParam(proc.apvts, "monoMakerFreq", 200.0f);
    setParam(proc.apvts, "bypass", 1.0f);
    proc.prepareToPlay(48000.0, 256);

    EXPECT_NEAR(probe.gainCurrentL(), -std::pow(10.0f, -6.0f / 20.0f), 1e-6f);
    EXPECT_NEAR(probe.delayCurrentL(), 480.0f, 1e-3f);
    EXPECT_NEAR(probe.widthCurrent(), 2.5f, 1e-6f);
    EXPECT_NEAR(probe.rotationCurrent(), 30.0f * 0.017453292f, 1e-6f);
    EXPECT_NEAR(probe.trimCurrent(), std::pow(10.0f, -48.0f / 20.0f), 1e-7f);
    EXPECT_NEAR(probe.bassMonoAmountCurrent(), 0.4f, 1e-6f);
    EXPECT_NEAR(probe.bassMonoFreqCurrent(), 200.0f, 0.01f);
    EXPECT_TRUE(probe.lastBypass());
}

TEST(BivarroProcessor, BlockBeforePrepareIsHarmless)
{
    BivarroAudioProcessor proc;
    setParam(proc.apvts, "delayL", 20.0f);
    setParam(proc.apvts, "apPhaseL", 180.0f);
    juce::AudioBuffer<float> buffer(2, 256);
    for (int i = 0; i < 256; ++i)
    {
        buffer.setSample(0, i, std::sin(0.1f * static_cast<float>(i)));
        buffer.setSample(1, i, 0.5f);
    }
    juce::MidiBuffer midi;
    proc.processBlock(buffer, midi);
    for (int i = 0; i < 256; ++i)
        ASSERT_TRUE(std::isfinite(buffer.getSample(0, i)));
}
