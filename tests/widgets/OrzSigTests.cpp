#include "widgets/CardChecks.h"
#include "widgets/OrlintKnob.h"

#include <gtest/gtest.h>

using OrzSig::gainPairCard;
using OrzSig::stereoCard;

// Bivarro draws its cards in the stereo style, the default.
TEST(OrzSigStereoCard, ShadowFaceHighlightAndFixedOutline)
{
    const auto img = cardcheck::render(stereoCard, 0.0f, 0.0f);
    cardcheck::expectShadow(img);
    cardcheck::expectOutlineAlpha(stereoCard, img, 0x73);
    cardcheck::expectHighlight(stereoCard, img, 0x04);
    cardcheck::expectShadowOfEmptyCard(stereoCard);
}

TEST(OrzSigStereoCard, IsTheDefaultStyle)
{
    juce::Image img(juce::Image::ARGB, 130, 90, true, juce::SoftwareImageType());
    {
        juce::Graphics g(img);
        OrzSig::drawElevatedCard(g, cardcheck::card, 0.65f, 0.0f);
    }
    const auto stereo = cardcheck::render(stereoCard, 0.65f, 0.0f);
    for (int y = 0; y < img.getHeight(); ++y)
        for (int x = 0; x < img.getWidth(); ++x)
            ASSERT_EQ(img.getPixelAt(x, y), stereo.getPixelAt(x, y)) << x << ", " << y;
}

TEST(OrzSigStereoCard, IgnoresBothFloats)
{
    const auto plain = cardcheck::render(stereoCard, 0.0f, 0.0f);
    for (const auto& [a, b] : {std::pair{0.65f, 3.0f}, std::pair{1.5f, -1.0f}, std::pair{-2.0f, 0.35f}})
    {
        const auto other = cardcheck::render(stereoCard, a, b);
        int differing = 0;
        for (int y = 0; y < plain.getHeight(); ++y)
            for (int x = 0; x < plain.getWidth(); ++x)
                differing += plain.getPixelAt(x, y) != other.getPixelAt(x, y) ? 1 : 0;
        EXPECT_EQ(differing, 0) << a << ", " << b;
    }
}

// Both gain editors pass the gain pair's style: lighter face and top highlight, outline alpha from the
// first float. One widget library draws both styles in one process.
TEST(OrzSigGainPairCard, LighterFaceAndOutlineAlphaFromTheCaller)
{
    EXPECT_EQ(gainPairCard.top().getARGB(), 0xff363636u);

    const auto img = cardcheck::render(gainPairCard, 0.65f, 0.0f);
    cardcheck::expectShadow(img);
    cardcheck::expectHighlight(gainPairCard, img, 0x0f);
    cardcheck::expectShadowOfEmptyCard(gainPairCard);

    const std::pair<float, int> outlines[] = {{0.65f, 166}, {0.35f, 89}, {1.5f, 255},
                                              {1.0f, 255},  {0.0f, 0},   {-1.0f, 0}};
    for (const auto& [fraction, alpha] : outlines)
        cardcheck::expectOutlineAlpha(gainPairCard, cardcheck::render(gainPairCard, fraction, 7.0f), alpha);
}

TEST(WidgetColours, HoldTheirValues)
{
    const struct
    {
        juce::Colour colour;
        juce::uint32 argb;
    } cases[] = {{OrlintKnob::kColAccent, 0xffdaa520},
                 {OrlintKnob::kColAccentGlow, 0x33daa520},
                 {OrlintKnob::kColTrackInactive, 0xff4a4a4a},
                 {OrlintKnob::kColBodyTop, 0xff444444},
                 {OrlintKnob::kColBodyBorder, 0xff606060},
                 {OrlintKnob::kColLinkedTop, 0xffb8860b},
                 {OrlintKnob::kColLinkedAlt, 0xff7d3c98},
                 {OrlintKnob::kColValueText, 0xffeeeeee},
                 {OrlintKnob::kColNameText, 0xffbbbbbb},
                 {OrzSig::bgTop, 0xff2a2a2a},
                 {OrzSig::bgBottom, 0xff141414},
                 {OrzSig::cardTop, 0xff2a2a2a},
                 {stereoCard.top(), 0xff2a2a2a},
                 {OrzSig::cardBottom, 0xff202020},
                 {OrzSig::accentHi, 0xffdaa520}};
    for (const auto& c : cases)
        EXPECT_EQ(c.colour.getARGB(), c.argb) << juce::String::toHexString((int)c.argb);
}

TEST(WidgetColours, FractionsBecomeAlphas)
{
    const std::pair<float, int> cases[] = {{-0.5f, 0}, {0.0f, 0}, {0.35f, 89}, {0.65f, 166}, {1.0f, 255}, {1.5f, 255}};
    for (const auto& [fraction, alpha] : cases)
        EXPECT_EQ(OrzSig::alphaOf(fraction), alpha) << fraction;
}
