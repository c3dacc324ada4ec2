#pragma once

#include <juce_graphics/juce_graphics.h>

// The palette of Bivarro's editor, its toggle buttons and its analyser window. The gain pair has a
// palette of the same short name; each lives in its own plug-in's namespace.
namespace Bivarro::OCols
{
extern const juce::Colour bg;
extern const juce::Colour bgDarker;
extern const juce::Colour headerDark;
extern const juce::Colour display;
extern const juce::Colour border;
extern const juce::Colour accent;
extern const juce::Colour accentHi;
extern const juce::Colour violet;
extern const juce::Colour btnOff;
extern const juce::Colour btnOffTxt;
extern const juce::Colour textLt;
extern const juce::Colour textMid;
extern const juce::Colour textDim;
extern const juce::Colour colL;
extern const juce::Colour colR;
} // namespace Bivarro::OCols
