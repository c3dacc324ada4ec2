#include "support/CardChecks.h"
#include "widgets/OrlintKnob.h"

#include <gtest/gtest.h>

// Bivarro draws its cards in the stereo style.
TEST(OrzSigStereoCard, ShadowFaceHighlightAndFixedOutline)
{
    const auto img = cardcheck::render(0.0f, 0.0f);
    cardcheck::expectShadow(img);
    cardcheck::expectOutlineAlpha(img, 0x73);
    cardcheck::expectHighlight(img, 0x04);
    cardcheck::expectShadowOfEmptyCard();
}

TEST(OrzSigStereoCard, IgnoresBothFloats)
{
    const auto plain = cardcheck::render(0.0f, 0.0f);
    for (const auto& [a, b] : {std::pair{0.65f, 3.0f}, std::pair{1.5f, -1.0f}, std::pair{-2.0f, 0.35f}})
    {
        const auto other = cardcheck::render(a, b);
        int differing = 0;
        for (int y = 0; y < plain.getHeight(); ++y)
            for (int x = 0; x < plain.getWidth(); ++x)
                differing += plain.getPixelAt(x, y) != other.getPixelAt(x, y) ? 1 : 0;
        EXPECT_EQ(differing, 0) << a << ", " << b;
    }
}

TEST(WidgetColours, HoldTheirValuesInTheStereoDeliverable)
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
