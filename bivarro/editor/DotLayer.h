#pragma once

#include <juce_graphics/juce_graphics.h>

#include <optional>

// A transparent layer that many small antialiased squares are blended into directly, far cheaper
// per square than a filled rectangle through a graphics context; drawn over its background at once.
class DotLayer
{
public:
    // Clears the layer at the given size and opens it for writing.
    void begin(int width, int height);

    // Blends a square of the given side centred at (x, y) in colour at alpha, each pixel weighted
    // by the part of it the square covers.
    void add(float x, float y, float side, juce::Colour colour, float alpha) noexcept;

    // Closes the layer for writing; returns it for drawing.
    const juce::Image& end();

    bool isOpen() const noexcept { return pixels.has_value(); }

private:
    juce::Image layer;
    std::optional<juce::Image::BitmapData> pixels;
};
