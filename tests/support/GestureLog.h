#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

#include "widgets/KnobTestKit.h"

#include <gtest/gtest.h>

#include <map>

// What a host hears: per parameter, how deep the open gestures are and whether a gesture ever ended
// before it began or a value changed outside of one.
class GestureLog : public juce::AudioProcessorParameter::Listener
{
public:
    explicit GestureLog(juce::AudioProcessor& p) : proc(p)
    {
        for (auto* param : proc.getParameters())
            param->addListener(this);
    }

    ~GestureLog() override
    {
        for (auto* param : proc.getParameters())
            param->removeListener(this);
    }

    void parameterValueChanged(int index, float) override
    {
        ++changes[index];
        if (depth[index] <= 0)
            ++changesOutside[index];
    }

    void parameterGestureChanged(int index, bool starting) override
    {
        depth[index] += starting ? 1 : -1;
        if (starting)
            ++begins[index];
        if (depth[index] < 0)
            ++endsBeforeBegin[index];
    }

    int indexOf(const juce::String& id) const
    {
        for (auto* param : proc.getParameters())
            if (auto* withId = dynamic_cast<juce::AudioProcessorParameterWithID*>(param);
                withId && withId->paramID == id)
                return param->getParameterIndex();
        return -1;
    }

    void expectBalanced(const juce::String& id, const char* what)
    {
        const int i = indexOf(id);
        EXPECT_GT(changes[i], 0) << what << ": the value changed";
        EXPECT_GT(begins[i], 0) << what;
        EXPECT_EQ(depth[i], 0) << what << ": every gesture ended";
        EXPECT_EQ(endsBeforeBegin[i], 0) << what;
        EXPECT_EQ(changesOutside[i], 0) << what << ": changes fall inside gestures";
        depth.clear();
        begins.clear();
        changes.clear();
        changesOutside.clear();
        endsBeforeBegin.clear();
    }

    juce::AudioProcessor& proc;
    std::map<int, int> depth, begins, changes, changesOutside, endsBeforeBegin;
};

// A drag with a precision stretch, a wheel step and a Ctrl + double-click reset on the knob, each one
// balanced gesture of the parameter. A wheel burst ends once the wheel has rested.
inline void expectKnobGesturesBalanced(GestureLog& log, OrlintKnob& knob, const juce::String& id)
{
    const int y = knob.getScreenBounds().getCentreY();
    knob.mouseDown(knobtest::eventAt(knob, y, knobtest::none));
    knob.mouseDrag(knobtest::eventAt(knob, y - 40, knobtest::none));
    knob.mouseDrag(knobtest::eventAt(knob, y - 80, knobtest::shift));
    knob.mouseUp(knobtest::eventAt(knob, y - 80, knobtest::none));
    log.expectBalanced(id, "drag");

    knobtest::wheel(knob, 1.0f);
    knobtest::runMessageLoop(500);
    log.expectBalanced(id, "wheel");

    knob.mouseDoubleClick(knobtest::eventAt(knob, y, knobtest::ctrl, 2));
    log.expectBalanced(id, "reset");
}
