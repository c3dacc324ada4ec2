#include "bivarro/editor/DotLayer.h"

#include <algorithm>
#include <cmath>
#include <cstring>

void DotLayer::begin(int width, int height)
{
    pixels.reset();
    const bool resized = layer.getWidth() != width || layer.getHeight() != height;
    if (resized)
        layer = juce::Image(juce::Image::ARGB, std::max(1, width), std::max(1, height), true);
    pixels.emplace(layer, juce::Image::BitmapData::readWrite);
    if (!resized)
        for (int y = 0; y < pixels->height; ++y)
            std::memset(pixels->getLinePointer(y), 0, static_cast<size_t>(pixels->width * pixels->pixelStride));
}

void DotLayer::add(float x, float y, float side, juce::Colour colour, float alpha) noexcept
{
    if (!pixels.has_value() || !(alpha > 0.0f))
        return;
    const float half = side * 0.5f;
    const float x0 = x - half, x1 = x + half, y0 = y - half, y1 = y + half;
    const int px0 = std::max(0, static_cast<int>(std::floor(x0)));
    const int px1 = std::min(pixels->width - 1, static_cast<int>(std::ceil(x1)) - 1);
    const int py0 = std::max(0, static_cast<int>(std::floor(y0)));
    const int py1 = std::min(pixels->height - 1, static_cast<int>(std::ceil(y1)) - 1);
    const float a = std::min(alpha, 1.0f) * 255.0f;
    const juce::uint32 red = colour.getRed(), green = colour.getGreen(), blue = colour.getBlue();

    for (int py = py0; py <= py1; ++py)
    {
        const float coverY = std::min(static_cast<float>(py + 1), y1) - std::max(static_cast<float>(py), y0);
        for (int px = px0; px <= px1; ++px)
        {
            const float coverX = std::min(static_cast<float>(px + 1), x1) - std::max(static_cast<float>(px), x0);
            const auto weight = static_cast<juce::uint32>(a * coverX * coverY + 0.5f);
            if (weight == 0)
                continue;
            // Premultiplied, as the layer stores its pixels.
            const juce::PixelARGB source(static_cast<juce::uint8>(weight), static_cast<juce::uint8>(red * weight / 255),
                                         static_cast<juce::uint8>(green * weight / 255),
                                         static_cast<juce::uint8>(blue * weight / 255));
            reinterpret_cast<juce::PixelARGB*>(pixels->getPixelPointer(px, py))->blend(source);
        }
    }
}

const juce::Image& DotLayer::end()
{
    pixels.reset();
    return layer;
}
