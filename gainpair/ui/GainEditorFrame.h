#pragma once

#include "gainpair/ui/PulseSet.h"

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

// The bypass lamp's power symbol in a 24 x 24 box.
juce::Path powerSymbol();
// The power symbol stroked over a bypass button at its top-left corner, for an editor scale s.
void paintLamp(juce::Graphics& g, juce::Point<int> buttonTopLeft, float s, juce::Colour colour);

// The raised cards behind the big knob and behind the two value rows (caption and value side by side,
// the second row under the first).
void paintCards(juce::Graphics& g, juce::Rectangle<int> knob, juce::Rectangle<int> firstCaption, int valueWidth);

// The band along the knob's pulse line that pulses are drawn in, across the whole editor width.
juce::Rectangle<int> pulseStrip(juce::Rectangle<int> knob, int width);
// Where pulses meet the knob: its centre column at 35 % of its height.
juce::Point<float> pulseTarget(juce::Rectangle<int> knob);

void paintPulse(juce::Graphics& g, float phase, juce::Point<float> from, juce::Point<float> to, juce::Colour colour);
// Every pulse of the set that has reached phase 0, on its way from one point to the other.
void paintPulses(juce::Graphics& g, const PulseSet& pulses, juce::Point<float> from, juce::Point<float> to,
                 juce::Colour colour);
} // namespace GainEditorFrame
} // namespace gainpair
