#pragma once

#include <juce_core/juce_core.h>

#include <initializer_list>

// Texts that every editor shows alike: the gesture notes of the knob and the meter in English and
// Spanish, and the way the help texts are put together.
namespace GestureTexts
{
// Knob gestures, four lines.
const juce::String& knob(bool spanish);
// Meter gestures, two lines.
const juce::String& meter(bool spanish);

// The lines (UTF-8) joined, each followed by a line break.
juce::String joinLines(std::initializer_list<const char*> lines);
} // namespace GestureTexts
