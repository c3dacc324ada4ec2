#pragma once

#include <juce_graphics/juce_graphics.h>

#include <functional>

// A surface that changes only with its size, drawn once into an image at the display's pixel scale
// and then copied: children such as meters ask for their part of it on every tick. The image holds
// one pixel per device pixel, so a copy is as sharp as drawing the surface directly.
class SurfaceCache
{
public:
    using Painter = std::function<void(juce::Graphics&)>;

    // Device pixels per logical pixel of a context: the display's scale and any transform.
    static float pixelScale(juce::Graphics& g);

    // Draws the cached surface of the given size, painting it first when the size or scale changed.
    void draw(juce::Graphics& g, int width, int height, const Painter& paintSurface);

    // The same for a surface over area, which paintSurface draws in the area's own coordinates.
    // An area that starts between device pixels is drawn into its image at that offset.
    void draw(juce::Graphics& g, juce::Rectangle<int> area, const Painter& paintSurface);

    // The surface of width x height logical pixels as an image at scale device pixels per logical
    // pixel, its top-left offset by a fraction of a pixel, painted first when any of them changed.
    // Opaque where the offset is zero; otherwise the pixels it only partly covers are translucent.
    const juce::Image& imageAt(float scale, int width, int height, const Painter& paintSurface,
                               juce::Point<float> offset = {});

    // Copies an image made at scale onto the device's pixels with its top-left at the logical
    // point topLeft. It is never resampled: an origin between device pixels snaps to the nearest.
    static void drawImage(juce::Graphics& g, const juce::Image& image, float scale, juce::Point<float> topLeft);

    // Paints the surface anew on the next draw (after a layout change).
    void invalidate() { image = {}; }

private:
    juce::Image image;
    int imageForWidth = 0, imageForHeight = 0;
    float imageScale = 0.0f;
    juce::Point<float> imageOffset;
};
