#include "OvrelEditorTestSupport.h"

#include "support/GestureLog.h"
#include "widgets/KnobTestKit.h"

TEST_F(OvrelEditorTest, EveryControlReportsBalancedGestures)
{
    auto& e = openEditor();
    GestureLog log(*proc);
    expectKnobGesturesBalanced(log, e.gainKnob, "gain");

    e.bypassButton.setToggleState(true, juce::sendNotificationSync);
    log.expectBalanced("bypass", "bypass");

    e.linkIdBox.setSelectedId(7, juce::sendNotificationSync);
    log.expectBalanced("linkID", "link ID");
}

TEST_F(OvrelEditorTest, ClosingDuringADragEndsTheGesture)
{
    auto& e = openEditor();
    GestureLog log(*proc);
    auto& knob = e.gainKnob;
    const int y = knob.getScreenBounds().getCentreY();
    knob.mouseDown(knobtest::eventAt(knob, y, knobtest::none));
    knob.mouseDrag(knobtest::eventAt(knob, y - 60, knobtest::none));
    editor.reset();
    log.expectBalanced("gain", "drag cut short");
}

TEST_F(OvrelEditorTest, ChangesFromTheHostAreNoGestures)
{
    openEditor();
    GestureLog log(*proc);
    setParam(proc->apvts, "gain", 12.0f);
    EXPECT_EQ(log.begins[log.indexOf("gain")], 0);
    EXPECT_DOUBLE_EQ(editor->gainKnob.getValue(), 12.0);
}
