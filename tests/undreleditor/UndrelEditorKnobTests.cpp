#include "UndrelEditorTestSupport.h"

#include "support/GestureLog.h"
#include "widgets/KnobTestKit.h"

TEST_F(UndrelEditorTest, CompensationKnobRefusesEveryGesture)
{
    receive(5.0f);
    auto& e = openEditor();
    tickEditor();
    auto& knob = e.compensationKnob;
    ASSERT_FALSE(knob.isEnabled());
    ASSERT_DOUBLE_EQ(knob.getValue(), -5.0);
    OrlintKnobProbe probe(knob);
    const int y = knob.getScreenBounds().getCentreY();

    const struct
    {
        const char* name;
        std::function<void()> gesture;
    } gestures[] = {
        {"drag",
         [&]
         {
             knob.mouseDown(knobtest::eventAt(knob, y, knobtest::none));
             knob.mouseDrag(knobtest::eventAt(knob, y - 120, knobtest::none));
             knob.mouseUp(knobtest::eventAt(knob, y - 120, knobtest::none));
         }},
        {"precision drag",
         [&]
         {
             knob.mouseDown(knobtest::eventAt(knob, y, knobtest::shift));
             knob.mouseDrag(knobtest::eventAt(knob, y + 90, knobtest::shift));
             knob.mouseUp(knobtest::eventAt(knob, y + 90, knobtest::shift));
         }},
        {"wheel", [&] { knobtest::wheel(knob, 1.0f); }},
        {"reset", [&] { knob.mouseDoubleClick(knobtest::eventAt(knob, y, knobtest::ctrl, 2)); }},
        {"typed value", [&] { knob.mouseDoubleClick(knobtest::eventAt(knob, y, knobtest::none, 2)); }},
        {"inverse-link toggle", [&] { knob.mouseDoubleClick(knobtest::eventAt(knob, y, knobtest::alt, 2)); }},
    };
    for (const auto& g : gestures)
    {
        g.gesture();
        EXPECT_DOUBLE_EQ(knob.getValue(), -5.0) << g.name;
        EXPECT_FALSE(probe.dragging()) << g.name;
        EXPECT_EQ(probe.editor(), nullptr) << g.name;
        EXPECT_TRUE(knob.invertLinked) << g.name;
    }

    receive(-2.0f);
    tickEditor();
    EXPECT_DOUBLE_EQ(knob.getValue(), 2.0) << "the timer still turns it";
}
