#pragma once

#include <juce_graphics/juce_graphics.h>

#include <optional>

// An opaque frame that many small antialiased squares are blended into directly: each frame
// starts as a copy of its background, so the squares cost a few integer blends each instead of a
// filled rectangle through a graphics context, and the frame reaches the screen as one opaque copy.
class DotLayer
{
public:
    // Starts a frame as a copy of the background (an RGB image) and opens it for writing. The
    // background shows logical coordinates from origin at scale pixels per logical pixel.
    void begin(const juce::Image& background, juce::Point<float> origin = {}, float scale = 1.0f);

    // Blends a square of the given logical side centred at the logical point (x, y) in colour at
    // alpha, each pixel weighted by the part of it the square covers, as a filled rectangle drawn
    // at the frame's scale would be.
    void add(float x, float y, float side, juce::Colour colour, float alpha) noexcept;

    // Closes the frame for writing; returns it for drawing.
    const juce::Image& end();

    bool isOpen() const noexcept { return pixels.has_value(); }

private:
    juce::Image frame;
    juce::Point<float> origin;
    float scale = 1.0f;
    std::optional<juce::Image::BitmapData> pixels;
};
