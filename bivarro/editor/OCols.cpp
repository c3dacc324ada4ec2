#include "bivarro/editor/OCols.h"

namespace Bivarro::OCols
{
const juce::Colour bg{0xff242424};
const juce::Colour bgDarker{0xff212121};
const juce::Colour headerDark{0xff171717};
const juce::Colour display{0xff161616};
const juce::Colour border{0xff3a3a3a};
const juce::Colour accent{0xffb8860b};
const juce::Colour accentHi{0xffdaa520};
const juce::Colour violet{0xff9b59b6};
const juce::Colour btnOff{0xff2a2a2a};
const juce::Colour btnOffTxt{0xffbbbbbb};
const juce::Colour textLt{0xffe0e0e0};
const juce::Colour textMid{0xffaaaaaa};
const juce::Colour textDim{0xff666666};
const juce::Colour colL{0xff5599ff};
const juce::Colour colR{0xffff6666};
} // namespace Bivarro::OCols
