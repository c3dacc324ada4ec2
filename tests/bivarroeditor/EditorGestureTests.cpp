#include "bivarroeditor/EditorFixture.h"
#include "widgets/KnobTestKit.h"

namespace
{
struct EditorGestures : EditorFixture
{
    void SetUp() override
    {
        EditorFixture::SetUp();
        for (auto* p : processor.getParameters())
            p->addListener(&log);
    }

    void TearDown() override
    {
        EditorFixture::TearDown();
        for (auto* p : processor.getParameters())
            p->removeListener(&log);
    }

    int indexOf(const juce::String& id) { return processor.apvts.getParameter(id)->getParameterIndex(); }

    // Exactly one balanced gesture on the parameter, every change inside it, and nothing on any other.
    void expectOneGestureOn(const juce::String& id, const std::string& what)
    {
        const int index = indexOf(id);
        for (const auto& [i, c] : log.counts)
        {
            if (i == index)
            {
                EXPECT_EQ(c.begins, 1) << what;
                EXPECT_EQ(c.ends, 1) << what;
                EXPECT_GE(c.changes, 1) << what;
                EXPECT_EQ(c.changesOutsideGestures, 0) << what;
            }
            else
            {
                EXPECT_EQ(c.changes, 0) << what << ": parameter " << i << " moved too";
                EXPECT_EQ(c.begins, c.ends) << what << ": parameter " << i;
            }
        }
        EXPECT_TRUE(log.counts.count(index) == 1) << what << ": no gesture at all";
    }

    // Upwards, or downwards from a knob that stands at its maximum.
    void drag(OrlintKnob& knob, int pixels)
    {
        const int dir = knob.getValue() >= knob.getMaximum() ? -1 : 1;
        knob.mouseDown(knobtest::eventAt(knob, 500, knobtest::none));
        for (int step = 0; step <= pixels; step += 10)
            knob.mouseDrag(knobtest::eventAt(knob, 500 - dir * step, knobtest::none));
        knob.mouseUp(knobtest::eventAt(knob, 500 - dir * pixels, knobtest::none));
    }

    GestureLog log;
};
} // namespace

TEST_F(EditorGestures, DraggingAnyKnobIsOneGesture)
{
    for (const auto& id : probe->knobIdsInOrder())
    {
        log.counts.clear();
        int dragHooks = 0;
        auto& knob = probe->knob(id);
        knob.onDragStart = [&dragHooks] { ++dragHooks; };
        knob.onDragEnd = [&dragHooks] { ++dragHooks; };
        drag(knob, 120);
        expectOneGestureOn(id, id.toStdString());
        EXPECT_EQ(dragHooks, 2) << id << ": the owner's drag hooks still run";
        knob.onDragStart = nullptr;
        knob.onDragEnd = nullptr;
    }
}

TEST_F(EditorGestures, AWheelBurstIsOneGestureEndingWhenTheWheelRests)
{
    auto& knob = probe->knob("width");
    int dragHooks = 0;
    knob.onDragStart = [&dragHooks] { ++dragHooks; };
    for (int i = 0; i < 6; ++i)
    {
        knobtest::wheel(knob, 0.1f);
        knobtest::runMessageLoop(20);
    }
    const auto& c = log.counts[indexOf("width")];
    EXPECT_EQ(c.begins, 1);
    EXPECT_EQ(c.ends, 0) << "still open while the wheel turns";
    knobtest::runMessageLoop(500);
    expectOneGestureOn("width", "wheel");
    EXPECT_EQ(dragHooks, 0) << "the wheel is no drag";

    // A drag after a burst closes the burst first.
    log.counts.clear();
    knobtest::wheel(knob, -0.1f);
    drag(knob, 50);
    EXPECT_EQ(log.counts[indexOf("width")].begins, 2);
    EXPECT_EQ(log.counts[indexOf("width")].ends, 2);
    EXPECT_EQ(log.counts[indexOf("width")].changesOutsideGestures, 0);
}

TEST_F(EditorGestures, ResetAndTypedValuesAreOneGestureEach)
{
    auto& gain = probe->knob("gainL");
    gain.setValue(-12.0, juce::sendNotificationSync);
    log.counts.clear();
    knobtest::doubleClick(gain, knobtest::ctrl);
    EXPECT_EQ(raw("gainL"), 0.0f);
    const auto& c = log.counts[indexOf("gainL")];
    // The two clicks before the double-click are drags that move nothing.
    EXPECT_EQ(c.begins, c.ends);
    EXPECT_EQ(c.changesOutsideGestures, 0);
    EXPECT_EQ(c.changes, 1);

    log.counts.clear();
    auto& freq = probe->knob("apFcR");
    OrlintKnobProbe kp(freq);
    freq.openTextEditor();
    ASSERT_NE(kp.editor(), nullptr);
    kp.editor()->setText("2k");
    freq.commitTextEditor();
    knobtest::runMessageLoop(400);
    EXPECT_NEAR(raw("apFcR"), 2000.0f, 0.5f);
    expectOneGestureOn("apFcR", "typed value");
}

TEST_F(EditorGestures, EverySwitchClickIsOneGesture)
{
    const std::pair<const char*, const char*> cases[] = {
        {"polarityL", "polarityL"}, {"polarityR", "polarityR"}, {"muteL", "muteL"}, {"muteR", "muteR"},
        {"muteMid", "muteMid"},     {"muteSide", "muteSide"},   {"mono", "mono"},   {"bypass", "bypass"},
        {"orderL", "apOrder2L"},    {"orderR", "apOrder2R"}};
    for (const auto& [button, id] : cases)
    {
        log.counts.clear();
        auto& b = probe->button(button);
        b.mouseDown(knobtest::eventAt(b, 0, knobtest::none));
        b.mouseUp(knobtest::eventAt(b, 0, knobtest::none));
        expectOneGestureOn(id, button);
    }
}

TEST_F(EditorGestures, ClosingTheEditorMidBurstStillEndsTheGesture)
{
    knobtest::wheel(probe->knob("trimOut"), 0.1f);
    close();
    const auto& c = log.counts[indexOf("trimOut")];
    EXPECT_EQ(c.begins, 1);
    EXPECT_EQ(c.ends, 1);
}
