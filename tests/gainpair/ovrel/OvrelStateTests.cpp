#include "OvrelTestSupport.h"

#include "support/DamagedStates.h"
#include "support/StateHelpers.h"

#include <cmath>
#include <cstring>

namespace
{
juce::String paramsXml(const juce::String& rootAttributes, const juce::String& gain = "0.0",
                       const juce::String& linkId = "1.0", const juce::String& bypass = "0.0",
                       const juce::String& tag = "PARAMETERS")
{
    return "<" + tag + " " + rootAttributes + "><PARAM id=\"gain\" value=\"" + gain +
           "\"/><PARAM id=\"linkID\" value=\"" + linkId + "\"/><PARAM id=\"bypass\" value=\"" + bypass + "\"/></" +
           tag + ">";
}

struct Settings
{
    float uiScale;
    int editorWidth;
    bool tooltipsOn, isSpanish, meterHold;
};

Settings settingsOf(const OvrelAudioProcessor& p)
{
    return {p.editorSettings.uiScale.load(), p.editorSettings.editorWidth.load(), p.editorSettings.tooltipsOn.load(),
            p.editorSettings.isSpanish.load(), p.editorSettings.meterHold.load()};
}
} // namespace

TEST_F(OvrelTest, SavedFormByteByByte)
{
    auto proc = makeProcessor();
    setParam(proc->apvts, "gain", -12.5f);
    setParam(proc->apvts, "bypass", 1.0f);
    proc->editorSettings.uiScale = 1.5f;
    proc->editorSettings.editorWidth = 420;
    proc->editorSettings.tooltipsOn = true;
    proc->editorSettings.isSpanish = false;
    proc->editorSettings.meterHold = true;

    const auto block = saveState(*proc);
    const auto linkId = juce::String(juce::roundToInt(rawParam(proc->apvts, "linkID"))) + ".0";
    const juce::String xml =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?> <PARAMETERS uiScale=\"1.5\" editorWidth=\"420\" "
        "tooltipsOn=\"1\" isSpanish=\"0\" meterHold=\"1\"><PARAM id=\"gain\" value=\"-12.5\"/>"
        "<PARAM id=\"linkID\" value=\"" +
        linkId + "\"/><PARAM id=\"bypass\" value=\"1.0\"/></PARAMETERS>";
    const auto text = xml.toStdString();

    ASSERT_EQ(block.getSize(), 8 + text.size() + 1);
    const auto* bytes = static_cast<const unsigned char*>(block.getData());
    const unsigned char header[] = {'V', 'C', '2', '!'};
    EXPECT_EQ(std::memcmp(bytes, header, 4), 0);
    const auto length = static_cast<uint32_t>(text.size());
    const unsigned char lengthBytes[] = {
        static_cast<unsigned char>(length & 0xff), static_cast<unsigned char>((length >> 8) & 0xff),
        static_cast<unsigned char>((length >> 16) & 0xff), static_cast<unsigned char>(length >> 24)};
    EXPECT_EQ(std::memcmp(bytes + 4, lengthBytes, 4), 0);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(bytes + 8), text.size()), text);
    EXPECT_EQ(bytes[block.getSize() - 1], 0);
}

TEST_F(OvrelTest, RoundTripIntoAFreshInstance)
{
    auto a = makeProcessor();
    setParam(a->apvts, "gain", 7.25f);
    setParam(a->apvts, "bypass", 1.0f);
    a->editorSettings.uiScale = 1.25f;
    a->editorSettings.editorWidth = 555;
    a->editorSettings.isSpanish = true;
    a->editorSettings.meterHold = true;
    const auto block = saveState(*a);

    auto b = makeProcessor();
    restoreState(*b, block);
    EXPECT_FLOAT_EQ(rawParam(b->apvts, "gain"), 7.25f);
    EXPECT_FLOAT_EQ(rawParam(b->apvts, "bypass"), 1.0f);
    const auto s = settingsOf(*b);
    EXPECT_FLOAT_EQ(s.uiScale, 1.25f);
    EXPECT_EQ(s.editorWidth, 555);
    EXPECT_FALSE(s.tooltipsOn);
    EXPECT_TRUE(s.isSpanish);
    EXPECT_TRUE(s.meterHold);
    EXPECT_FLOAT_EQ(b->shownGain.load(), 7.25f);
}

// Each row restores one root attribute set into an instance whose settings were moved off their defaults.
TEST_F(OvrelTest, RestoreTableOfSettings)
{
    const Settings start{1.5f, 480, true, true, true};
    const struct
    {
        const char* attributes;
        Settings expected;
    } rows[] = {
        {"", start},
        {"editorWidth=\"250\"", {1.5f, 300, true, true, true}},
        {"editorWidth=\"900\"", {1.5f, 700, true, true, true}},
        {"editorWidth=\"wide\"", {1.5f, 300, true, true, true}},
        {"uiScale=\"2.0\" tooltipsOn=\"0\" isSpanish=\"0\" meterHold=\"0\"", {2.0f, 480, false, false, false}},
        {"isSpanish=\"7\" tooltipsOn=\"yes\"", {1.5f, 480, false, true, true}},
        // A scale the editor cannot use as a transform gives the default.
        {"uiScale=\"0\"", {1.0f, 480, true, true, true}},
        {"uiScale=\"abc\"", {1.0f, 480, true, true, true}},
        {"uiScale=\"nan\"", {1.0f, 480, true, true, true}},
        {"uiScale=\"inf\"", {1.0f, 480, true, true, true}},
        {"uiScale=\"-1.5\"", {1.0f, 480, true, true, true}},
        {"uiScale=\"1e30\"", {1.0f, 480, true, true, true}},
        {"uiScale=\"0.25\"", {0.25f, 480, true, true, true}},
        {"uiScale=\"4\"", {4.0f, 480, true, true, true}},
    };
    for (const auto& r : rows)
    {
        SCOPED_TRACE(r.attributes);
        auto proc = makeProcessor();
        proc->editorSettings.uiScale = start.uiScale;
        proc->editorSettings.editorWidth = start.editorWidth;
        proc->editorSettings.tooltipsOn = start.tooltipsOn;
        proc->editorSettings.isSpanish = start.isSpanish;
        proc->editorSettings.meterHold = start.meterHold;
        setParam(proc->apvts, "gain", 3.0f);

        restoreState(*proc, wrapXml(paramsXml(r.attributes, "-4.5")));
        const auto s = settingsOf(*proc);
        EXPECT_FLOAT_EQ(s.uiScale, r.expected.uiScale);
        EXPECT_EQ(s.editorWidth, r.expected.editorWidth);
        EXPECT_EQ(s.tooltipsOn, r.expected.tooltipsOn);
        EXPECT_EQ(s.isSpanish, r.expected.isSpanish);
        EXPECT_EQ(s.meterHold, r.expected.meterHold);
        EXPECT_FLOAT_EQ(rawParam(proc->apvts, "gain"), -4.5f);
    }
}

// A finite value outside a parameter's range restores as the nearest limit (gain 60 as 48 dB, link
// ID 99 as 50); only values that are not finite give the parameter's default.
TEST_F(OvrelTest, RestoreTableOfParameterValues)
{
    const struct
    {
        const char* gain;
        const char* linkId;
        const char* bypass;
        float gainAfter, linkIdAfter, bypassAfter;
    } rows[] = {
        {"12.5", "7.0", "1.0", 12.5f, 7.0f, 1.0f}, {"-48.0", "50.0", "0.0", -48.0f, 50.0f, 0.0f},
        {"nan", "7.0", "0.0", 0.0f, 7.0f, 0.0f},   {"inf", "7.0", "0.0", 0.0f, 7.0f, 0.0f},
        {"-inf", "7.0", "0.0", 0.0f, 7.0f, 0.0f},  {"48.5", "7.0", "0.0", 48.0f, 7.0f, 0.0f},
        {"60", "7.0", "0.0", 48.0f, 7.0f, 0.0f},   {"-60", "7.0", "0.0", -48.0f, 7.0f, 0.0f},
        {"6.0", "0", "1.0", 6.0f, 1.0f, 1.0f},     {"6.0", "99", "1.0", 6.0f, 50.0f, 1.0f},
        {"6.0", "-3", "2.0", 6.0f, 1.0f, 1.0f},    {"6.0", "nan", "nan", 6.0f, 1.0f, 0.0f},
    };
    for (const auto& r : rows)
    {
        SCOPED_TRACE(juce::String(r.gain) + " " + r.linkId + " " + r.bypass);
        auto proc = makeProcessor();
        setParam(proc->apvts, "gain", -20.0f);
        restoreState(*proc, wrapXml(paramsXml("", r.gain, r.linkId, r.bypass)));
        EXPECT_FLOAT_EQ(rawParam(proc->apvts, "gain"), r.gainAfter);
        EXPECT_FLOAT_EQ(rawParam(proc->apvts, "linkID"), r.linkIdAfter);
        EXPECT_FLOAT_EQ(rawParam(proc->apvts, "bypass"), r.bypassAfter);
        EXPECT_FLOAT_EQ(proc->shownGain.load(), r.gainAfter);
        EXPECT_EQ(proc->pendingLinkId.load() == -1 ? static_cast<float>(proc->currentLinkId.load())
                                                   : static_cast<float>(proc->pendingLinkId.load()),
                  r.linkIdAfter);

        proc->prepareToPlay(48000.0, 64);
        const float out = runBlock(*proc, 64).getSample(0, 63);
        EXPECT_TRUE(std::isfinite(out));
    }
}

TEST_F(OvrelTest, DataThatIsNotOurStateChangesNothing)
{
    auto proc = makeProcessor();
    setParam(proc->apvts, "gain", 5.0f);
    proc->editorSettings.editorWidth = 333;
    auto valid = wrapXml(paramsXml("editorWidth=\"600\"", "-9.0"));

    auto withLength = [&](uint32_t length)
    {
        juce::MemoryBlock b(valid);
        juce::ByteOrder::littleEndianInt(b.getData());
        static_cast<uint32_t*>(b.getData())[1] = juce::ByteOrder::swapIfBigEndian(length);
        return b;
    };
    for (const auto& damage : damagedStates())
    {
        SCOPED_TRACE(damage.name);
        restoreState(*proc, damage.make(valid));
        EXPECT_FLOAT_EQ(rawParam(proc->apvts, "gain"), 5.0f);
        EXPECT_EQ(proc->editorSettings.editorWidth.load(), 333);
    }
    proc->setStateInformation(nullptr, 0);
    EXPECT_FLOAT_EQ(rawParam(proc->apvts, "gain"), 5.0f);

    // A length beyond the data is cut to what is there.
    restoreState(*proc, withLength(1u << 30));
    EXPECT_FLOAT_EQ(rawParam(proc->apvts, "gain"), -9.0f);
    EXPECT_EQ(proc->editorSettings.editorWidth.load(), 600);
}

TEST_F(OvrelTest, LowerCaseRootIsAcceptedAndTheTreeKeepsItsType)
{
    auto proc = makeProcessor();
    restoreState(*proc, wrapXml(paramsXml("meterHold=\"1\"", "2.5", "1.0", "0.0", "parameters")));
    EXPECT_FLOAT_EQ(rawParam(proc->apvts, "gain"), 2.5f);
    EXPECT_TRUE(proc->editorSettings.meterHold.load());
    EXPECT_EQ(proc->apvts.state.getType().toString(), "PARAMETERS");
}

TEST_F(OvrelTest, RestoredBypassedStateAppliesUnityAtOnceAndShowsTheGain)
{
    auto source = makeProcessor();
    setParam(source->apvts, "gain", 18.0f);
    setParam(source->apvts, "bypass", 1.0f);
    const auto block = saveState(*source);

    for (const bool prepared : {false, true})
    {
        SCOPED_TRACE(prepared);
        auto proc = makeProcessor();
        setParam(proc->apvts, "gain", -30.0f);
        proc->prepareToPlay(48000.0, 64);
        runBlock(*proc, 64);
        restoreState(*proc, block);
        if (prepared)
            proc->prepareToPlay(44100.0, 64);
        const auto out = runBlock(*proc, 64);
        EXPECT_FLOAT_EQ(out.getSample(0, 0), 1.0f);
        EXPECT_FLOAT_EQ(out.getSample(1, 63), 1.0f);
        EXPECT_FLOAT_EQ(proc->shownGain.load(), 18.0f);
    }
}

TEST_F(OvrelTest, RestoredGainIsAppliedByTheNextBlockWithoutRamp)
{
    auto source = makeProcessor();
    setParam(source->apvts, "gain", -6.0f);
    const auto block = saveState(*source);

    auto proc = makeProcessor();
    proc->prepareToPlay(48000.0, 64);
    setParam(proc->apvts, "gain", 12.0f);
    runBlock(*proc, 64); // now ramping up from 0 dB
    restoreState(*proc, block);
    const auto out = runBlock(*proc, 64);
    EXPECT_NEAR(out.getSample(0, 0), std::pow(10.0f, -6.0f / 20.0f), 1e-6f);
    EXPECT_NEAR(out.getSample(0, 63), std::pow(10.0f, -6.0f / 20.0f), 1e-6f);
}
