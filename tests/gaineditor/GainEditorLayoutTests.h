#pragma once

#include "gaineditor/GainEditorFaceTest.h"
#include "support/HostGivenSizes.h"

#include <limits>

template <typename Traits> class GainEditorLayoutTest : public GainEditorFaceTest<Traits>
{
};
TYPED_TEST_SUITE_P(GainEditorLayoutTest);

namespace gaineditorlayout
{
// Worked out by hand from the layout rules: s = w / 300, values rounded half away from zero,
// integer divisions truncated.
inline const GainEditorLayoutRow sharedRows[] = {
    {"help", {278, 7, 18, 16}, {678, 7, 18, 16}},          {"linkLabel", {148, 7, 50, 16}, {548, 7, 50, 16}},
    {"linkBox", {200, 5, 48, 20}, {600, 5, 48, 20}},       {"logo", {4, 6, 20, 18}, {4, 6, 20, 18}},
    {"titleZone", {28, 0, 120, 30}, {28, 0, 120, 30}},     {"linkZone", {148, 5, 50, 20}, {548, 5, 50, 20}},
    {"knob", {85, 110, 130, 157}, {198, 256, 303, 366}},   {"gainCaption", {81, 54, 88, 22}, {189, 142, 205, 51}},
    {"gainValue", {169, 54, 50, 22}, {394, 142, 117, 51}}, {"compCaption", {81, 76, 88, 22}, {189, 193, 205, 51}},
    {"compValue", {169, 76, 50, 22}, {394, 193, 117, 51}}, {"status", {0, 242, 300, 26}, {0, 642, 700, 26}},
};

template <typename Traits> juce::Rectangle<int> boundsOf(typename Traits::Editor& e, const juce::String& name)
{
    const std::pair<const char*, const juce::Component*> parts[] = {
        {"help", &e.helpButton},
        {"linkLabel", &e.linkIdLabel},
        {"linkBox", &e.linkIdBox},
        {"logo", &e.logoButton},
        {"titleZone", &e.titleTipZone},
        {"linkZone", &e.linkTipZone},
        {"knob", &Traits::centreKnob(e)},
        {"gainCaption", &e.gainCaption},
        {"gainValue", &e.gainValueLabel},
        {"compCaption", &e.compensationCaption},
        {"compValue", &e.compensationValueLabel},
        {"status", &e.statusLabel},
    };
    for (const auto& [partName, part] : parts)
        if (name == partName)
            return part->getBounds();
    return Traits::ownBounds(e, name);
}
} // namespace gaineditorlayout

TYPED_TEST_P(GainEditorLayoutTest, LayoutAtTheSmallestAndLargestSize)
{
    auto& e = this->openEditor();
    for (int side : {300, 700})
    {
        e.setSize(side, side);
        const auto check = [&](const auto& table)
        {
            for (const auto& row : table)
                EXPECT_EQ(gaineditorlayout::boundsOf<TypeParam>(e, row.name), side == 300 ? row.at300 : row.at700)
                    << row.name << " at " << side;
        };
        check(gaineditorlayout::sharedRows);
        check(TypeParam::ownLayout);
        EXPECT_FLOAT_EQ(e.gainValueLabel.getFont().getHeight(), 16.0f * (float)side / 300.0f);
        EXPECT_FLOAT_EQ(e.compensationCaption.getFont().getHeight(), 11.0f * (float)side / 300.0f);
    }
}

// A saved width outside the limits is clamped, the resizer keeps the editor square, and the last
// width is what the next editor opens with.
TYPED_TEST_P(GainEditorLayoutTest, SavedWidthIsClampedTheEditorStaysSquareAndTheLastWidthIsKept)
{
    auto& settings = this->proc->editorSettings;
    const struct
    {
        int saved, opened;
    } cases[] = {{250, 300}, {300, 300}, {450, 450}, {700, 700}, {900, 700}};
    for (const auto& c : cases)
    {
        settings.editorWidth.store(c.saved);
        auto& e = this->openEditor();
        EXPECT_EQ(e.getWidth(), c.opened) << c.saved;
        EXPECT_EQ(e.getHeight(), c.opened) << c.saved;
    }

    auto& e = this->openEditor();
    e.getConstrainer()->setBoundsForComponent(&e, {0, 0, 520, 410}, false, false, true, true);
    EXPECT_EQ(e.getWidth(), e.getHeight());
    e.getConstrainer()->setBoundsForComponent(&e, {0, 0, 1200, 1200}, false, false, true, true);
    EXPECT_EQ(e.getWidth(), 700);

    e.setSize(450, 450);
    EXPECT_EQ(settings.editorWidth.load(), 450);
    this->editor.reset();
    EXPECT_EQ(settings.editorWidth.load(), 450) << "closing writes nothing";
    EXPECT_EQ(this->openEditor().getWidth(), 450);
}

TYPED_TEST_P(GainEditorLayoutTest, RestoredScaleIsAppliedOnlyWhenUsable)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    const struct
    {
        float stored, applied;
    } cases[] = {{1.5f, 1.5f},  {1.25f, 1.25f}, {0.5f, 0.5f}, {1.0f, 1.0f},  {0.0f, 1.0f},
                 {-2.0f, 1.0f}, {nan, 1.0f},    {inf, 1.0f},  {100.0f, 1.0f}};
    for (const auto& c : cases)
    {
        this->proc->editorSettings.uiScale.store(c.stored);
        auto& e = this->openEditor();
        EXPECT_FLOAT_EQ(e.getTransform().mat00, c.applied) << c.stored << " at opening";
        this->tickEditor(3);
        const auto t = e.getTransform();
        EXPECT_FLOAT_EQ(t.mat00, c.applied) << c.stored;
        EXPECT_FLOAT_EQ(t.mat11, c.applied) << c.stored;
        EXPECT_TRUE(t.isSingularity() == false) << c.stored;
        EXPECT_GT(e.getScreenBounds().getWidth(), 0) << c.stored;
    }
}

TYPED_TEST_P(GainEditorLayoutTest, ScaleRestoredWhileOpenIsFollowedOnTheNextTick)
{
    auto& settings = this->proc->editorSettings;
    for (float opened : {1.5f, 1.25f})
    {
        SCOPED_TRACE(opened);
        settings.uiScale.store(opened);
        settings.editorWidth.store(450);
        auto& e = this->openEditor();
        EXPECT_FLOAT_EQ(e.getTransform().mat00, opened);
        EXPECT_FLOAT_EQ(e.getTransform().mat11, opened);

        settings.uiScale.store(1.0f);
        this->tickEditor();
        EXPECT_TRUE(e.getTransform().isIdentity());
        EXPECT_EQ(e.getWidth(), 300);
        EXPECT_EQ(settings.editorWidth.load(), 300);

        settings.uiScale.store(std::numeric_limits<float>::quiet_NaN());
        this->tickEditor();
        EXPECT_TRUE(e.getTransform().isIdentity()) << "a wild stored scale counts as 1";
    }
}

TYPED_TEST_P(GainEditorLayoutTest, HostScaleIsComposedWithTheUiScaleAndNotFought)
{
    auto& settings = this->proc->editorSettings;
    settings.editorWidth.store(450);
    auto& e = this->openEditor();
    e.setScaleFactor(2.0f);
    this->tickEditor(5);
    EXPECT_FLOAT_EQ(e.getTransform().mat00, 2.0f);
    EXPECT_EQ(e.getWidth(), 450);
    EXPECT_EQ(settings.editorWidth.load(), 450);

    settings.uiScale.store(1.5f);
    this->tickEditor();
    EXPECT_FLOAT_EQ(e.getTransform().mat00, 3.0f);
    EXPECT_EQ(e.getWidth(), 300);
    this->tickEditor(5);
    EXPECT_FLOAT_EQ(e.getTransform().mat00, 3.0f) << "a settled scale is left alone";

    e.setScaleFactor(1.25f);
    EXPECT_FLOAT_EQ(e.getTransform().mat00, 1.875f);
    this->tickEditor(2);
    EXPECT_FLOAT_EQ(e.getTransform().mat00, 1.875f);
}

// A host that gives the square editor another shape gets it whole: the readouts' card below the
// header line, nothing over the big knob, the knob in the middle.
TYPED_TEST_P(GainEditorLayoutTest, DrawsWholeInTheSizeAHostGives)
{
    auto& e = this->openEditor();
    TypeParam::showEverything(*this->proc);
    std::vector<const juce::Component*> clearOfKnob{
        &e.gainCaption, &e.gainValueLabel, &e.compensationCaption, &e.compensationValueLabel,
        &e.meter,       &e.bypassButton};
    for (auto* part : TypeParam::ownParts(e))
        clearOfKnob.push_back(part);
    expectGainEditorWholeAtHostSizes(
        e, TypeParam::centreKnob(e), e.gainCaption, clearOfKnob, juce::String(TypeParam::name) + "Editor",
        [this] { this->tickEditor(2); }, [&e] { TypeParam::expectOwnPartsApart(e); });
}

// A host's size of another shape ends in a consistent editor: what is stored is the side laid out,
// so the next editor opens square at the size this one showed.
TYPED_TEST_P(GainEditorLayoutTest, HostSizeOfAnotherShapeStoresTheSideLaidOut)
{
    auto& e = this->openEditor();
    e.setSize(392, 300);
    EXPECT_EQ(this->proc->editorSettings.editorWidth.load(), 300);
    e.setSize(360, 520);
    EXPECT_EQ(this->proc->editorSettings.editorWidth.load(), 360);
    auto& next = this->openEditor();
    EXPECT_EQ(next.getWidth(), 360);
    EXPECT_EQ(next.getHeight(), 360);
}

REGISTER_TYPED_TEST_SUITE_P(GainEditorLayoutTest, LayoutAtTheSmallestAndLargestSize,
                            SavedWidthIsClampedTheEditorStaysSquareAndTheLastWidthIsKept,
                            RestoredScaleIsAppliedOnlyWhenUsable, ScaleRestoredWhileOpenIsFollowedOnTheNextTick,
                            HostScaleIsComposedWithTheUiScaleAndNotFought, DrawsWholeInTheSizeAHostGives,
                            HostSizeOfAnotherShapeStoresTheSideLaidOut);
