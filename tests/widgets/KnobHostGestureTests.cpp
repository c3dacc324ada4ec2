#include "KnobTestKit.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace knobtest;

namespace
{
// What a parameter attachment hears from the knob: gesture starts and ends, and value changes,
// as one string ("[" start, "v" change, "]" end), next to the owner's drag hooks ("<", ">").
struct KnobListenerLog : ::testing::Test, juce::Slider::Listener
{
    KnobListenerLog()
    {
        knob.setBounds(0, 0, 60, 90);
        knob.setVisible(true);
        configure(knob, -48.0, 48.0, 0.1, 0.0, 0.0);
        knob.addListener(this);
        knob.onDragStart = [this] { events += "<"; };
        knob.onDragEnd = [this] { events += ">"; };
    }

    ~KnobListenerLog() override { knob.removeListener(this); }

    void sliderValueChanged(juce::Slider*) override { events += "v"; }
    void sliderDragStarted(juce::Slider*) override { events += "["; }
    void sliderDragEnded(juce::Slider*) override { events += "]"; }

    OrlintKnob knob;
    OrlintKnobProbe probe{knob};
    std::string events;
};
} // namespace

TEST_F(KnobListenerLog, ADragIsOneGestureWithTheDragHooks)
{
    knob.mouseDown(eventAt(knob, 500, none));
    knob.mouseDrag(eventAt(knob, 480, none));
    knob.mouseDrag(eventAt(knob, 460, none));
    knob.mouseUp(eventAt(knob, 460, none));
    EXPECT_EQ(events, "[<vv]>");
}

TEST_F(KnobListenerLog, AWheelBurstIsOneGestureWithoutDragHooks)
{
    for (int i = 0; i < 4; ++i)
    {
        wheel(knob, 0.1f);
        runMessageLoop(30);
    }
    EXPECT_EQ(events, "[vvvv");
    EXPECT_FALSE(knob.isTimerRunning()) << "the wheel animates nothing";
    runMessageLoop(450);
    EXPECT_EQ(events, "[vvvv]");

    // Bursts apart are gestures apart.
    events.clear();
    wheel(knob, -0.1f);
    runMessageLoop(450);
    wheel(knob, -0.1f);
    runMessageLoop(450);
    EXPECT_EQ(events, "[v][v]");
}

TEST_F(KnobListenerLog, ResetAndTypedValueAreGesturesWithoutDragHooks)
{
    knob.setValue(12.0, juce::dontSendNotification);
    knob.mouseDoubleClick(eventAt(knob, 100, ctrl, 2));
    EXPECT_EQ(events, "[v]");
    EXPECT_DOUBLE_EQ(knob.getValue(), 0.0);

    events.clear();
    knob.openTextEditor();
    ASSERT_NE(probe.editor(), nullptr);
    probe.editor()->setText("-6");
    knob.commitTextEditor();
    runMessageLoop(400);
    EXPECT_EQ(events, "[v]");
    EXPECT_DOUBLE_EQ(knob.getValue(), -6.0);
}

TEST_F(KnobListenerLog, OpenGesturesEndWhenAskedOrWhenTheKnobDies)
{
    wheel(knob, 0.1f);
    knob.finishGestures();
    EXPECT_EQ(events, "[v]");

    events.clear();
    knob.mouseDown(eventAt(knob, 500, none));
    knob.finishGestures();
    EXPECT_EQ(events, "[<]>");

    std::string ends;
    struct EndCounter : juce::Slider::Listener
    {
        explicit EndCounter(std::string& s) : log(s) {}
        void sliderValueChanged(juce::Slider*) override {}
        void sliderDragEnded(juce::Slider*) override { log += "]"; }
        std::string& log;
    } counter(ends);
    {
        OrlintKnob doomed;
        configure(doomed, 0.0, 10.0, 0.1, 0.0, 0.0);
        doomed.addListener(&counter);
        wheel(doomed, 0.1f);
    }
    EXPECT_EQ(ends, "]");
    runMessageLoop(400); // the burst's pending end finds the knob gone
}
