#pragma once

#include <juce_graphics/juce_graphics.h>

// The gain editors' palette, shared by both plug-ins of the pair.
namespace gainpair::OCols
{
extern const juce::Colour accent;
extern const juce::Colour accentHi;
extern const juce::Colour textLt;
extern const juce::Colour textMid;
extern const juce::Colour textDim;
} // namespace gainpair::OCols
