#pragma once

#include <juce_graphics/juce_graphics.h>

// The editors draw in Arial. Where it is not installed, the metric-compatible Liberation Sans
// takes its place, and failing that the default sans-serif, so texts keep their widths.
namespace OrzFonts
{
// The typeface name to draw with, resolved once per process.
const juce::String& typefaceName();

// A font of the resolved typeface: plain or bold, at the given height.
juce::Font font(float height, bool bold = false);
} // namespace OrzFonts
