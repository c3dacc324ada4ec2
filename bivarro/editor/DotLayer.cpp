#include "bivarro/editor/DotLayer.h"

#include <algorithm>
#include <cmath>
#include <cstring>

void DotLayer::begin(const juce::Image& background, juce::Point<float> logicalOrigin, float pixelScale)
{
    origin = logicalOrigin;
    scale = pixelScale > 0.0f && std::isfinite(pixelScale) ? pixelScale : 1.0f;
    pixels.reset();
    const int width = std::max(1, background.getWidth()), height = std::max(1, background.getHeight());
    if (frame.getWidth() != width || frame.getHeight() != height)
        frame = juce::Image(juce::Image::RGB, width, height, false);
    pixels.emplace(frame, juce::Image::BitmapData::readWrite);

    if (background.getFormat() == juce::Image::RGB && background.getWidth() == width &&
        background.getHeight() == height)
    {
        const juce::Image::BitmapData source(background, juce::Image::BitmapData::readOnly);
        for (int y = 0; y < height; ++y)
            std::memcpy(pixels->getLinePointer(y), source.getLinePointer(y),
                        static_cast<size_t>(width * pixels->pixelStride));
        return;
    }
    // Any other background is drawn in; the analyser always gives an RGB one of the frame's size.
    pixels.reset();
    {
        juce::Graphics g(frame);
        g.fillAll(juce::Colours::black);
        if (background.isValid())
            g.drawImageAt(background, 0, 0);
    }
    pixels.emplace(frame, juce::Image::BitmapData::readWrite);
}

void DotLayer::add(float logicalX, float logicalY, float logicalSide, juce::Colour colour, float alpha) noexcept
{
    const float x = (logicalX - origin.x) * scale, y = (logicalY - origin.y) * scale, side = logicalSide * scale;
    if (!pixels.has_value() || !(alpha > 0.0f) || !(side > 0.0f) || !std::isfinite(x) || !std::isfinite(y))
        return;
    const float half = side * 0.5f;
    const float left = x - half, top = y - half;

    // The source colour at its alpha, premultiplied; each pixel blends it by its coverage in
    // 0..255, the same arithmetic a filled rectangle's edge table uses.
    juce::PixelARGB source(static_cast<juce::uint8>(juce::roundToInt(std::min(alpha, 1.0f) * 255.0f)), colour.getRed(),
                           colour.getGreen(), colour.getBlue());
    source.premultiply();

    // Squares up to four pixels wide (a dot at a display scale of 2) that lie inside the frame:
    // five columns and rows at most, each cell weighted by the part of it the square covers.
    if (side <= 4.0f && left >= 0.0f && top >= 0.0f && left + 5.0f < static_cast<float>(pixels->width) &&
        top + 5.0f < static_cast<float>(pixels->height))
    {
        const int px = static_cast<int>(left), py = static_cast<int>(top);
        const auto covers = [side](float start, float(&cover)[5])
        {
            cover[0] = std::min(1.0f - start, side);
            float rest = side - cover[0];
            int cells = 1;
            for (; cells < 5 && rest > 0.0f; ++cells)
            {
                cover[cells] = std::min(1.0f, rest);
                rest -= cover[cells];
            }
            return cells;
        };
        float coverX[5], coverY[5];
        const int columns = covers(left - static_cast<float>(px), coverX);
        const int rows = covers(top - static_cast<float>(py), coverY);
        for (int j = 0; j < rows; ++j)
        {
            auto* row = reinterpret_cast<juce::PixelRGB*>(pixels->getPixelPointer(px, py + j));
            const float rowCover = coverY[j] * 255.0f;
            for (int i = 0; i < columns; ++i)
                row[i].blend(source, static_cast<juce::uint32>(rowCover * coverX[i] + 0.5f));
        }
        return;
    }

    // Larger squares and squares at the frame's edges, clipped to it.
    const float right = x + half, bottom = y + half;
    const int px0 = std::max(0, static_cast<int>(std::floor(left)));
    const int px1 = std::min(pixels->width - 1, static_cast<int>(std::ceil(right)) - 1);
    const int py0 = std::max(0, static_cast<int>(std::floor(top)));
    const int py1 = std::min(pixels->height - 1, static_cast<int>(std::ceil(bottom)) - 1);
    for (int py = py0; py <= py1; ++py)
    {
        auto* row = reinterpret_cast<juce::PixelRGB*>(pixels->getLinePointer(py));
        const float rowCover =
            (std::min(static_cast<float>(py + 1), bottom) - std::max(static_cast<float>(py), top)) * 255.0f;
        for (int px = px0; px <= px1; ++px)
        {
            const float cover = std::min(static_cast<float>(px + 1), right) - std::max(static_cast<float>(px), left);
            const auto level = static_cast<juce::uint32>(rowCover * cover + 0.5f);
            if (level != 0)
                row[px].blend(source, level);
        }
    }
}

const juce::Image& DotLayer::end()
{
    pixels.reset();
    return frame;
}
