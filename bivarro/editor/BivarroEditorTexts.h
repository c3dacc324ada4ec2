#pragma once

#include <juce_core/juce_core.h>

// The language-dependent texts of Bivarro's editor that are more than a word: the help window's
// text and the pairs' link notes.
namespace BivarroEditorTexts
{
const juce::String& helpText(bool spanish);

// Link gestures of a pair, two lines; the knob and meter notes are the widgets' GestureTexts.
const juce::String& linkHelp(bool spanish);
} // namespace BivarroEditorTexts
