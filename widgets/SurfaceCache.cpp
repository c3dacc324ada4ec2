#include "widgets/SurfaceCache.h"

#include <cmath>

float SurfaceCache::pixelScale(juce::Graphics& g)
{
    const float scale = g.getInternalContext().getPhysicalPixelScaleFactor();
    return scale > 0.0f && std::isfinite(scale) ? scale : 1.0f;
}

void SurfaceCache::draw(juce::Graphics& g, int width, int height, const Painter& paintSurface)
{
    draw(g, {0, 0, width, height}, paintSurface);
}

void SurfaceCache::draw(juce::Graphics& g, juce::Rectangle<int> area, const Painter& paintSurface)
{
    const float scale = pixelScale(g);
    // The device pixel the area starts in, and how far into it; within a 256th the start counts as
    // whole, as a copy would snap it there anyway.
    const auto split = [scale](int logical, float& whole)
    {
        const float device = static_cast<float>(logical) * scale;
        whole = std::round(device);
        if (std::abs(device - whole) < 1.0f / 256.0f)
            return 0.0f;
        whole = std::floor(device);
        return device - whole;
    };
    juce::Point<float> whole, offset;
    offset.x = split(area.getX(), whole.x);
    offset.y = split(area.getY(), whole.y);
    drawImage(g, imageAt(scale, area.getWidth(), area.getHeight(), paintSurface, offset), scale, whole / scale);
}

const juce::Image& SurfaceCache::imageAt(float scale, int width, int height, const Painter& paintSurface,
                                         juce::Point<float> offset)
{
    if (image.isValid() && imageForWidth == width && imageForHeight == height &&
        juce::exactlyEqual(imageScale, scale) && offset == imageOffset)
        return image;
    imageForWidth = width;
    imageForHeight = height;
    imageScale = scale;
    imageOffset = offset;
    const bool whole = offset.isOrigin();
    const auto extent = [&](int logical, float fraction)
    {
        const float device = static_cast<float>(logical) * scale + fraction;
        return juce::jmax(1, whole ? juce::roundToInt(device) : static_cast<int>(std::ceil(device)));
    };
    image = juce::Image(whole ? juce::Image::RGB : juce::Image::ARGB, extent(width, offset.x), extent(height, offset.y),
                        true);
    juce::Graphics imageGraphics(image);
    imageGraphics.addTransform(juce::AffineTransform::scale(scale).translated(offset));
    paintSurface(imageGraphics);
    return image;
}

void SurfaceCache::drawImage(juce::Graphics& g, const juce::Image& image, float scale, juce::Point<float> topLeft)
{
    juce::Graphics::ScopedSaveState saved(g);
    // With the image's pixels on the device's, a copy; low quality snaps a fractional origin
    // instead of blurring every pixel across two.
    g.setImageResamplingQuality(juce::Graphics::lowResamplingQuality);
    g.setOpacity(1.0f);
    g.drawImageTransformed(image, juce::AffineTransform::scale(1.0f / scale).translated(topLeft));
}
