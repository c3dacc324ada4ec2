#pragma once

#include <juce_graphics/juce_graphics.h>

namespace gainpair
{
// The gain editors draw on a 300 x 300 logical size scaled by the processor's uiScale, on top of
// whatever scale the host gives the editor.
namespace EditorScale
{
constexpr int logicalSide = 300;

// The stored scale when it is a finite number in the range a saved state may hold, otherwise 1,
// so that a wild value never makes the editor vanish or the mouse mapping divide by zero.
float usable(float stored);

// The mean of the transform's two axis scales.
float of(const juce::AffineTransform& transform);
} // namespace EditorScale
} // namespace gainpair
