#pragma once

#include "gaineditor/GainEditorFaceTest.h"
#include "support/GestureLog.h"
#include "support/ParamHelpers.h"
#include "widgets/KnobTestKit.h"

template <typename Traits> class GainEditorGestureTest : public GainEditorFaceTest<Traits>
{
};
TYPED_TEST_SUITE_P(GainEditorGestureTest);

TYPED_TEST_P(GainEditorGestureTest, EveryControlReportsBalancedGestures)
{
    auto& e = this->openEditor();
    GestureLog log(*this->proc);
    expectKnobGesturesBalanced(log, e.knob, TypeParam::knobParameter);
    EXPECT_FLOAT_EQ(rawParam(this->proc->apvts, TypeParam::knobParameter), 0.0f)
        << "Ctrl + double click returns to 0.0";

    e.bypassButton.setToggleState(true, juce::sendNotificationSync);
    log.expectBalanced("bypass", "bypass");

    e.linkIdBox.setSelectedId(7, juce::sendNotificationSync);
    log.expectBalanced("linkID", "link ID");
}

TYPED_TEST_P(GainEditorGestureTest, ClosingDuringADragEndsTheGesture)
{
    auto& e = this->openEditor();
    GestureLog log(*this->proc);
    auto& knob = e.knob;
    const int y = knob.getScreenBounds().getCentreY();
    knob.mouseDown(knobtest::eventAt(knob, y, knobtest::none));
    knob.mouseDrag(knobtest::eventAt(knob, y - 60, knobtest::none));
    this->editor.reset();
    log.expectBalanced(TypeParam::knobParameter, "drag cut short");
}

TYPED_TEST_P(GainEditorGestureTest, ChangesFromTheHostAreNoGestures)
{
    this->openEditor();
    GestureLog log(*this->proc);
    setParam(this->proc->apvts, TypeParam::knobParameter, 12.0f);
    EXPECT_EQ(log.begins[log.indexOf(TypeParam::knobParameter)], 0);
    EXPECT_DOUBLE_EQ(this->editor->knob.getValue(), 12.0);
}

REGISTER_TYPED_TEST_SUITE_P(GainEditorGestureTest, EveryControlReportsBalancedGestures,
                            ClosingDuringADragEndsTheGesture, ChangesFromTheHostAreNoGestures);
