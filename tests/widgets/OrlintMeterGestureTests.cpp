#include "OrlintMeterProbe.h"

#include <gtest/gtest.h>

namespace
{
using Mods = juce::ModifierKeys;

void layOut(OrlintMeter& m)
{
    juce::Image image(juce::Image::ARGB, juce::jmax(1, m.getWidth()), juce::jmax(1, m.getHeight()), true);
    juce::Graphics g(image);
    m.paint(g);
}

// An editor-like parent 400 × 300 with a meter at (10, 20, 60, 200) and a slider beside it.
struct MeterInParent : ::testing::Test
{
    MeterInParent()
    {
        parent.setSize(400, 300);
        parent.setVisible(true); // hit tests only see visible components
        meter->stopTimer();
        meter->setScaleSide(0);
        meter->setBounds(10, 20, 60, 200);
        parent.addAndMakeVisible(*meter);
        sibling.setBounds(300, 200, 60, 60);
        parent.addAndMakeVisible(sibling);
        clock.attach(*meter);
        layOut(*meter);
    }

    void click(Mods mods, juce::Point<float> pos = {40.0f, 100.0f})
    {
        meter->mouseDown(meterMouseEvent(*meter, pos, mods));
    }
    void altRightClick() { click(Mods(Mods::altModifier | Mods::rightButtonModifier)); }

    juce::Component parent;
    juce::Slider sibling;
    std::unique_ptr<OrlintMeter> meter = std::make_unique<OrlintMeter>();
    OrlintMeterProbe probe{*meter};
    ManualClock clock;
};

constexpr int kLeft = Mods::leftButtonModifier;
constexpr int kRight = Mods::rightButtonModifier;
constexpr int kShift = Mods::shiftModifier;
constexpr int kAlt = Mods::altModifier;
} // namespace

TEST_F(MeterInParent, ClickTable)
{
    // readoutRect of this meter is (22, 179, 36, 19).
    const juce::Point<float> onReadout{30.0f, 185.0f}, offReadout{40.0f, 100.0f};
    struct Case
    {
        const char* name;
        int mods;
        juce::Point<float> pos;
        bool holdBefore;
        bool panelOpen, holdAfter, heldCleared;
    };
    const Case cases[] = {
        {"left on bar", kLeft, offReadout, false, false, false, false},
        {"left on readout", kLeft, onReadout, false, false, false, true},
        {"left on readout's top-left corner", kLeft, {22.0f, 179.0f}, false, false, false, true},
        {"left just past readout's right edge", kLeft, {58.0f, 185.0f}, false, false, false, false},
        {"left just below readout", kLeft, {30.0f, 198.0f}, false, false, false, false},
        {"right on readout", kRight, onReadout, false, false, false, true},
        {"alt+left on readout is a plain click", kAlt | kLeft, onReadout, false, false, false, true},
        {"alt+left on bar", kAlt | kLeft, offReadout, false, false, false, false},
        {"alt+right opens the panel", kAlt | kRight, offReadout, false, true, false, false},
        {"alt+shift+right on readout opens the panel only", kAlt | kShift | kRight, onReadout, true, true, true, false},
        {"shift+left turns hold on", kShift | kLeft, offReadout, false, false, true, false},
        {"shift+left on readout toggles, does not clear", kShift | kLeft, onReadout, false, false, true, false},
        {"shift+right turns hold off", kShift | kRight, offReadout, true, false, false, false},
        {"left on readout in hold mode clears, hold stays", kLeft, onReadout, true, false, true, true},
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        meter = std::make_unique<OrlintMeter>();
        OrlintMeterProbe p(*meter);
        meter->stopTimer();
        meter->setScaleSide(0);
        meter->setBounds(10, 20, 60, 200);
        parent.addAndMakeVisible(*meter);
        clock.attach(*meter);
        layOut(*meter);
        std::vector<bool> reported;
        meter->onHoldChanged = [&](bool on) { reported.push_back(on); };

        meter->setHoldEnabled(c.holdBefore);
        meter->pushLevels(-6.0f, -20.0f);
        ASSERT_EQ(p.heldPeakDb(), -6.0f);

        meter->mouseDown(meterMouseEvent(*meter, c.pos, Mods(c.mods)));

        EXPECT_EQ(p.panel() != nullptr, c.panelOpen);
        EXPECT_EQ(p.holdEnabled(), c.holdAfter);
        if (c.holdAfter != c.holdBefore)
        {
            EXPECT_EQ(reported, std::vector<bool>{c.holdAfter});
            EXPECT_EQ(p.holdAlpha(), 1.0f);
        }
        else
        {
            EXPECT_TRUE(reported.empty());
        }
        if (c.heldCleared)
        {
            EXPECT_EQ(p.heldPeakDb(), -99.0f);
            EXPECT_EQ(p.holdAlpha(), 0.0f);
            EXPECT_EQ(p.holdTimeMs(), 0.0);
        }
        else
        {
            EXPECT_NEAR(p.heldPeakDb(), -6.0f, 1e-3f);
        }
    }
}

TEST_F(MeterInParent, ShiftClickHoldsTheSmoothedPeakAndLeavingHoldWaitsThreeSeconds)
{
    meter->setVisible(true);
    meter->pushLevels(0.0f, -20.0f);
    meter->pushLevels(-40.0f, -20.0f);
    const float smoothed = probe.peakDb();
    ASSERT_GT(smoothed, -10.0f); // the release is slow: far above the last pushed -40

    click(Mods(kShift | kLeft));
    EXPECT_TRUE(probe.holdEnabled());
    EXPECT_EQ(probe.heldPeakDb(), smoothed);
    EXPECT_EQ(probe.holdTimeMs(), 0.0);

    click(Mods(kShift | kLeft));
    EXPECT_FALSE(probe.holdEnabled());
    EXPECT_EQ(probe.holdTimeMs(), clock.nowMs);
    EXPECT_EQ(probe.holdAlpha(), 1.0f);
    clock.nowMs += 2999.0;
    meter->timerCallback();
    EXPECT_FALSE(probe.holdFading());
    clock.nowMs += 1.0;
    meter->timerCallback();
    EXPECT_TRUE(probe.holdFading());
}

TEST_F(MeterInParent, ReadoutClickInHoldModeLeavesTheMarkerHiddenUntilHoldIsSwitched)
{
    meter->setHoldEnabled(true);
    meter->pushLevels(-6.0f, -20.0f);
    click(Mods(kLeft), {30.0f, 185.0f});
    EXPECT_EQ(probe.heldPeakDb(), -99.0f);

    meter->pushLevels(-10.0f, -20.0f);
    EXPECT_EQ(probe.heldPeakDb(), -10.0f);
    EXPECT_EQ(probe.holdAlpha(), 0.0f);
    EXPECT_TRUE(probe.holdEnabled());
}

TEST(OrlintMeterPanel, PlacementRule)
{
    struct Case
    {
        juce::Rectangle<int> meterBounds;
        juce::Rectangle<int> expected;
    };
    const Case cases[] = {
        {{10, 20, 60, 200}, {74, 20, 160, 160}},
        {{320, 0, 60, 200}, {238, 2, 160, 160}},  // 20 px from the right edge: pushed left, over the meter
        {{10, 250, 60, 40}, {74, 138, 160, 160}}, // no lower than 162 px above the bottom
    };
    for (const auto& c : cases)
    {
        juce::Component parent;
        parent.setSize(400, 300);
        OrlintMeter meter;
        meter.setBounds(c.meterBounds);
        parent.addAndMakeVisible(meter);
        meter.mouseDown(meterMouseEvent(meter, {1.0f, 1.0f}, Mods(kAlt | kRight)));
        OrlintMeterProbe probe(meter);
        ASSERT_NE(probe.panel(), nullptr);
        EXPECT_EQ(probe.panel()->getBounds(), c.expected) << c.meterBounds.toString();
        EXPECT_EQ(probe.panel()->getParentComponent(), &parent);
    }
}

TEST(OrlintMeterPanel, WithoutParentThePanelIsTheMetersOwnChild)
{
    OrlintMeter meter;
    OrlintMeterProbe probe(meter);
    meter.setSize(60, 200);
    const auto altRight = meterMouseEvent(meter, {1.0f, 1.0f}, Mods(kAlt | kRight));

    meter.mouseDown(altRight);
    ASSERT_NE(probe.panel(), nullptr);
    EXPECT_EQ(probe.panel()->getParentComponent(), &meter);
    EXPECT_EQ(probe.panel()->getBounds(), juce::Rectangle<int>(64, 0, 160, 160));
    EXPECT_EQ(probe.overlay(), nullptr);

    meter.mouseDown(altRight);
    EXPECT_EQ(probe.panel(), nullptr);
    EXPECT_EQ(meter.getNumChildComponents(), 0);
}

TEST_F(MeterInParent, OverlayCoversTheParentAndTakesOutsideClicks)
{
    altRightClick();
    ASSERT_NE(probe.overlay(), nullptr);
    EXPECT_EQ(probe.overlay()->getBounds(), parent.getLocalBounds());
    EXPECT_EQ(parent.getChildComponent(parent.getNumChildComponents() - 1), probe.panel()); // panel in front

    // A click on the slider beside the meter lands on the overlay, which only closes the panel.
    EXPECT_EQ(parent.getComponentAt(330, 230), probe.overlay());
    EXPECT_EQ(parent.getComponentAt(144, 38), probe.panel()); // the panel's background, between its title and knobs
    probe.panel()->mouseDown(meterMouseEvent(*probe.panel(), {80.0f, 150.0f}, Mods(kLeft)));
    EXPECT_NE(probe.panel(), nullptr) << "a click on the panel's own background keeps it open";

    probe.overlay()->mouseDown(meterMouseEvent(*probe.overlay(), {330.0f, 230.0f}, Mods(kLeft)));
    EXPECT_EQ(probe.panel(), nullptr);
    EXPECT_EQ(probe.overlay(), nullptr);
    EXPECT_EQ(parent.getNumChildComponents(), 2);
    EXPECT_EQ(parent.getComponentAt(330, 230), &sibling);
}

TEST_F(MeterInParent, GainPairOptionOpensThePanelWithoutOverlay)
{
    meter->closeOnOutsideClick = false;
    altRightClick();
    ASSERT_NE(probe.panel(), nullptr);
    EXPECT_EQ(probe.overlay(), nullptr);
    EXPECT_EQ(probe.panel()->getParentComponent(), &parent);
    EXPECT_EQ(parent.getNumChildComponents(), 3);

    // The editor's other controls still get their clicks, and the panel stays open.
    EXPECT_EQ(parent.getComponentAt(330, 230), &sibling);
    EXPECT_NE(probe.panel(), nullptr);

    altRightClick();
    EXPECT_EQ(probe.panel(), nullptr);
    EXPECT_EQ(parent.getNumChildComponents(), 2);
}

TEST_F(MeterInParent, EveryWayOfClosingLeavesOnlyTheEditorsOwnChildren)
{
    enum class Close
    {
        altRight,
        closeButton,
        overlay
    };
    struct Case
    {
        bool closeOnOutsideClick;
        Close how;
    };
    const Case cases[] = {{true, Close::altRight},
                          {true, Close::closeButton},
                          {true, Close::overlay},
                          {false, Close::altRight},
                          {false, Close::closeButton}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE(testing::Message() << c.closeOnOutsideClick << " " << (int)c.how);
        meter->closeOnOutsideClick = c.closeOnOutsideClick;
        altRightClick();
        ASSERT_NE(probe.panel(), nullptr);

        switch (c.how)
        {
        case Close::altRight:
            altRightClick();
            break;
        case Close::closeButton:
            // The click is delivered from the message loop, as a real one is.
            probe.closeButton().triggerClick();
            juce::MessageManager::getInstance()->runDispatchLoopUntil(50);
            break;
        case Close::overlay:
            probe.overlay()->mouseDown(meterMouseEvent(*probe.overlay(), {5.0f, 5.0f}, Mods(kLeft)));
            break;
        }

        EXPECT_EQ(probe.panel(), nullptr);
        EXPECT_EQ(probe.overlay(), nullptr);
        ASSERT_EQ(parent.getNumChildComponents(), 2);
        EXPECT_EQ(parent.getChildComponent(0), meter.get());
        EXPECT_EQ(parent.getChildComponent(1), &sibling);
    }
}

TEST_F(MeterInParent, DestroyingTheMeterTakesItsPanelAlong)
{
    for (bool overlay : {true, false})
    {
        meter = std::make_unique<OrlintMeter>();
        meter->closeOnOutsideClick = overlay;
        meter->setBounds(10, 20, 60, 200);
        parent.addAndMakeVisible(*meter);
        meter->mouseDown(meterMouseEvent(*meter, {1.0f, 1.0f}, Mods(kAlt | kRight)));
        ASSERT_EQ(parent.getNumChildComponents(), overlay ? 4 : 3);

        meter.reset();
        ASSERT_EQ(parent.getNumChildComponents(), 1) << "overlay " << overlay;
        EXPECT_EQ(parent.getChildComponent(0), &sibling);
    }
}

TEST_F(MeterInParent, ResizingMovesThePanelButMovingDoesNot)
{
    altRightClick();
    ASSERT_EQ(probe.panel()->getBounds(), juce::Rectangle<int>(74, 20, 160, 160));

    meter->setTopLeftPosition(30, 40);
    EXPECT_EQ(probe.panel()->getBounds(), juce::Rectangle<int>(74, 20, 160, 160));

    meter->setSize(80, 200);
    EXPECT_EQ(probe.panel()->getBounds(), juce::Rectangle<int>(114, 40, 160, 160));

    // The overlay keeps the parent's size from when the panel opened.
    parent.setSize(600, 500);
    EXPECT_EQ(probe.overlay()->getBounds(), juce::Rectangle<int>(0, 0, 400, 300));
}

TEST_F(MeterInParent, PanelShowsTheMetersSettings)
{
    meter->applySettings(5.0f, 500.0f, 400.0f, 60.0f);
    altRightClick();

    struct Case
    {
        juce::Slider& knob;
        double min, max, value;
        const char* text;
        const char* caption;
        juce::Rectangle<int> bounds, captionBounds;
    };
    const Case cases[] = {
        {probe.attackKnob(), 0.1, 50.0, 5.0, "5.0 ms", "Attack", {20, 22, 40, 54}, {0, 77, 80, 12}},
        {probe.releaseKnob(), 50.0, 2000.0, 500.0, "500.0 ms", "Release", {100, 22, 40, 54}, {80, 77, 80, 12}},
        {probe.rmsKnob(), 50.0, 1000.0, 400.0, "400.0 ms", "RMS Win", {20, 92, 40, 54}, {0, 147, 80, 12}},
        {probe.brightKnob(), 1.0, 100.0, 60.0, "60.0%", "Bright", {100, 92, 40, 54}, {80, 147, 80, 12}},
    };
    for (int i = 0; i < 4; ++i)
    {
        const auto& c = cases[i];
        SCOPED_TRACE(c.caption);
        EXPECT_EQ(c.knob.getMinimum(), c.min);
        EXPECT_EQ(c.knob.getMaximum(), c.max);
        EXPECT_EQ(c.knob.getInterval(), 0.1);
        EXPECT_DOUBLE_EQ(c.knob.getValue(), c.value);
        EXPECT_EQ(c.knob.getTextFromValue(c.knob.getValue()), c.text);
        EXPECT_EQ(c.knob.getBounds(), c.bounds);
        EXPECT_EQ(probe.label(i).getText(), c.caption);
        EXPECT_EQ(probe.label(i).getBounds(), c.captionBounds);
    }
    EXPECT_EQ(probe.closeButton().getButtonText(), "x");
    EXPECT_EQ(probe.closeButton().getBounds(), juce::Rectangle<int>(144, 2, 14, 14));

    // Later applied settings do not reach an open panel.
    meter->applySettings(1.0f, 200.0f, 300.0f, 84.0f);
    EXPECT_DOUBLE_EQ(probe.attackKnob().getValue(), 5.0);
}

TEST_F(MeterInParent, DefaultPanelTexts)
{
    altRightClick();
    const std::pair<juce::Slider*, const char*> cases[] = {{&probe.attackKnob(), "1.0 ms"},
                                                           {&probe.releaseKnob(), "200.0 ms"},
                                                           {&probe.rmsKnob(), "300.0 ms"},
                                                           {&probe.brightKnob(), "84.0%"}};
    for (const auto& [knob, text] : cases)
        EXPECT_EQ(knob->getTextFromValue(knob->getValue()), text);
}

TEST_F(MeterInParent, KnobsWriteTheSettingsAndReportThem)
{
    std::vector<std::array<float, 4>> reported;
    meter->onSettingsChanged = [&](float a, float r, float w, float b) { reported.push_back({a, r, w, b}); };
    altRightClick();

    probe.rmsKnob().setValue(100.0, juce::sendNotificationSync);
    EXPECT_EQ(probe.rmsWindowMs(), 100.0f);
    EXPECT_FLOAT_EQ(probe.rmsRiseCoef(), OrlintMeter::coefFromMs(16.7f));
    EXPECT_FLOAT_EQ(probe.rmsFallCoef(), OrlintMeter::coefFromMs(100.0f));
    ASSERT_EQ(reported.size(), 1u);
    EXPECT_EQ(reported.back(), (std::array<float, 4>{1.0f, 200.0f, 100.0f, 84.0f}));

    probe.releaseKnob().setValue(750.0, juce::sendNotificationSync);
    EXPECT_EQ(probe.releaseMs(), 750.0f);
    EXPECT_FLOAT_EQ(probe.releaseCoef(), OrlintMeter::coefFromMs(750.0f));
    EXPECT_EQ(reported.back(), (std::array<float, 4>{1.0f, 750.0f, 100.0f, 84.0f}));

    // A typed 0 in the attack box is held to the knob's range.
    auto* box = dynamic_cast<juce::Label*>(probe.attackKnob().getChildComponent(0));
    ASSERT_NE(box, nullptr);
    box->setText("0", juce::sendNotificationSync);
    EXPECT_FLOAT_EQ(probe.attackMs(), 0.1f);
    EXPECT_FLOAT_EQ(probe.attackCoef(), 1.0f - std::exp(-1.0f / 0.006f));
    EXPECT_FLOAT_EQ(reported.back()[0], 0.1f);
    EXPECT_EQ(reported.size(), 3u);
}

TEST_F(MeterInParent, CtrlDoubleClickResetsAKnob)
{
    int raised = 0;
    meter->onSettingsChanged = [&](float, float, float, float) { ++raised; };
    altRightClick();
    auto& bright = probe.brightKnob();
    bright.setValue(40.0, juce::sendNotificationSync);
    ASSERT_EQ(probe.brightness(), 40.0f);

    bright.mouseDoubleClick(meterMouseEvent(bright, {20.0f, 20.0f}, Mods(kLeft), 2));
    EXPECT_EQ(bright.getValue(), 40.0);
    EXPECT_EQ(raised, 1);

    bright.mouseDoubleClick(meterMouseEvent(bright, {20.0f, 20.0f}, Mods(kLeft | Mods::ctrlModifier), 2));
    EXPECT_EQ(bright.getValue(), 84.0);
    EXPECT_EQ(probe.brightness(), 84.0f);
    EXPECT_EQ(raised, 2);
}

TEST_F(MeterInParent, SettingsRoundTripThroughTheOwnersSync)
{
    // The owner applies one panel's values to all of its meters, as the editors' sync does.
    OrlintMeter other;
    OrlintMeterProbe otherProbe(other);
    int calls = 0;
    meter->onSettingsChanged = [&](float a, float r, float w, float b)
    {
        ++calls;
        for (auto* m : {meter.get(), &other})
            m->applySettings(a, r, w, b);
    };
    altRightClick();
    probe.attackKnob().setValue(12.5, juce::sendNotificationSync);
    probe.releaseKnob().setValue(1200.0, juce::sendNotificationSync);
    probe.rmsKnob().setValue(640.0, juce::sendNotificationSync);
    probe.brightKnob().setValue(33.3, juce::sendNotificationSync);
    EXPECT_EQ(calls, 4) << "applySettings must not raise onSettingsChanged again";

    for (auto* p : {&probe, &otherProbe})
    {
        EXPECT_FLOAT_EQ(p->attackMs(), 12.5f);
        EXPECT_FLOAT_EQ(p->releaseMs(), 1200.0f);
        EXPECT_FLOAT_EQ(p->rmsWindowMs(), 640.0f);
        EXPECT_FLOAT_EQ(p->brightness(), 33.3f);
        EXPECT_FLOAT_EQ(p->attackCoef(), OrlintMeter::coefFromMs(12.5f));
        EXPECT_FLOAT_EQ(p->rmsRiseCoef(), OrlintMeter::coefFromMs(0.167f * 640.0f));
    }

    // A new panel on the other meter opens on what was applied to it.
    juce::Component otherParent;
    otherParent.setSize(400, 300);
    other.setBounds(0, 0, 60, 200);
    otherParent.addAndMakeVisible(other);
    other.mouseDown(meterMouseEvent(other, {1.0f, 1.0f}, Mods(kAlt | kRight)));
    EXPECT_DOUBLE_EQ(otherProbe.releaseKnob().getValue(), 1200.0);
    EXPECT_NEAR(otherProbe.brightKnob().getValue(), 33.3, 1e-5);
}

TEST(OrlintMeterTooltip, ReturnsTheOwnersText)
{
    OrlintMeter meter;
    meter.tooltipText = "Output level";
    EXPECT_EQ(meter.getTooltip(), "Output level");
}
