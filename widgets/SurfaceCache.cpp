#include "widgets/SurfaceCache.h"

void SurfaceCache::draw(juce::Graphics& g, int width, int height,
                        const std::function<void(juce::Graphics&)>& paintSurface)
{
    const float scale = g.getInternalContext().getPhysicalPixelScaleFactor();
    const int imageWidth = juce::jmax(1, juce::roundToInt((float)width * scale));
    const int imageHeight = juce::jmax(1, juce::roundToInt((float)height * scale));
    if (!image.isValid() || image.getWidth() != imageWidth || image.getHeight() != imageHeight)
    {
        image = juce::Image(juce::Image::RGB, imageWidth, imageHeight, false);
        juce::Graphics imageGraphics(image);
        imageGraphics.addTransform(juce::AffineTransform::scale(scale));
        paintSurface(imageGraphics);
    }
    g.drawImageTransformed(image, juce::AffineTransform::scale(1.0f / scale));
}
