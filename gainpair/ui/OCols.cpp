#include "gainpair/ui/OCols.h"

namespace gainpair::OCols
{
const juce::Colour accent{0xffb8860b};
const juce::Colour accentHi{0xffdaa520};
const juce::Colour textLt{0xffe0e0e0};
const juce::Colour textMid{0xffaaaaaa};
const juce::Colour textDim{0xff666666};
} // namespace gainpair::OCols
