#pragma once

#include <juce_core/juce_core.h>

// The texts of Bivarro's editor that are more than a word: the help window's text, the pairs' link
// notes, and the value texts of the gain and frequency knobs.
namespace BivarroEditorTexts
{
const juce::String& helpText(bool spanish);

// Link gestures of a pair, two lines; the knob and meter notes are the widgets' GestureTexts.
const juce::String& linkHelp(bool spanish);

// The gain knobs show -100 dB as minus infinity; the frequency knobs show 1000 Hz and above in kHz.
// An attachment replaces a knob's text functions with its parameter's, so these go in after it.
juce::String gainTextFromValue(double value);
double gainValueFromText(const juce::String& text);
juce::String freqTextFromValue(double value);
double freqValueFromText(const juce::String& text);
} // namespace BivarroEditorTexts
