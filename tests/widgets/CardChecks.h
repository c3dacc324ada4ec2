#pragma once

#include "widgets/OrzSig.h"

#include <gtest/gtest.h>

#include <juce_graphics/juce_graphics.h>

// Pixel checks of OrzSig::drawElevatedCard, shared by the tests of both card styles.
// The card of bounds (10, 20, 100, 50) is drawn on a transparent image; its bottom edge is y 70.
namespace cardcheck
{
inline const juce::Rectangle<float> card{10.0f, 20.0f, 100.0f, 50.0f};

inline juce::Image render(const OrzSig::CardStyle& style, float outlineAlpha, float unused,
                          juce::Rectangle<float> bounds = card)
{
    juce::Image img(juce::Image::ARGB, 130, 90, true, juce::SoftwareImageType());
    juce::Graphics g(img);
    OrzSig::drawElevatedCard(g, bounds, outlineAlpha, unused, style);
    return img;
}

// Alpha of n stacked shadow layers of alpha 0x21.
inline int shadowAlpha(int layers)
{
    const double a = 1.0 - std::pow(1.0 - 0x21 / 255.0, layers);
    return juce::roundToInt(a * 255.0);
}

// The face's colour at a height inside the card, before highlight and outline.
inline juce::Colour faceAt(const OrzSig::CardStyle& style, float y)
{
    return style.top().interpolatedWith(OrzSig::cardBottom, (y - card.getY()) / card.getHeight());
}

inline void expectNearColour(juce::Colour actual, juce::Colour expected, int tolerance, const std::string& what)
{
    EXPECT_NEAR(actual.getRed(), expected.getRed(), tolerance) << what << " " << actual.toDisplayString(true);
    EXPECT_NEAR(actual.getGreen(), expected.getGreen(), tolerance) << what << " " << actual.toDisplayString(true);
    EXPECT_NEAR(actual.getBlue(), expected.getBlue(), tolerance) << what << " " << actual.toDisplayString(true);
}

// The five shadow layers reach 0.9k + 0.7k below the card: pixel rows fully inside a known number of
// layers, and the largest layer's edges (6.5 .. 113.5 across, down to 78).
inline void expectShadow(const juce::Image& img)
{
    const struct
    {
        int row, layers;
    } rows[] = {{70, 5}, {72, 4}, {75, 2}, {77, 1}, {78, 0}, {85, 0}};
    for (const auto& r : rows)
        EXPECT_NEAR(img.getPixelAt(60, r.row).getAlpha(), shadowAlpha(r.layers), 2) << "row " << r.row;

    EXPECT_GT(img.getPixelAt(6, 50).getAlpha(), 0);
    EXPECT_EQ(img.getPixelAt(5, 50).getAlpha(), 0);
    EXPECT_GT(img.getPixelAt(113, 50).getAlpha(), 0);
    EXPECT_EQ(img.getPixelAt(114, 50).getAlpha(), 0);
    EXPECT_EQ(img.getPixelAt(60, 10).getAlpha(), 0); // nothing above the card
}

// The outline runs along row 20 over the face; its alpha shows in how far the pixel moves to gold.
inline void expectOutlineAlpha(const OrzSig::CardStyle& style, const juce::Image& img, int alpha)
{
    const auto expected = faceAt(style, 20.5f).overlaidWith(OrzSig::accentHi.withAlpha((juce::uint8)alpha));
    expectNearColour(img.getPixelAt(60, 20), expected, 3, "outline alpha " + std::to_string(alpha));
    EXPECT_EQ(img.getPixelAt(60, 20).getAlpha(), 255);
}

// The top highlight fades from the given alpha at the top to nothing at half height.
inline void expectHighlight(const OrzSig::CardStyle& style, const juce::Image& img, int highlightAlpha)
{
    const float fade = 1.0f - (22.5f - 20.0f) / 25.0f;
    const auto lit = faceAt(style, 22.5f).overlaidWith(juce::Colours::white.withAlpha(highlightAlpha * fade / 255.0f));
    expectNearColour(img.getPixelAt(60, 22), lit, 2, "highlight");
    expectNearColour(img.getPixelAt(60, 55), faceAt(style, 55.5f), 2, "lower face");
}

// A card of no size still casts its five layers: squares of sides 1.4 to 7 around (50, 50..54.5).
inline void expectShadowOfEmptyCard(const OrzSig::CardStyle& style)
{
    const auto img = render(style, 0.5f, 0.0f, {50.0f, 50.0f, 0.0f, 0.0f});
    juce::Rectangle<int> inked;
    for (int y = 0; y < img.getHeight(); ++y)
        for (int x = 0; x < img.getWidth(); ++x)
            if (img.getPixelAt(x, y).getAlpha() > 0)
                inked = inked.isEmpty() ? juce::Rectangle<int>(x, y, 1, 1)
                                        : inked.getUnion(juce::Rectangle<int>(x, y, 1, 1));
    EXPECT_EQ(inked, juce::Rectangle<int>(46, 50, 8, 8));
    EXPECT_LT(img.getPixelAt(49, 54).getAlpha(), shadowAlpha(5) + 3);
}
} // namespace cardcheck
