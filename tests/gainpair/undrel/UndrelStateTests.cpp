#include "UndrelTestSupport.h"

#include "support/DamagedStates.h"
#include "support/StateHelpers.h"

#include <cstring>

namespace
{
juce::String undrelXml(const juce::String& rootAttributes, const juce::String& trim, const juce::String& linkId,
                       const juce::String& bypass, const juce::String& tag = "PARAMETERS")
{
    return "<" + tag + " " + rootAttributes + "><PARAM id=\"trim\" value=\"" + trim +
           "\"/><PARAM id=\"linkID\" value=\"" + linkId + "\"/><PARAM id=\"bypass\" value=\"" + bypass + "\"/></" +
           tag + ">";
}

constexpr int kRamp = 7200;
} // namespace

TEST_F(UndrelTest, SavedFormHoldsTrimLinkIdAndBypassThenTheSettings)
{
    auto proc = makeProcessor();
    setParam(proc->apvts, "trim", -7.5f);
    setParam(proc->apvts, "bypass", 1.0f);
    proc->editorSettings.uiScale = 1.25f;
    proc->editorSettings.editorWidth = 640;
    proc->editorSettings.tooltipsOn = true;
    proc->editorSettings.isSpanish = true;
    proc->editorSettings.meterHold = false;

    const auto block = saveState(*proc);
    const std::string text = "<?xml version=\"1.0\" encoding=\"UTF-8\"?> <PARAMETERS uiScale=\"1.25\" "
                             "editorWidth=\"640\" tooltipsOn=\"1\" isSpanish=\"1\" meterHold=\"0\">"
                             "<PARAM id=\"trim\" value=\"-7.5\"/><PARAM id=\"linkID\" value=\"1.0\"/>"
                             "<PARAM id=\"bypass\" value=\"1.0\"/></PARAMETERS>";
    ASSERT_EQ(block.getSize(), 8 + text.size() + 1);
    const auto* bytes = static_cast<const char*>(block.getData());
    EXPECT_EQ(std::string(bytes, 4), "VC2!");
    EXPECT_EQ(juce::ByteOrder::littleEndianInt(bytes + 4), text.size());
    EXPECT_EQ(std::string(bytes + 8, text.size()), text);
    EXPECT_EQ(bytes[block.getSize() - 1], 0);
}

TEST_F(UndrelTest, RoundTripIntoAFreshInstanceMovesItWithinOneTick)
{
    auto source = makeProcessor();
    source->pendingLinkId.store(9);
    source->timerCallback();
    setParam(source->apvts, "linkID", 9.0f);
    setParam(source->apvts, "trim", 4.5f);
    source->editorSettings.editorWidth = 512;
    source->editorSettings.meterHold = true;
    const auto saved = saveState(*source);
    source.reset();

    auto proc = makeProcessor();
    ASSERT_EQ(proc->currentLinkId.load(), 1);
    restoreState(*proc, saved);
    EXPECT_FLOAT_EQ(rawParam(proc->apvts, "trim"), 4.5f);
    EXPECT_EQ(proc->editorSettings.editorWidth.load(), 512);
    EXPECT_TRUE(proc->editorSettings.meterHold.load());
    EXPECT_FALSE(proc->editorSettings.tooltipsOn.load());
    EXPECT_EQ(proc->pendingLinkId.load(), 9);
    EXPECT_EQ(proc->currentLinkId.load(), 1);

    proc->timerCallback();
    EXPECT_EQ(proc->currentLinkId.load(), 9);
    EXPECT_TRUE(proc->getOwnLockFile(9).existsAsFile());
    EXPECT_FALSE(proc->getOwnLockFile(1).exists());
}

TEST_F(UndrelTest, RestoreSetsTheTrimAtOnceAndTakesACurrentBlock)
{
    OvrelStandIn ovrel(scope.env, 1, 0.0f);
    auto source = makeProcessor();
    setParam(source->apvts, "trim", -5.0f);
    const auto trimmed = saveState(*source);
    setParam(source->apvts, "bypass", 1.0f);
    const auto bypassed = saveState(*source);
    source.reset();

    for (const bool prepareAfter : {false, true})
    {
        SCOPED_TRACE(prepareAfter);
        auto proc = makeProcessor();
        proc->prepareToPlay(48000.0, 512);
        setParam(proc->apvts, "trim", 10.0f);
        runBlock(*proc, 64); // ramping towards +10 dB
        ovrel.publish(8.0f); // not yet taken

        restoreState(*proc, trimmed);
        EXPECT_EQ(proc->receivedGainDb.load(), 8.0f);
        if (prepareAfter)
            proc->prepareToPlay(44100.0, 512);
        const auto out = runBlock(*proc, 64);
        EXPECT_NEAR(dbOf(out.getSample(0, 0)), -13.0f, 1e-4f);
        EXPECT_NEAR(dbOf(out.getSample(1, 63)), -13.0f, 1e-4f);

        restoreState(*proc, bypassed);
        EXPECT_NEAR(dbOf(runBlock(*proc, 4).getSample(0, 0)), -8.0f, 1e-4f) << "bypass keeps the compensation";
        ovrel.publish(0.0f);
    }
}

TEST_F(UndrelTest, RestoreLeavesTheCompensationWhenTheBlockIsNotCurrent)
{
    OvrelStandIn ovrel(scope.env, 1, 6.0f);
    auto proc = makeProcessor();
    proc->prepareToPlay(48000.0, 512);
    const auto saved = saveState(*proc);
    EXPECT_NEAR(settledDb(*proc), -6.0f, 1e-4f);

    ovrel.block().gainDb.store(-3.0f);
    ovrel.block().writerActive.store(0);
    restoreState(*proc, saved);
    EXPECT_EQ(proc->receivedGainDb.load(), 6.0f);
    EXPECT_NEAR(settledDb(*proc, kRamp), -6.0f, 1e-4f);
}

// A finite value outside a parameter's range restores as the nearest limit, as the framework would
// set it; one that is not a number at all gives the default.
TEST_F(UndrelTest, RestoreClampsValuesOutsideTheirRangesAndDefaultsNonFiniteOnes)
{
    const struct
    {
        const char *trim, *linkId, *bypass;
        float trimAfter, linkIdAfter, bypassAfter;
    } rows[] = {
        {"-12.0", "50.0", "1.0", -12.0f, 50.0f, 1.0f}, {"12.0", "1.0", "0.0", 12.0f, 1.0f, 0.0f},
        {"nan", "3.0", "0.0", 0.0f, 3.0f, 0.0f},       {"inf", "3.0", "0.0", 0.0f, 3.0f, 0.0f},
        {"-inf", "3.0", "0.0", 0.0f, 3.0f, 0.0f},      {"12.5", "3.0", "0.0", 12.0f, 3.0f, 0.0f},
        {"-48", "3.0", "0.0", -12.0f, 3.0f, 0.0f},     {"2.0", "0", "1.0", 2.0f, 1.0f, 1.0f},
        {"2.0", "51", "nan", 2.0f, 50.0f, 0.0f},       {"2.0", "99", "2.0", 2.0f, 50.0f, 1.0f},
        {"2.0", "-7", "-1", 2.0f, 1.0f, 0.0f},
    };
    for (const auto& r : rows)
    {
        SCOPED_TRACE(juce::String(r.trim) + " " + r.linkId + " " + r.bypass);
        auto proc = makeProcessor();
        proc->prepareToPlay(48000.0, 512);
        setParam(proc->apvts, "trim", -9.0f);
        restoreState(*proc, wrapXml(undrelXml("", r.trim, r.linkId, r.bypass)));
        EXPECT_FLOAT_EQ(rawParam(proc->apvts, "trim"), r.trimAfter);
        EXPECT_FLOAT_EQ(rawParam(proc->apvts, "linkID"), r.linkIdAfter);
        EXPECT_FLOAT_EQ(rawParam(proc->apvts, "bypass"), r.bypassAfter);

        const float expectedDb = r.bypassAfter > 0.5f ? 0.0f : r.trimAfter;
        EXPECT_NEAR(dbOf(runBlock(*proc, 4).getSample(0, 0)), expectedDb, 1e-4f);
    }
}

TEST_F(UndrelTest, RestoreTakesOnlyOurOwnState)
{
    auto proc = makeProcessor();
    setParam(proc->apvts, "trim", 5.0f);
    proc->editorSettings.editorWidth = 333;

    const auto valid = wrapXml(undrelXml("editorWidth=\"600\"", "-9.0", "1.0", "0.0"));
    for (const auto& damage : damagedStates())
    {
        SCOPED_TRACE(damage.name);
        restoreState(*proc, damage.make(valid));
        EXPECT_FLOAT_EQ(rawParam(proc->apvts, "trim"), 5.0f);
        EXPECT_EQ(proc->editorSettings.editorWidth.load(), 333);
    }

    restoreState(*proc, wrapXml(undrelXml("editorWidth=\"900\" isSpanish=\"1\"", "-2.5", "1.0", "0.0", "parameters")));
    EXPECT_FLOAT_EQ(rawParam(proc->apvts, "trim"), -2.5f);
    EXPECT_EQ(proc->editorSettings.editorWidth.load(), 700);
    EXPECT_TRUE(proc->editorSettings.isSpanish.load());
    EXPECT_EQ(proc->apvts.state.getType().toString(), "PARAMETERS");
}
