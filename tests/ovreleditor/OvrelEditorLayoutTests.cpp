#include "OvrelEditorTestSupport.h"

#include <cmath>
#include <limits>

namespace
{
struct Expected
{
    const char* name;
    juce::Rectangle<int> at300, at700;
};

// Worked out by hand from the layout rules: s = w / 300, values rounded half away from zero,
// integer divisions truncated.
const Expected layoutTable[] = {
    {"help", {278, 7, 18, 16}, {678, 7, 18, 16}},          {"linkLabel", {148, 7, 50, 16}, {548, 7, 50, 16}},
    {"linkBox", {200, 5, 48, 20}, {600, 5, 48, 20}},       {"logo", {4, 6, 20, 18}, {4, 6, 20, 18}},
    {"titleZone", {28, 0, 120, 30}, {28, 0, 120, 30}},     {"linkZone", {148, 5, 50, 20}, {548, 5, 50, 20}},
    {"meter", {4, 34, 60, 234}, {4, 34, 140, 634}},        {"bypass", {248, 38, 36, 36}, {600, 38, 84, 84}},
    {"badge", {252, 78, 32, 26}, {609, 126, 75, 61}},      {"letter", {252, 108, 36, 14}, {609, 212, 79, 14}},
    {"knob", {85, 110, 130, 157}, {198, 256, 303, 366}},   {"gainCaption", {81, 54, 88, 22}, {189, 142, 205, 51}},
    {"gainValue", {169, 54, 50, 22}, {394, 142, 117, 51}}, {"compCaption", {81, 76, 88, 22}, {189, 193, 205, 51}},
    {"compValue", {169, 76, 50, 22}, {394, 193, 117, 51}}, {"status", {0, 242, 300, 26}, {0, 642, 700, 26}},
};

juce::Rectangle<int> boundsOf(OvrelAudioProcessorEditor& e, const juce::String& name)
{
    if (name == "help")
        return e.helpButton.getBounds();
    if (name == "linkLabel")
        return e.linkIdLabel.getBounds();
    if (name == "linkBox")
        return e.linkIdBox.getBounds();
    if (name == "logo")
        return e.logoButton.getBounds();
    if (name == "titleZone")
        return e.titleTipZone.getBounds();
    if (name == "linkZone")
        return e.linkTipZone.getBounds();
    if (name == "meter")
        return e.inputMeter.getBounds();
    if (name == "bypass")
        return e.bypassButton.getBounds();
    if (name == "badge")
        return e.roleBadgeBounds.toNearestInt();
    if (name == "letter")
        return e.instanceLetterLabel.getBounds();
    if (name == "knob")
        return e.gainKnob.getBounds();
    if (name == "gainCaption")
        return e.gainCaption.getBounds();
    if (name == "gainValue")
        return e.gainValueLabel.getBounds();
    if (name == "compCaption")
        return e.compensationCaption.getBounds();
    if (name == "compValue")
        return e.compensationValueLabel.getBounds();
    return e.statusLabel.getBounds();
}
} // namespace

TEST_F(OvrelEditorTest, LayoutAtTheSmallestAndLargestSize)
{
    auto& e = openEditor();
    for (int side : {300, 700})
    {
        e.setSize(side, side);
        for (const auto& row : layoutTable)
            EXPECT_EQ(boundsOf(e, row.name), side == 300 ? row.at300 : row.at700) << row.name << " at " << side;
        EXPECT_FLOAT_EQ(e.gainValueLabel.getFont().getHeight(), 16.0f * (float)side / 300.0f);
        EXPECT_FLOAT_EQ(e.compensationCaption.getFont().getHeight(), 11.0f * (float)side / 300.0f);
    }
}

TEST_F(OvrelEditorTest, SavedWidthIsClampedTheEditorStaysSquareAndTheLastWidthIsKept)
{
    expectWidthLimitsAndMemory();
}

TEST_F(OvrelEditorTest, RestoredScaleIsAppliedOnlyWhenUsable)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    const struct
    {
        float stored, applied;
    } cases[] = {{1.5f, 1.5f},  {0.5f, 0.5f}, {1.0f, 1.0f}, {0.0f, 1.0f},
                 {-2.0f, 1.0f}, {nan, 1.0f},  {inf, 1.0f},  {100.0f, 1.0f}};
    for (const auto& c : cases)
    {
        proc->editorSettings.uiScale.store(c.stored);
        auto& e = openEditor();
        tickEditor(3);
        const auto t = e.getTransform();
        EXPECT_FLOAT_EQ(t.mat00, c.applied) << c.stored;
        EXPECT_FLOAT_EQ(t.mat11, c.applied) << c.stored;
        EXPECT_TRUE(t.isSingularity() == false) << c.stored;
        EXPECT_GT(e.getScreenBounds().getWidth(), 0) << c.stored;
    }
}

TEST_F(OvrelEditorTest, ScaleRestoredWhileOpenIsFollowedOnTheNextTick)
{
    proc->editorSettings.uiScale.store(1.5f);
    proc->editorSettings.editorWidth.store(450);
    auto& e = openEditor();
    EXPECT_FLOAT_EQ(e.getTransform().mat00, 1.5f);

    proc->editorSettings.uiScale.store(1.0f);
    tickEditor();
    EXPECT_TRUE(e.getTransform().isIdentity());
    EXPECT_EQ(e.getWidth(), 300);
    EXPECT_EQ(proc->editorSettings.editorWidth.load(), 300);
}

TEST_F(OvrelEditorTest, HostScaleIsComposedWithTheUiScaleAndNotFought)
{
    proc->editorSettings.editorWidth.store(450);
    auto& e = openEditor();
    e.setScaleFactor(2.0f);
    tickEditor(5);
    EXPECT_FLOAT_EQ(e.getTransform().mat00, 2.0f);
    EXPECT_EQ(e.getWidth(), 450);
    EXPECT_EQ(proc->editorSettings.editorWidth.load(), 450);

    proc->editorSettings.uiScale.store(1.5f);
    tickEditor();
    EXPECT_FLOAT_EQ(e.getTransform().mat00, 3.0f);
    EXPECT_EQ(e.getWidth(), 300);
    tickEditor(5);
    EXPECT_FLOAT_EQ(e.getTransform().mat00, 3.0f) << "a settled scale is left alone";

    e.setScaleFactor(1.25f);
    EXPECT_FLOAT_EQ(e.getTransform().mat00, 1.875f);
    tickEditor(2);
    EXPECT_FLOAT_EQ(e.getTransform().mat00, 1.875f);
}
