#include "bivarro/editor/AnalyserScopePane.h"

#include <algorithm>
#include <cmath>

namespace
{
int scopeHeight(int width, int height)
{
    return std::min(width / 2 + 4, height - 72);
}
} // namespace

AnalyserScopePane::AnalyserScopePane(const AnalyserSettings& settings, const AnalyserMeasurement& m,
                                     const juce::AudioProcessorValueTreeState& parameters)
    : measurement(m), vectorscope(settings, parameters)
{
    // It paints every pixel it covers, so the repaint of every tick never reaches the content below.
    setOpaque(true);
}

AnalyserScopePane::Readings AnalyserScopePane::readings() const
{
    return {measurement.meter.correlation(), measurement.meter.panorama()};
}

void AnalyserScopePane::paint(juce::Graphics& g)
{
    const int width = getWidth(), height = getHeight();
    const int scopeH = scopeHeight(width, height);
    vectorscope.drawVectorscope(g, {0, 0, width, scopeH}, measurement.inPoints, measurement.outPoints);
    readingsBars.paint(g, width, height, scopeH, readings());
}

void AnalyserScopePane::repaintChangedParts()
{
    const Readings now = readings();
    for (const auto& r : changedParts(getWidth(), getHeight(), shown, now))
        repaint(r);
    shown = now;
}

// Only what a tick can change: the half-disc that holds the clouds, the wedge and the envelope, as
// a few bands that follow its arc, and the parts of the readings that moved. Any other change
// (size, mode, settings panel) repaints the whole pane through its own path.
juce::RectangleList<int> AnalyserScopePane::changedParts(int width, int height, Readings before, Readings now)
{
    juce::RectangleList<int> parts;
    const int scopeH = scopeHeight(width, height);
    if (width <= 0 || height <= 0 || scopeH <= 0)
        return parts;

    // Everything that moves lies within R + 2 px of the centre; only the wedge, turned past the base
    // line, reaches below it, down to the scope's bottom edge.
    const float cx = static_cast<float>(width) / 2.0f, cy = static_cast<float>(scopeH) - 4.0f;
    const float reach = static_cast<float>(width) / 2.0f - 14.0f + 2.0f;
    constexpr int bands = 6;
    const float top = cy - reach, bottom = static_cast<float>(scopeH);
    for (int i = 0; i < bands; ++i)
    {
        const float y0 = top + (bottom - top) * static_cast<float>(i) / bands;
        const float y1 = top + (bottom - top) * static_cast<float>(i + 1) / bands;
        const float below = std::max(0.0f, cy - y1);
        const float halfWidth = std::sqrt(std::max(0.0f, reach * reach - below * below)) + 1.0f;
        parts.addWithoutMerging(juce::Rectangle<float>(cx - halfWidth, y0, 2.0f * halfWidth, y1 - y0)
                                    .getSmallestIntegerContainer()
                                    .getIntersection({0, 0, width, scopeH}));
    }

    ReadingsBars::addChangedParts(parts, width, scopeH, before, now);
    return parts;
}
