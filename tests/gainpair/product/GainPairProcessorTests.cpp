#include "GainPairProduct.h"

#include <cmath>

using GainPairProcessorTest = GainPairProductTest;
GAIN_PAIR_PRODUCT_TESTS(GainPairProcessorTest);

TEST_P(GainPairProcessorTest, ParametersInHostOrder)
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

    auto* db = dynamic_cast<juce::AudioParameterFloat*>(params[0]);
    ASSERT_NE(db, nullptr);
    EXPECT_EQ(db->getParameterID(), product().dbId);
    EXPECT_EQ(db->getName(100), product().dbName);
    EXPECT_EQ(db->range.start, product().minDb);
    EXPECT_EQ(db->range.end, product().maxDb);
    EXPECT_FLOAT_EQ(db->range.interval, product().dbInterval);
    EXPECT_EQ(db->range.skew, 1.0f);
    EXPECT_EQ(db->get(), 0.0f);

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
    EXPECT_EQ(proc->getBypassParameter(), proc->apvts.getParameter("bypass"));

    EXPECT_EQ(proc->apvts.state.getType().toString(), "PARAMETERS");
}

TEST_P(GainPairProcessorTest, DbTextHasOneDecimalWhateverTheLength)
{
    auto proc = makeProcessor();
    auto* db = proc->apvts.getParameter(product().dbId);
    const struct
    {
        const char* product;
        float db;
        int length;
        const char* text;
    } rows[] = {
        {"Ovrel", -12.5f, 100, "-12.5 dB"}, {"Ovrel", 0.0f, 100, "0.0 dB"},   {"Ovrel", -12.5f, 2, "-12.5 dB"},
        {"Ovrel", 48.0f, 0, "48.0 dB"},     {"Ovrel", -48.0f, 3, "-48.0 dB"}, {"Ovrel", 3.27f, 100, "3.3 dB"},
        {"Undrel", -7.3f, 2, "-7.3 dB"},    {"Undrel", 0.0f, 100, "0.0 dB"},
    };
    for (const auto& r : rows)
        if (product().is(r.product))
            EXPECT_EQ(db->getText(db->convertTo0to1(r.db), r.length), r.text) << r.db;
}

TEST_P(GainPairProcessorTest, FrameOfAnEffectWithoutMidi)
{
    using Set = juce::AudioChannelSet;
    auto proc = makeProcessor();
    EXPECT_EQ(proc->getName(), product().name);
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
    ASSERT_EQ(proc->getBusCount(true), 1);
    ASSERT_EQ(proc->getBusCount(false), 1);
    EXPECT_EQ(proc->getBus(true, 0)->getName(), "Input");
    EXPECT_EQ(proc->getBus(false, 0)->getName(), "Output");
    EXPECT_EQ(proc->getBus(true, 0)->getCurrentLayout(), Set::stereo());
    EXPECT_EQ(proc->getBus(false, 0)->getCurrentLayout(), Set::stereo());
    EXPECT_TRUE(proc->getBus(true, 0)->isEnabled());
    EXPECT_TRUE(proc->getBus(false, 0)->isEnabled());
}

// Ovrel takes a mono or stereo input and gives the same out; Undrel looks only at its output, since
// it scales no more than the first channels of whatever comes in.
TEST_P(GainPairProcessorTest, SupportedLayouts)
{
    using Set = juce::AudioChannelSet;
    const struct
    {
        Set in, out;
        bool ovrel, undrel;
    } rows[] = {
        {Set::mono(), Set::mono(), true, true},
        {Set::stereo(), Set::stereo(), true, true},
        {Set::mono(), Set::stereo(), false, true},
        {Set::stereo(), Set::mono(), false, true},
        {Set::create5point1(), Set::create5point1(), false, false},
        {Set::disabled(), Set::disabled(), false, false},
        {Set::create5point1(), Set::stereo(), false, true},
        {Set::discreteChannels(10), Set::mono(), false, true},
        {Set::disabled(), Set::stereo(), false, true},
        {Set::stereo(), Set::createLCR(), false, false},
        {Set::stereo(), Set::quadraphonic(), false, false},
        {Set::stereo(), Set::disabled(), false, false},
    };

    auto proc = makeProcessor();
    for (const auto& r : rows)
    {
        SCOPED_TRACE(r.in.getDescription() + " -> " + r.out.getDescription());
        juce::AudioProcessor::BusesLayout layout;
        layout.inputBuses.add(r.in);
        layout.outputBuses.add(r.out);
        EXPECT_EQ(proc->checkBusesLayoutSupported(layout), product().is("Ovrel") ? r.ovrel : r.undrel);
    }
}

// The meter reads Ovrel's input before its gain and Undrel's output after its trim.
TEST_P(GainPairProcessorTest, MeterReadings)
{
    const struct
    {
        const char* product;
        float gainDb;
        float readingDb;
    } rows[] = {
        {"Ovrel", 24.0f, -6.0206f},
        {"Undrel", -6.0f, 20.0f * std::log10(0.5f * GainPairAudioProcessor::linearGain(-6.0f))},
    };
    for (const auto& r : rows)
    {
        if (!product().is(r.product))
            continue;
        auto proc = makeProcessor();
        EXPECT_EQ(proc->peakDb.load(), -60.0f);
        EXPECT_EQ(proc->rmsDb.load(), -60.0f);

        setDb(*proc, r.gainDb);
        proc->prepareToPlay(48000.0, 512);

        // 255 stereo frames are 510 samples: no RMS reading yet; the 256th frame makes it.
        runBlock(*proc, 255, 0.5f);
        EXPECT_NEAR(proc->peakDb.load(), r.readingDb, 1e-4f);
        EXPECT_EQ(proc->rmsDb.load(), -60.0f);
        runBlock(*proc, 1, 0.5f);
        EXPECT_NEAR(proc->rmsDb.load(), r.readingDb, 1e-4f);

        // Silence reads the floor; the RMS window starts again after each reading.
        runBlock(*proc, 256, 0.0f);
        EXPECT_EQ(proc->peakDb.load(), -100.0f);
        EXPECT_EQ(proc->rmsDb.load(), -100.0f);

        // Quieter than the floor but not silent still reads the floor.
        runBlock(*proc, 256, 1e-7f);
        EXPECT_EQ(proc->peakDb.load(), -100.0f);
        EXPECT_EQ(proc->rmsDb.load(), -100.0f);

        runBlock(*proc, 0);
        EXPECT_EQ(proc->peakDb.load(), -100.0f);
    }
}

TEST_P(GainPairProcessorTest, LinearGainOfDb)
{
    EXPECT_FLOAT_EQ(GainPairAudioProcessor::linearGain(0.0f), 1.0f);
    EXPECT_NEAR(GainPairAudioProcessor::linearGain(-6.0f), 0.501187f, 1e-6f);
    EXPECT_NEAR(GainPairAudioProcessor::linearGain(-99.9f), 1.0116e-5f, 1e-8f);
    EXPECT_EQ(GainPairAudioProcessor::linearGain(-100.0f), 0.0f);
}
