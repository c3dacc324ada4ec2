#pragma once

#include "widgets/OrlintKnob.h"

#include <juce_audio_processors/juce_audio_processors.h>

// Tells the host when the user starts and stops changing a knob's parameter. The knob does its own
// mouse handling, so the slider attachment hears of no drag: a drag is one gesture from press to
// release, and a wheel step, typed value or reset is a gesture of its own around the attachment's
// change. Create it before the knob's attachment, so that it hears each change first.
namespace gainpair
{
class KnobGestureReporter : private juce::Slider::Listener
{
public:
    KnobGestureReporter(OrlintKnob& knob, juce::RangedAudioParameter& parameter);
    ~KnobGestureReporter() override;

    bool isGestureOpen() const { return dragOpen || singleOpen; }

private:
    void sliderValueChanged(juce::Slider*) override;
    void beginDrag();
    void endDrag();
    void endSingle();

    OrlintKnob& knob;
    juce::RangedAudioParameter& param;
    bool dragOpen = false;
    bool singleOpen = false;

    JUCE_DECLARE_NON_COPYABLE(KnobGestureReporter)
};
} // namespace gainpair
