#include "gainpair/ui/KnobGestureReporter.h"

namespace gainpair
{
KnobGestureReporter::KnobGestureReporter(OrlintKnob& k, juce::RangedAudioParameter& parameter)
    : knob(k), param(parameter)
{
    knob.addListener(this);
    knob.onDragStart = [this] { beginDrag(); };
    knob.onDragEnd = [this] { endDrag(); };
    // Runs after every slider listener, the attachment included.
    knob.onValueChange = [this] { endSingle(); };
}

KnobGestureReporter::~KnobGestureReporter()
{
    knob.removeListener(this);
    knob.onDragStart = nullptr;
    knob.onDragEnd = nullptr;
    knob.onValueChange = nullptr;
    // A drag the host still thinks is running ends with the editor.
    endDrag();
    endSingle();
}

void KnobGestureReporter::beginDrag()
{
    if (!dragOpen)
        param.beginChangeGesture();
    dragOpen = true;
}

void KnobGestureReporter::endDrag()
{
    if (dragOpen)
        param.endChangeGesture();
    dragOpen = false;
}

void KnobGestureReporter::endSingle()
{
    if (singleOpen)
        param.endChangeGesture();
    singleOpen = false;
}

void KnobGestureReporter::sliderValueChanged(juce::Slider*)
{
    if (dragOpen || singleOpen)
        return;
    // The attachment moves the knob to a value the parameter already holds when the host or the
    // processor changed it; that is no gesture of the user's.
    const double held = param.convertFrom0to1(param.getValue());
    if (std::abs(held - knob.getValue()) <= 1.0e-6 * juce::jmax(1.0, std::abs(held)))
        return;
    param.beginChangeGesture();
    singleOpen = true;
}
} // namespace gainpair
