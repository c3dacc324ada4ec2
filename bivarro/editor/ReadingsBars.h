#pragma once

#include "widgets/SurfaceCache.h"

#include <juce_graphics/juce_graphics.h>

// The analyser's correlation and panorama bars, in the part of the scope pane below the
// vectorscope. Their boxes, tracks and captions change only with the pane's size and come from a
// cache; the segments, markers and value text are drawn over them on every paint.
class ReadingsBars
{
public:
    struct Readings
    {
        float correlation = 0.0f, panorama = 0.0f;
    };

    // Draws the bars of a width x height pane below a vectorscope scopeH high.
    void paint(juce::Graphics& g, int width, int height, int scopeH, Readings shown);

    // The same drawn directly, each bar from its box up to its texts, with no cache.
    static void paintDirect(juce::Graphics& g, int width, int height, int scopeH, Readings shown);

    // Adds the parts of a pane width wide that change when the readings go from before to now.
    static void addChangedParts(juce::RectangleList<int>& parts, int width, int scopeH, Readings before, Readings now);

private:
    struct Geometry;
    static void drawBackground(juce::Graphics& g, const Geometry& geo, int height);
    static void drawTrack(juce::Graphics& g, const Geometry& geo, bool correlation);
    static void drawValue(juce::Graphics& g, const Geometry& geo, bool correlation, float value);
    static void drawScale(juce::Graphics& g, const Geometry& geo, bool correlation);
    static void drawCorrelationText(juce::Graphics& g, const Geometry& geo, float correlation);

    SurfaceCache background;
    int backgroundTop = -1;
};
