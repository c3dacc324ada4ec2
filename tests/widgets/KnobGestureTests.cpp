#include "KnobTestKit.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace knobtest;

namespace
{
enum class Mode
{
    stepped,
    continuous,
    proportional,
    both // proportional and continuous set: proportional wins
};

void applyMode(OrlintKnob& knob, Mode mode)
{
    knob.continuousDrag = mode == Mode::continuous || mode == Mode::both;
    knob.proportionalDrag = mode == Mode::proportional || mode == Mode::both;
}

// A skewed frequency range, as the crossover and all-pass knobs have.
void makeFrequencyKnob(OrlintKnob& knob, double interval = 0.0)
{
    knob.setRange(20.0, 20000.0, interval);
    knob.setSkewFactorFromMidPoint(1000.0);
    knob.setDoubleClickReturnValue(true, 1000.0);
}

struct KnobFixture : ::testing::Test
{
    KnobFixture()
    {
        knob.setBounds(0, 0, 60, 90);
        knob.setVisible(true);
    }

    OrlintKnob knob;
    OrlintKnobProbe probe{knob};
};

constexpr int startY = 500;
} // namespace

//==============================================================================
struct DragStep
{
    int up; // pixels above the mouse-down point
    bool shift;
    double expected;
};

struct DragCase
{
    const char* name;
    Mode mode;
    double min, max, dragStep, start;
    bool shiftAtDown;
    std::vector<DragStep> steps;
};

void PrintTo(const DragCase& c, std::ostream* os)
{
    *os << c.name;
}

class KnobDrag : public KnobFixture, public ::testing::WithParamInterface<DragCase>
{
};

TEST_P(KnobDrag, FollowsThePointerFromTheAnchor)
{
    const auto& c = GetParam();
    configure(knob, c.min, c.max, 0.0, 0.0, c.start);
    applyMode(knob, c.mode);
    knob.dragStep = c.dragStep;

    knob.mouseDown(eventAt(knob, startY, c.shiftAtDown ? shift : none));
    for (size_t i = 0; i < c.steps.size(); ++i)
    {
        const auto& s = c.steps[i];
        knob.mouseDrag(eventAt(knob, startY - s.up, s.shift ? shift : none));
        EXPECT_NEAR(knob.getValue(), s.expected, 1e-9) << "step " << i;
        EXPECT_EQ(probe.fineMode(), s.shift) << "step " << i;
    }
    knob.mouseUp(eventAt(knob, startY, none));
    EXPECT_FALSE(probe.dragging());
    EXPECT_FALSE(probe.fineMode());
}

// Range -48..48: 1200 px (2600 with Shift) cover the 96 dB.
INSTANTIATE_TEST_SUITE_P(
    Cases, KnobDrag,
    ::testing::Values(
        DragCase{"SteppedCoarseSnapsToHalves", Mode::stepped, -48, 48, 0, 0, false, {{12, false, 1.0}}},
        DragCase{"SteppedFineSnapsToTenths", Mode::stepped, -48, 48, 0, 0, true, {{26, true, 1.0}, {10, true, 0.4}}},
        DragCase{"SteppedDownward", Mode::stepped, -48, 48, 0, 0, false, {{-6, false, -0.5}}},
        DragCase{"HalvesRoundAwayFromZeroUp", Mode::stepped, 0, 10, 1, 0, false, {{60, false, 1.0}}},
        DragCase{"HalvesRoundAwayFromZeroDown", Mode::stepped, -10, 10, 1, 0, false, {{-30, false, -1.0}}},
        DragCase{"DragStepCountsFromZeroNotFromMin", Mode::stepped, 1, 101, 2, 1, false, {{13, false, 2.0}}},
        DragCase{"ShiftOverridesDragStep", Mode::stepped, 0, 120, 5, 50, true, {{13, true, 50.6}}},
        DragCase{"ContinuousIsUnsnapped", Mode::continuous, 0, 100, 0, 50, false, {{7, false, 50.0 + 700.0 / 1200.0}}},
        DragCase{"ContinuousFine", Mode::continuous, 0, 100, 0, 50, true, {{26, true, 51.0}}},
        DragCase{"ClampsAtMaxAndStaysAbsolute",
                 Mode::stepped,
                 -48,
                 48,
                 0,
                 47,
                 false,
                 {{120, false, 48.0}, {110, false, 48.0}, {0, false, 47.0}}},
        DragCase{"ClampsAtMin", Mode::continuous, -48, 48, 0, 0, false, {{-2000, false, -48.0}}},
        // Shift pressed mid-drag: the fine rate applies from the value reached, without a jump.
        DragCase{"ShiftPressedReanchors",
                 Mode::stepped,
                 -48,
                 48,
                 0,
                 0,
                 false,
                 {{12, false, 1.0}, {12, true, 1.0}, {38, true, 2.0}}},
        // Shift released: from 26 px the coarse rate alone would jump to 2.0.
        DragCase{"ShiftReleasedReanchors",
                 Mode::stepped,
                 -48,
                 48,
                 0,
                 0,
                 true,
                 {{26, true, 1.0}, {26, false, 1.0}, {38, false, 2.0}}}),
    CaseName());

TEST_F(KnobFixture, ProportionalDragMovesEvenlyOnASkewedRangeAndLeavesTheEndsAtOnce)
{
    makeFrequencyKnob(knob);
    knob.proportionalDrag = true;
    knob.setValue(1000.0, juce::dontSendNotification);

    auto proportion = [&] { return knob.valueToProportionOfLength(knob.getValue()); };
    knob.mouseDown(eventAt(knob, startY, none));
    const double p0 = proportion();
    knob.mouseDrag(eventAt(knob, startY - 10, none));
    EXPECT_NEAR(proportion() - p0, 0.03, 1e-9);
    knob.mouseDrag(eventAt(knob, startY - 20, none));
    EXPECT_NEAR(proportion() - p0, 0.06, 1e-9);

    // Far past the top, then back: the value leaves the maximum with the first pixel.
    knob.mouseDrag(eventAt(knob, startY - 1000, none));
    EXPECT_DOUBLE_EQ(knob.getValue(), 20000.0);
    knob.mouseDrag(eventAt(knob, startY - 990, none));
    EXPECT_NEAR(proportion(), 0.97, 1e-9);
    knob.mouseDrag(eventAt(knob, startY + 2000, none));
    EXPECT_DOUBLE_EQ(knob.getValue(), 20.0);

    // Pressing Shift re-anchors without moving; then 0.0008 per pixel.
    knob.mouseDrag(eventAt(knob, startY + 2000, shift));
    EXPECT_DOUBLE_EQ(knob.getValue(), 20.0);
    knob.mouseDrag(eventAt(knob, startY + 1990, shift));
    EXPECT_NEAR(proportion(), 0.008, 1e-9);
    knob.mouseUp(eventAt(knob, startY, none));
}

TEST_F(KnobFixture, ProportionalModeWinsOverContinuous)
{
    makeFrequencyKnob(knob);
    applyMode(knob, Mode::both);
    knob.setValue(1000.0, juce::dontSendNotification);
    const double p0 = knob.valueToProportionOfLength(1000.0);
    knob.mouseDown(eventAt(knob, startY, none));
    knob.mouseDrag(eventAt(knob, startY - 10, none));
    EXPECT_NEAR(knob.valueToProportionOfLength(knob.getValue()) - p0, 0.03, 1e-9);
}

TEST_F(KnobFixture, DragUsesScreenPositionsSoMovingTheWindowDoesNotMoveTheValue)
{
    configure(knob, -48, 48, 0, 0, 0);
    knob.mouseDown(eventAt(knob, startY, none));
    // The component moves 30 px down under a still pointer: same screen y, same value.
    knob.setTopLeftPosition(0, 30);
    knob.mouseDrag(eventAt(knob, startY, none));
    EXPECT_DOUBLE_EQ(knob.getValue(), 0.0);
    knob.mouseDrag(eventAt(knob, startY - 12, none));
    EXPECT_DOUBLE_EQ(knob.getValue(), 1.0);
}

//==============================================================================
namespace
{
struct RecordingListener : juce::Slider::Listener
{
    void sliderValueChanged(juce::Slider*) override { ++valueChanges; }
    void sliderDragStarted(juce::Slider*) override { ++listenerDragStarts; }
    void sliderDragEnded(juce::Slider*) override { ++listenerDragEnds; }
    int valueChanges = 0, listenerDragStarts = 0, listenerDragEnds = 0;
};
} // namespace

TEST_F(KnobFixture, DragRaisesTheSliderDragCallbacksOnceAndValueChangesSynchronously)
{
    configure(knob, -48, 48, 0, 0, 0);
    RecordingListener listener;
    knob.addListener(&listener);
    int starts = 0, ends = 0, alts = 0;
    knob.onDragStart = [&] { ++starts; };
    knob.onDragEnd = [&] { ++ends; };
    knob.onAltClick = [&] { ++alts; };

    knob.mouseDown(eventAt(knob, startY, none));
    EXPECT_EQ(starts, 1);
    EXPECT_TRUE(probe.dragging());
    EXPECT_TRUE(knob.isTimerRunning());
    knob.mouseDrag(eventAt(knob, startY - 12, none));
    EXPECT_EQ(listener.valueChanges, 1); // inside the gesture, not later
    knob.mouseDrag(eventAt(knob, startY - 24, none));
    knob.mouseUp(eventAt(knob, startY - 24, none));
    EXPECT_EQ(starts, 1);
    EXPECT_EQ(ends, 1);
    EXPECT_EQ(alts, 0);
    // The listeners hear the drag too: a parameter attachment makes it the host's gesture.
    EXPECT_EQ(listener.listenerDragStarts, 1);
    EXPECT_EQ(listener.listenerDragEnds, 1);
    knob.removeListener(&listener);
}

TEST_F(KnobFixture, AltClickCallsOnlyOnAltClickAndNeverDrags)
{
    configure(knob, -48, 48, 0, 0, 0);
    int starts = 0, ends = 0, alts = 0;
    knob.onDragStart = [&] { ++starts; };
    knob.onDragEnd = [&] { ++ends; };

    // Without a handler an Alt+click does nothing at all.
    knob.mouseDown(eventAt(knob, startY, alt));
    knob.mouseDrag(eventAt(knob, startY - 100, alt));
    knob.mouseUp(eventAt(knob, startY - 100, alt));
    EXPECT_DOUBLE_EQ(knob.getValue(), 0.0);
    EXPECT_FALSE(knob.isTimerRunning());

    knob.onAltClick = [&] { ++alts; };
    knob.mouseDown(eventAt(knob, startY, alt | shift));
    knob.mouseDrag(eventAt(knob, startY - 100, alt));
    knob.mouseUp(eventAt(knob, startY - 100, alt));
    EXPECT_EQ(alts, 1);
    EXPECT_EQ(starts, 0);
    EXPECT_EQ(ends, 0);
    EXPECT_DOUBLE_EQ(knob.getValue(), 0.0);
}

//==============================================================================
struct WheelCase
{
    const char* name;
    Mode mode;
    double min, max, interval, start;
    float deltaY;
    bool shift;
    double expected;
    bool skewed = false;
};

void PrintTo(const WheelCase& c, std::ostream* os)
{
    *os << c.name;
}

class KnobWheel : public KnobFixture, public ::testing::WithParamInterface<WheelCase>
{
};

TEST_P(KnobWheel, MovesOneStepPerEvent)
{
    const auto& c = GetParam();
    if (c.skewed)
        makeFrequencyKnob(knob, c.interval);
    else
        configure(knob, c.min, c.max, c.interval, 0.0, 0.0);
    knob.setValue(c.start, juce::dontSendNotification);
    applyMode(knob, c.mode);

    wheel(knob, c.deltaY, c.shift ? shift : none);
    EXPECT_NEAR(knob.getValue(), c.expected, 1e-9);
    EXPECT_FALSE(knob.isTimerRunning());
    EXPECT_TRUE(probe.trail().empty());
}

const double skewedHalf = 1000.0;

INSTANTIATE_TEST_SUITE_P(
    Cases, KnobWheel,
    ::testing::Values(
        // The size of the delta does not matter.
        WheelCase{"SmallDeltaOneStep", Mode::stepped, -48, 48, 0, 0.3, 0.3f, false, 1.0},
        WheelCase{"LargeDeltaOneStep", Mode::stepped, -48, 48, 0, 0.3, 3.0f, false, 1.0},
        WheelCase{"SteppedDown", Mode::stepped, -48, 48, 0, 0.3, -0.3f, false, 0.0},
        WheelCase{"SteppedFine", Mode::stepped, -48, 48, 0, 1.0, 1.0f, true, 1.1},
        WheelCase{"ZeroDeltaIgnored", Mode::stepped, -48, 48, 0, 0.3, 0.0f, false, 0.3},
        WheelCase{"SteppedClampsAtMax", Mode::stepped, -48, 48, 0, 48, 1.0f, false, 48.0},
        WheelCase{"ContinuousCoarse", Mode::continuous, 0, 100, 0, 50, 1.0f, false, 51.0},
        WheelCase{"ContinuousFine", Mode::continuous, 0, 100, 0, 50, -1.0f, true, 49.8},
        WheelCase{"ContinuousClampsAtMin", Mode::continuous, 0, 100, 0, 0.5, -1.0f, false, 0.0},
        // Steps smaller than half the interval would snap back: the knob moves one interval.
        WheelCase{"ContinuousFineBelowIntervalUp", Mode::continuous, 0, 1, 0.01, 0.5, 1.0f, true, 0.51},
        WheelCase{"ContinuousFineBelowIntervalDown", Mode::continuous, 0, 1, 0.01, 0.5, -1.0f, true, 0.49},
        WheelCase{"ContinuousCoarseBelowInterval", Mode::continuous, 0, 1, 0.05, 0.5, 1.0f, false, 0.55},
        WheelCase{"SteppedFineOnWholeNumbersUp", Mode::stepped, 0, 100, 1, 50, 1.0f, true, 51.0},
        WheelCase{"SteppedFineOnWholeNumbersDown", Mode::stepped, 0, 100, 1, 50, -1.0f, true, 49.0},
        WheelCase{"SteppedCoarseOnWholeNumbersDown", Mode::stepped, 0, 100, 1, 50, -1.0f, false, 49.0},
        WheelCase{"IntervalStepStillClamped", Mode::stepped, 0, 100, 1, 100, 1.0f, true, 100.0},
        // A step the interval does not undo is taken as it is.
        WheelCase{"LargeStepUntouched", Mode::continuous, 0, 100, 1, 50, 1.0f, false, 51.0},
        WheelCase{"ProportionalFineAtBottomOfSkewedRange", Mode::proportional, 0, 0, 1, 20, 1.0f, true, 21.0, true}),
    CaseName());

TEST_F(KnobFixture, ProportionalWheelStepsAreEvenOnASkewedRange)
{
    makeFrequencyKnob(knob);
    knob.proportionalDrag = true;
    knob.setValue(skewedHalf, juce::dontSendNotification);
    const double p0 = knob.valueToProportionOfLength(skewedHalf);
    wheel(knob, 1.0f);
    EXPECT_NEAR(knob.valueToProportionOfLength(knob.getValue()) - p0, 0.02, 1e-9);
    wheel(knob, -1.0f, shift);
    EXPECT_NEAR(knob.valueToProportionOfLength(knob.getValue()) - p0, 0.015, 1e-9);
}

//==============================================================================
struct DoubleClickCase
{
    const char* name;
    juce::ModifierKeys mods;
    bool withCallbacks;
    bool resets;
    bool linkedAfter;
    bool invertAfter;
    bool opensEditor;
};

void PrintTo(const DoubleClickCase& c, std::ostream* os)
{
    *os << c.name;
}

class KnobDoubleClick : public KnobFixture, public ::testing::WithParamInterface<DoubleClickCase>
{
};

TEST_P(KnobDoubleClick, ChecksModifiersInOrder)
{
    const auto& c = GetParam();
    configure(knob, -48, 48, 0.01, 0.0, 12.0);
    int resets = 0;
    std::vector<bool> linkCalls, invertCalls;
    if (c.withCallbacks)
    {
        knob.onResetToDefault = [&] { ++resets; };
        knob.onLinkToggled = [&](bool on) { linkCalls.push_back(on); };
        knob.onInvertLinkToggled = [&](bool on) { invertCalls.push_back(on); };
    }

    doubleClick(knob, c.mods);

    EXPECT_DOUBLE_EQ(knob.getValue(), c.resets ? 0.0 : 12.0);
    EXPECT_FLOAT_EQ(probe.resetFlash(), c.resets ? 1.0f : 0.0f);
    EXPECT_EQ(resets, c.resets && c.withCallbacks ? 1 : 0);
    EXPECT_EQ(knob.linked, c.linkedAfter);
    EXPECT_EQ(knob.invertLinked, c.invertAfter);
    EXPECT_EQ(linkCalls, c.linkedAfter ? std::vector<bool>{true} : std::vector<bool>{});
    EXPECT_EQ(invertCalls, c.invertAfter ? std::vector<bool>{true} : std::vector<bool>{});
    EXPECT_EQ(probe.editor() != nullptr, c.opensEditor);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, KnobDoubleClick,
    ::testing::Values(DoubleClickCase{"Plain", none, true, false, false, false, true},
                      DoubleClickCase{"Control", ctrl, true, true, false, false, false},
                      DoubleClickCase{"ControlWithoutCallback", ctrl, false, true, false, false, false},
                      DoubleClickCase{"ControlShiftResets", ctrl | shift, true, true, false, false, false},
                      DoubleClickCase{"ControlAltResets", ctrl | alt, true, true, false, false, false},
                      DoubleClickCase{"Shift", shift, true, false, true, false, false},
                      DoubleClickCase{"ShiftWithoutCallback", shift, false, false, false, false, false},
                      DoubleClickCase{"ShiftAltTogglesLinkOnly", shift | alt, true, false, true, false, false},
                      DoubleClickCase{"Alt", alt, true, false, false, true, false},
                      DoubleClickCase{"AltWithoutCallback", alt, false, false, false, false, false}),
    CaseName());

TEST_F(KnobFixture, LinkTogglesFlipBackAndReportTheNewState)
{
    configure(knob, -48, 48, 0, 0, 0);
    std::vector<bool> calls;
    knob.onLinkToggled = [&](bool on) { calls.push_back(on); };
    doubleClick(knob, shift);
    doubleClick(knob, shift);
    EXPECT_EQ(calls, (std::vector<bool>{true, false}));
    EXPECT_FALSE(knob.linked);
}

TEST_F(KnobFixture, ResetClearsTheTrailAndStartsTheTimer)
{
    configure(knob, -48, 48, 0, 0, 0);
    knob.mouseDown(eventAt(knob, startY, none));
    knob.mouseDrag(eventAt(knob, startY - 100, none));
    knob.timerCallback();
    knob.mouseUp(eventAt(knob, startY - 100, none));
    ASSERT_FALSE(probe.trail().empty());

    knob.stopTimer();
    doubleClick(knob, ctrl);
    EXPECT_TRUE(probe.trail().empty());
    EXPECT_TRUE(knob.isTimerRunning());
}

TEST_F(KnobFixture, WhileTheTypedEditorIsOpenOnlyDoubleClickGesturesWork)
{
    configure(knob, -48, 48, 0.01, 0.0, 12.0);
    int starts = 0;
    knob.onDragStart = [&] { ++starts; };
    std::vector<bool> linkCalls;
    knob.onLinkToggled = [&](bool on) { linkCalls.push_back(on); };

    knob.openTextEditor();
    ASSERT_NE(probe.editor(), nullptr);

    wheel(knob, 1.0f);
    knob.mouseDown(eventAt(knob, startY, none));
    knob.mouseDrag(eventAt(knob, startY - 200, none));
    knob.mouseUp(eventAt(knob, startY - 200, none));
    EXPECT_DOUBLE_EQ(knob.getValue(), 12.0);
    EXPECT_EQ(starts, 0);
    EXPECT_FALSE(probe.dragging());

    knob.mouseDoubleClick(eventAt(knob, startY, shift, 2));
    EXPECT_EQ(linkCalls, std::vector<bool>{true});
    knob.mouseDoubleClick(eventAt(knob, startY, ctrl, 2));
    EXPECT_DOUBLE_EQ(knob.getValue(), 0.0);
    EXPECT_NE(probe.editor(), nullptr);
    EXPECT_FALSE(probe.closingEditor());
}

//==============================================================================
TEST(OrlintKnob, StartsAsTheEditorsExpect)
{
    OrlintKnob knob;
    OrlintKnobProbe probe(knob);
    EXPECT_EQ(knob.getSliderStyle(), juce::Slider::RotaryVerticalDrag);
    EXPECT_EQ(knob.getTextBoxPosition(), juce::Slider::NoTextBox);
    EXPECT_FALSE(knob.isOpaque());
    EXPECT_FALSE(knob.isTimerRunning());
    EXPECT_TRUE(probe.trail().empty());
    EXPECT_FALSE(knob.linked || knob.invertLinked || knob.highlight || knob.proportionalDrag || knob.continuousDrag ||
                 knob.plainTypedEntry);
    EXPECT_FLOAT_EQ(knob.fontScale, 1.0f);
    EXPECT_DOUBLE_EQ(knob.dragStep, 0.0);
}

TEST(OrlintKnob, ParamNameIsShownInSentenceCaseAndAnnounced)
{
    const struct
    {
        const char* name;
        const char* shown;
    } cases[] = {{"APF Q L", "Apf q l"}, {"GAIN L", "Gain l"}, {"", ""}, {"width", "Width"}, {"ÉCHO", "Écho"}};

    for (const auto& c : cases)
    {
        OrlintKnob knob;
        OrlintKnobProbe probe(knob);
        const auto name = juce::String::fromUTF8(c.name);
        knob.setParamName(name);
        EXPECT_EQ(probe.shownName(), juce::String::fromUTF8(c.shown)) << c.name;
        EXPECT_EQ(knob.getTitle(), name);
        EXPECT_EQ(knob.getDescription(), "Knob: " + name);
    }
}
