#include "GainPairProduct.h"

#include "support/DamagedStates.h"
#include "support/StateHelpers.h"

#include <cmath>
#include <cstring>

namespace
{
struct Settings
{
    float uiScale;
    int editorWidth;
    bool tooltipsOn, isSpanish, meterHold;
};

Settings settingsOf(const GainPairAudioProcessor& p)
{
    return {p.editorSettings.uiScale.load(), p.editorSettings.editorWidth.load(), p.editorSettings.tooltipsOn.load(),
            p.editorSettings.isSpanish.load(), p.editorSettings.meterHold.load()};
}

void setSettings(GainPairAudioProcessor& p, const Settings& s)
{
    p.editorSettings.uiScale = s.uiScale;
    p.editorSettings.editorWidth = s.editorWidth;
    p.editorSettings.tooltipsOn = s.tooltipsOn;
    p.editorSettings.isSpanish = s.isSpanish;
    p.editorSettings.meterHold = s.meterHold;
}
} // namespace

class GainPairStateTest : public GainPairProductTest
{
protected:
    // A state as any origin could write it: the root's attributes, then the three parameters.
    juce::String paramsXml(const juce::String& rootAttributes, const juce::String& db = "0.0",
                           const juce::String& linkId = "1.0", const juce::String& bypass = "0.0",
                           const juce::String& tag = "PARAMETERS") const
    {
        return "<" + tag + " " + rootAttributes + "><PARAM id=\"" + product().dbId + "\" value=\"" + db +
               "\"/><PARAM id=\"linkID\" value=\"" + linkId + "\"/><PARAM id=\"bypass\" value=\"" + bypass + "\"/></" +
               tag + ">";
    }
};
GAIN_PAIR_PRODUCT_TESTS(GainPairStateTest);

TEST_P(GainPairStateTest, SavedFormByteByByte)
{
    const struct
    {
        const char* product;
        float db;
        Settings settings;
        const char* xmlBeforeLinkId;
        const char* dbText;
    } rows[] = {
        {"Ovrel",
         -12.5f,
         {1.5f, 420, true, false, true},
         "<?xml version=\"1.0\" encoding=\"UTF-8\"?> <PARAMETERS uiScale=\"1.5\" editorWidth=\"420\" "
         "tooltipsOn=\"1\" isSpanish=\"0\" meterHold=\"1\">",
         "<PARAM id=\"gain\" value=\"-12.5\"/>"},
        {"Undrel",
         -7.5f,
         {1.25f, 640, true, true, false},
         "<?xml version=\"1.0\" encoding=\"UTF-8\"?> <PARAMETERS uiScale=\"1.25\" editorWidth=\"640\" "
         "tooltipsOn=\"1\" isSpanish=\"1\" meterHold=\"0\">",
         "<PARAM id=\"trim\" value=\"-7.5\"/>"},
    };
    for (const auto& r : rows)
    {
        if (!product().is(r.product))
            continue;
        auto proc = makeProcessor();
        setDb(*proc, r.db);
        setParam(proc->apvts, "bypass", 1.0f);
        setSettings(*proc, r.settings);

        const auto block = saveState(*proc);
        const auto linkId = juce::String(juce::roundToInt(rawParam(proc->apvts, "linkID"))) + ".0";
        EXPECT_EQ(linkId, "1.0");
        const juce::String xml = juce::String(r.xmlBeforeLinkId) + r.dbText + "<PARAM id=\"linkID\" value=\"" + linkId +
                                 "\"/><PARAM id=\"bypass\" value=\"1.0\"/></PARAMETERS>";
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
        EXPECT_EQ(juce::ByteOrder::littleEndianInt(bytes + 4), text.size());
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(bytes + 8), text.size()), text);
        EXPECT_EQ(bytes[block.getSize() - 1], 0);
    }
}

// The link ID comes back as a request, which the timer's next tick carries out.
TEST_P(GainPairStateTest, RoundTripIntoAFreshInstanceMovesItWithinOneTick)
{
    // On the dB parameter's grid of each product.
    const float db = product().is("Ovrel") ? 7.25f : 4.5f;
    auto source = makeProcessor();
    source->pendingLinkId.store(9);
    source->timerCallback();
    setParam(source->apvts, "linkID", 9.0f);
    setDb(*source, db);
    setParam(source->apvts, "bypass", 1.0f);
    setSettings(*source, {1.25f, 555, false, true, true});
    const auto saved = saveState(*source);
    source.reset();

    auto proc = makeProcessor();
    ASSERT_EQ(proc->currentLinkId.load(), 1);
    restoreState(*proc, saved);
    EXPECT_FLOAT_EQ(rawDb(*proc), db);
    EXPECT_FLOAT_EQ(rawParam(proc->apvts, "bypass"), 1.0f);
    const auto s = settingsOf(*proc);
    EXPECT_FLOAT_EQ(s.uiScale, 1.25f);
    EXPECT_EQ(s.editorWidth, 555);
    EXPECT_FALSE(s.tooltipsOn);
    EXPECT_TRUE(s.isSpanish);
    EXPECT_TRUE(s.meterHold);
    if (product().showsRestoredGain)
        EXPECT_FLOAT_EQ(product().shownGainDb(*proc), db);
    EXPECT_EQ(proc->pendingLinkId.load(), 9);
    EXPECT_EQ(proc->currentLinkId.load(), 1);

    proc->timerCallback();
    EXPECT_EQ(proc->currentLinkId.load(), 9);
    EXPECT_TRUE(proc->getOwnLockFile(9).existsAsFile());
    EXPECT_FALSE(proc->getOwnLockFile(1).exists());
}

// Each row restores one root attribute set into an instance whose settings were moved off their defaults.
TEST_P(GainPairStateTest, RestoreTableOfSettings)
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
        setSettings(*proc, start);
        setDb(*proc, 3.0f);

        restoreState(*proc, wrapXml(paramsXml(r.attributes, "-4.5")));
        const auto s = settingsOf(*proc);
        EXPECT_FLOAT_EQ(s.uiScale, r.expected.uiScale);
        EXPECT_EQ(s.editorWidth, r.expected.editorWidth);
        EXPECT_EQ(s.tooltipsOn, r.expected.tooltipsOn);
        EXPECT_EQ(s.isSpanish, r.expected.isSpanish);
        EXPECT_EQ(s.meterHold, r.expected.meterHold);
        EXPECT_FLOAT_EQ(rawDb(*proc), -4.5f);
    }
}

// A finite value outside a parameter's range restores as the nearest limit (Ovrel's gain 60 as
// 48 dB, link ID 99 as 50), as the framework would set it; only values that are not finite give the
// parameter's default. The next block applies the restored gain at once.
TEST_P(GainPairStateTest, RestoreTableOfParameterValues)
{
    const struct
    {
        const char* product;
        const char *db, *linkId, *bypass;
        float dbAfter, linkIdAfter, bypassAfter;
    } rows[] = {
        {"Ovrel", "12.5", "7.0", "1.0", 12.5f, 7.0f, 1.0f},      {"Ovrel", "-48.0", "50.0", "0.0", -48.0f, 50.0f, 0.0f},
        {"Ovrel", "nan", "7.0", "0.0", 0.0f, 7.0f, 0.0f},        {"Ovrel", "inf", "7.0", "0.0", 0.0f, 7.0f, 0.0f},
        {"Ovrel", "-inf", "7.0", "0.0", 0.0f, 7.0f, 0.0f},       {"Ovrel", "48.5", "7.0", "0.0", 48.0f, 7.0f, 0.0f},
        {"Ovrel", "60", "7.0", "0.0", 48.0f, 7.0f, 0.0f},        {"Ovrel", "-60", "7.0", "0.0", -48.0f, 7.0f, 0.0f},
        {"Ovrel", "6.0", "0", "1.0", 6.0f, 1.0f, 1.0f},          {"Ovrel", "6.0", "99", "1.0", 6.0f, 50.0f, 1.0f},
        {"Ovrel", "6.0", "-3", "2.0", 6.0f, 1.0f, 1.0f},         {"Ovrel", "6.0", "nan", "nan", 6.0f, 1.0f, 0.0f},
        {"Undrel", "-12.0", "50.0", "1.0", -12.0f, 50.0f, 1.0f}, {"Undrel", "12.0", "1.0", "0.0", 12.0f, 1.0f, 0.0f},
        {"Undrel", "nan", "3.0", "0.0", 0.0f, 3.0f, 0.0f},       {"Undrel", "inf", "3.0", "0.0", 0.0f, 3.0f, 0.0f},
        {"Undrel", "-inf", "3.0", "0.0", 0.0f, 3.0f, 0.0f},      {"Undrel", "12.5", "3.0", "0.0", 12.0f, 3.0f, 0.0f},
        {"Undrel", "-48", "3.0", "0.0", -12.0f, 3.0f, 0.0f},     {"Undrel", "2.0", "0", "1.0", 2.0f, 1.0f, 1.0f},
        {"Undrel", "2.0", "51", "nan", 2.0f, 50.0f, 0.0f},       {"Undrel", "2.0", "99", "2.0", 2.0f, 50.0f, 1.0f},
        {"Undrel", "2.0", "-7", "-1", 2.0f, 1.0f, 0.0f},
    };
    for (const auto& r : rows)
    {
        if (!product().is(r.product))
            continue;
        SCOPED_TRACE(juce::String(r.db) + " " + r.linkId + " " + r.bypass);
        auto proc = makeProcessor();
        proc->prepareToPlay(48000.0, 512);
        setDb(*proc, product().is("Ovrel") ? -20.0f : -9.0f);
        restoreState(*proc, wrapXml(paramsXml("", r.db, r.linkId, r.bypass)));
        EXPECT_FLOAT_EQ(rawDb(*proc), r.dbAfter);
        EXPECT_FLOAT_EQ(rawParam(proc->apvts, "linkID"), r.linkIdAfter);
        EXPECT_FLOAT_EQ(rawParam(proc->apvts, "bypass"), r.bypassAfter);
        if (product().showsRestoredGain)
            EXPECT_FLOAT_EQ(product().shownGainDb(*proc), r.dbAfter);
        EXPECT_EQ(proc->pendingLinkId.load() == -1 ? static_cast<float>(proc->currentLinkId.load())
                                                   : static_cast<float>(proc->pendingLinkId.load()),
                  r.linkIdAfter);

        const float out = runBlock(*proc, 4).getSample(0, 0);
        EXPECT_TRUE(std::isfinite(out));
        const float expectedDb = r.bypassAfter > 0.5f ? 0.0f : r.dbAfter;
        EXPECT_NEAR(20.0f * std::log10(out), expectedDb, 1e-4f);
    }
}

TEST_P(GainPairStateTest, DataThatIsNotOurStateChangesNothing)
{
    auto proc = makeProcessor();
    setDb(*proc, 5.0f);
    proc->editorSettings.editorWidth = 333;
    auto valid = wrapXml(paramsXml("editorWidth=\"600\"", "-9.0"));

    auto withLength = [&](uint32_t length)
    {
        juce::MemoryBlock b(valid);
        static_cast<uint32_t*>(b.getData())[1] = juce::ByteOrder::swapIfBigEndian(length);
        return b;
    };
    for (const auto& damage : damagedStates())
    {
        SCOPED_TRACE(damage.name);
        restoreState(*proc, damage.make(valid));
        EXPECT_FLOAT_EQ(rawDb(*proc), 5.0f);
        EXPECT_EQ(proc->editorSettings.editorWidth.load(), 333);
    }
    proc->setStateInformation(nullptr, 0);
    EXPECT_FLOAT_EQ(rawDb(*proc), 5.0f);

    // A length beyond the data is cut to what is there.
    restoreState(*proc, withLength(1u << 30));
    EXPECT_FLOAT_EQ(rawDb(*proc), -9.0f);
    EXPECT_EQ(proc->editorSettings.editorWidth.load(), 600);
}

TEST_P(GainPairStateTest, LowerCaseRootIsAcceptedAndTheTreeKeepsItsType)
{
    auto proc = makeProcessor();
    restoreState(*proc, wrapXml(paramsXml("editorWidth=\"900\" isSpanish=\"1\" meterHold=\"1\"", "-2.5", "1.0", "0.0",
                                          "parameters")));
    EXPECT_FLOAT_EQ(rawDb(*proc), -2.5f);
    EXPECT_EQ(proc->editorSettings.editorWidth.load(), 700);
    EXPECT_TRUE(proc->editorSettings.isSpanish.load());
    EXPECT_TRUE(proc->editorSettings.meterHold.load());
    EXPECT_EQ(proc->apvts.state.getType().toString(), "PARAMETERS");
}
