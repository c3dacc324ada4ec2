#pragma once

#include "widgets/OrlintKnob.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <gtest/gtest.h>

// Read access to the knob's private state, and the synthetic input the knob tests drive it with.
struct OrlintKnobProbe
{
    explicit OrlintKnobProbe(OrlintKnob& k) : knob(k) {}

    bool dragging() const { return knob.dragging; }
    bool fineMode() const { return knob.fineMode; }
    bool closingEditor() const { return knob.closingEditor; }
    float resetFlash() const { return knob.resetFlash; }
    float fineGlow() const { return knob.fineGlow; }
    const std::deque<OrlintKnob::TrailEntry>& trail() const { return knob.trail; }
    juce::TextEditor* editor() const { return knob.valueEditor.get(); }
    const juce::String& shownName() const { return knob.shownName; }
    float valueTextY() const { return knob.valueTextY; }
    float bodyRadius() const { return knob.bodyRadius; }
    float arcRadius() const { return knob.arcRadius; }
    float angleOf(double v) const { return knob.angleOfValue(v); }

    OrlintKnob& knob;
};

namespace juce::detail
{
bool dispatchNextMessageOnSystemQueue(bool returnIfNoPendingMessages);
} // namespace juce::detail

namespace knobtest
{
inline const juce::ModifierKeys none{juce::ModifierKeys::leftButtonModifier};
inline const juce::ModifierKeys shift{juce::ModifierKeys::leftButtonModifier | juce::ModifierKeys::shiftModifier};
inline const juce::ModifierKeys ctrl{juce::ModifierKeys::leftButtonModifier | juce::ModifierKeys::ctrlModifier};
inline const juce::ModifierKeys alt{juce::ModifierKeys::leftButtonModifier | juce::ModifierKeys::altModifier};

inline juce::ModifierKeys operator|(juce::ModifierKeys a, juce::ModifierKeys b)
{
    return juce::ModifierKeys(a.getRawFlags() | b.getRawFlags());
}

// A mouse event from the desktop's main mouse source at the given screen height.
inline juce::MouseEvent eventAt(juce::Component& c, int screenY, juce::ModifierKeys mods, int clicks = 1)
{
    const auto pos = c.getLocalPoint(nullptr, juce::Point<float>(20.0f, (float)screenY));
    const auto now = juce::Time::getCurrentTime();
    return juce::MouseEvent(juce::Desktop::getInstance().getMainMouseSource(), pos, mods,
                            juce::MouseInputSource::defaultPressure, juce::MouseInputSource::defaultOrientation,
                            juce::MouseInputSource::defaultRotation, juce::MouseInputSource::defaultTiltX,
                            juce::MouseInputSource::defaultTiltY, &c, &c, now, pos, now, clicks, false);
}

inline void wheel(juce::Component& c, float deltaY, juce::ModifierKeys mods = none)
{
    juce::MouseWheelDetails w{};
    w.deltaX = 0.0f;
    w.deltaY = deltaY;
    w.isReversed = false;
    w.isSmooth = false;
    w.isInertial = false;
    c.mouseWheelMove(eventAt(c, 0, mods), w);
}

// The framework delivers both clicks' down and up before the double-click itself.
inline void doubleClick(juce::Component& c, juce::ModifierKeys mods)
{
    for (int i = 1; i <= 2; ++i)
    {
        c.mouseDown(eventAt(c, 100, mods, i));
        c.mouseUp(eventAt(c, 100, mods, i));
    }
    c.mouseDoubleClick(eventAt(c, 100, mods, 2));
}

// Names parameterised cases after their table entry's name.
struct CaseName
{
    template <typename Param> std::string operator()(const ::testing::TestParamInfo<Param>& p) const
    {
        return p.param.name;
    }
};

// Dispatches messages (timers, async updates) for the given time. The shipped plug-ins' framework
// has no modal loops, so tests built on a plug-in's code pump the system queue the way the
// framework's own plug-in message thread does.
inline void runMessageLoop(int ms)
{
    const auto end = juce::Time::getMillisecondCounterHiRes() + ms;
    while (juce::Time::getMillisecondCounterHiRes() < end)
        if (!juce::detail::dispatchNextMessageOnSystemQueue(true))
            juce::Thread::sleep(1);
}

// Runs every message posted so far (a button's triggerClick among them), however busy the machine:
// a message posted behind them marks when they have all run. False when that took unreasonably long.
inline bool deliverPostedMessages(int timeoutMs = 20000)
{
    auto delivered = std::make_shared<bool>(false);
    juce::MessageManager::callAsync([delivered] { *delivered = true; });
    const auto end = juce::Time::getMillisecondCounterHiRes() + timeoutMs;
    while (!*delivered && juce::Time::getMillisecondCounterHiRes() < end)
        runMessageLoop(5);
    return *delivered;
}

// A knob as an editor sets one up: range, interval, default and start value.
inline void configure(OrlintKnob& knob, double min, double max, double interval, double defaultValue, double start)
{
    knob.setRange(min, max, interval);
    knob.setDoubleClickReturnValue(true, defaultValue);
    knob.setValue(start, juce::dontSendNotification);
}
} // namespace knobtest
