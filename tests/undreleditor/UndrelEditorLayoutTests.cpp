#include "UndrelEditorTestSupport.h"

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
    {"help", {278, 7, 18, 16}, {678, 7, 18, 16}},
    {"linkLabel", {148, 7, 50, 16}, {548, 7, 50, 16}},
    {"linkBox", {200, 5, 48, 20}, {600, 5, 48, 20}},
    {"logo", {4, 6, 20, 18}, {4, 6, 20, 18}},
    {"titleZone", {28, 0, 120, 30}, {28, 0, 120, 30}},
    {"linkZone", {148, 5, 50, 20}, {548, 5, 50, 20}},
    {"meter", {236, 34, 60, 234}, {556, 34, 140, 634}},
    {"bypass", {12, 38, 36, 36}, {12, 38, 84, 84}},
    {"knob", {85, 110, 130, 157}, {198, 256, 303, 366}},
    {"gainCaption", {81, 54, 88, 22}, {189, 142, 205, 51}},
    {"receivedValue", {169, 54, 50, 22}, {394, 142, 117, 51}},
    {"compCaption", {81, 76, 88, 22}, {189, 193, 205, 51}},
    {"compValue", {169, 76, 50, 22}, {394, 193, 117, 51}},
    {"status", {0, 242, 300, 26}, {0, 642, 700, 26}},
    {"trim", {10, 154, 54, 110}, {10, 408, 126, 256}},
};

juce::Rectangle<int> boundsOf(UndrelAudioProcessorEditor& e, const juce::String& name)
{
    const std::pair<const char*, juce::Component*> parts[] = {
        {"help", &e.helpButton},
        {"linkLabel", &e.linkIdLabel},
        {"linkBox", &e.linkIdBox},
        {"logo", &e.logoButton},
        {"titleZone", &e.titleTipZone},
        {"linkZone", &e.linkTipZone},
        {"meter", &e.outputMeter},
        {"bypass", &e.bypassButton},
        {"knob", &e.compensationKnob},
        {"gainCaption", &e.gainCaption},
        {"receivedValue", &e.gainValueLabel},
        {"compCaption", &e.compensationCaption},
        {"compValue", &e.compensationValueLabel},
        {"status", &e.statusLabel},
        {"trim", &e.trimKnob},
    };
    for (const auto& [partName, c] : parts)
        if (name == partName)
            return c->getBounds();
    ADD_FAILURE() << "no part " << name;
    return {};
}
} // namespace

TEST_F(UndrelEditorTest, LayoutAtTheSmallestAndLargestSize)
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

TEST_F(UndrelEditorTest, SavedWidthIsClampedTheEditorStaysSquareAndTheLastWidthIsKept)
{
    expectWidthLimitsAndMemory();
}

TEST_F(UndrelEditorTest, RestoredScaleOpensScaledAndIsFollowedWhileOpen)
{
    proc->editorSettings.uiScale.store(1.25f);
    proc->editorSettings.editorWidth.store(450);
    auto& e = openEditor();
    EXPECT_FLOAT_EQ(e.getTransform().mat00, 1.25f);
    EXPECT_FLOAT_EQ(e.getTransform().mat11, 1.25f);

    proc->editorSettings.uiScale.store(1.0f);
    tickEditor();
    EXPECT_TRUE(e.getTransform().isIdentity());
    EXPECT_EQ(e.getWidth(), 300);
    EXPECT_EQ(proc->editorSettings.editorWidth.load(), 300);

    proc->editorSettings.uiScale.store(std::numeric_limits<float>::quiet_NaN());
    tickEditor();
    EXPECT_TRUE(e.getTransform().isIdentity()) << "a wild stored scale counts as 1";
}
