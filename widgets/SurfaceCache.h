#pragma once

#include <juce_graphics/juce_graphics.h>

#include <functional>

// An editor's surface that changes only with its size, drawn once into an image at the display's
// pixel scale and then copied: children such as meters ask for their part of it on every tick.
class SurfaceCache
{
public:
    // Draws the cached surface of the given size, painting it first when the size or scale changed.
    void draw(juce::Graphics& g, int width, int height, const std::function<void(juce::Graphics&)>& paintSurface);

    // Paints the surface anew on the next draw (after a layout change).
    void invalidate() { image = {}; }

private:
    juce::Image image;
};
