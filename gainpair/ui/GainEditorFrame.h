#pragma once

#include <juce_graphics/juce_graphics.h>

namespace gainpair
{
// What both gain editors paint around their controls: background with vignette, the header with
// logo plate and title, and the footer with version and brand line.
namespace GainEditorFrame
{
constexpr int headerHeight = 30;
constexpr int footerHeight = 28;

void paint(juce::Graphics& g, int width, int height, const juce::String& title);
void paintPulse(juce::Graphics& g, float phase, juce::Point<float> from, juce::Point<float> to, juce::Colour colour);
} // namespace GainEditorFrame
} // namespace gainpair
