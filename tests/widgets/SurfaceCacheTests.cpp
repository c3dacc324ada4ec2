#include "widgets/SurfaceCache.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace
{
// Thin lines, a diagonal and text: any resampling of a cached copy shows on them.
void paintSurface(juce::Graphics& g, int w, int h)
{
    g.fillAll(juce::Colour(0xff1a1a1a));
    g.setColour(juce::Colour(0xff5e5e5e));
    for (int x = 4; x < w; x += 7)
        g.drawLine((float)x + 0.3f, 0.0f, (float)x + 0.3f, (float)h, 0.5f);
    g.setColour(juce::Colour(0xffdaa520));
    g.drawLine(0.0f, 0.0f, (float)w, (float)h, 0.9f);
    g.setFont(juce::FontOptions(9.0f));
    g.drawText("CORR -1 +1", juce::Rectangle<float>(3.0f, 5.0f, (float)w - 6.0f, 11.0f),
               juce::Justification::centredLeft, true);
}

juce::Image drawnAtScale(int w, int h, float scale, const std::function<void(juce::Graphics&)>& paint)
{
    juce::Image image(juce::Image::RGB, juce::roundToInt((float)w * scale), juce::roundToInt((float)h * scale), true);
    juce::Graphics g(image);
    g.addTransform(juce::AffineTransform::scale(scale));
    paint(g);
    return image;
}

int worstDifference(const juce::Image& a, const juce::Image& b, juce::Rectangle<int> area)
{
    int worst = 0;
    for (int y = area.getY(); y < area.getBottom(); ++y)
        for (int x = area.getX(); x < area.getRight(); ++x)
        {
            const auto p = a.getPixelAt(x, y), q = b.getPixelAt(x, y);
            worst = std::max({worst, std::abs(p.getRed() - q.getRed()), std::abs(p.getGreen() - q.getGreen()),
                              std::abs(p.getBlue() - q.getBlue())});
        }
    return worst;
}
} // namespace

TEST(SurfaceCache, CopiesMatchTheSurfaceDrawnDirectlyAtTheDisplaysScale)
{
    constexpr int w = 120, h = 40;
    const struct
    {
        float scale;
        juce::Point<int> at; // where the surface lies in the drawing
    } cases[] = {
        {1.0f, {0, 0}},
        {2.0f, {0, 0}},
        {1.25f, {0, 0}},
        {1.5f, {6, 2}},
        {2.0f, {3, 5}},
        {3.0f, {1, 1}},
        // Between device pixels.
        {1.25f, {3, 5}},
        {1.5f, {1, 3}},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE("scale " + std::to_string(c.scale) + " at " + c.at.toString().toStdString());
        const juce::Rectangle<int> area{c.at.x, c.at.y, w, h};
        const auto paint = [](juce::Graphics& g) { paintSurface(g, w, h); };
        SurfaceCache cache;
        // Drawn twice: the second copy comes from the image the first one made.
        const auto viaCache = [&](juce::Graphics& g)
        {
            cache.draw(g, area, paint);
            cache.draw(g, area, paint);
        };
        const int canvasW = c.at.x + w + 2, canvasH = c.at.y + h + 2;
        const auto cached = drawnAtScale(canvasW, canvasH, c.scale, viaCache);
        const float deviceX = (float)c.at.x * c.scale, deviceY = (float)c.at.y * c.scale;
        const bool whole =
            juce::exactlyEqual(deviceX, std::round(deviceX)) && juce::exactlyEqual(deviceY, std::round(deviceY));
        const juce::Rectangle<int> inside{(int)std::ceil(deviceX) + 1, (int)std::ceil(deviceY) + 1,
                                          (int)((float)w * c.scale) - 2, (int)((float)h * c.scale) - 2};

        // Where the area starts on a whole device pixel, pixel for pixel the cached image.
        if (whole)
        {
            const auto& image = cache.imageAt(c.scale, w, h, paint);
            ASSERT_EQ(image.getWidth(), juce::roundToInt((float)w * c.scale));
            ASSERT_EQ(image.getHeight(), juce::roundToInt((float)h * c.scale));
            for (int y = 0; y < image.getHeight(); ++y)
                for (int x = 0; x < image.getWidth(); ++x)
                    ASSERT_EQ(cached.getPixelAt((int)deviceX + x, (int)deviceY + y), image.getPixelAt(x, y))
                        << x << "," << y;
        }

        // Anywhere, the surface as drawn without a cache.
        const auto direct = drawnAtScale(canvasW, canvasH, c.scale,
                                         [&](juce::Graphics& g)
                                         {
                                             g.setOrigin(c.at);
                                             paintSurface(g, w, h);
                                         });
        EXPECT_LE(worstDifference(cached, direct, inside), 1);
    }
}
