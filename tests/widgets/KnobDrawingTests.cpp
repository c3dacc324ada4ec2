#include "KnobTestKit.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace knobtest;

namespace
{
// A knob 200 px wide: centre (100, 100), body radius 42, arc radius 88, value text at y 144.
struct DrawnKnob : ::testing::Test
{
    DrawnKnob()
    {
        knob.setBounds(0, 0, 200, 260);
        knob.setVisible(true);
        configure(knob, -48.0, 48.0, 0.01, 0.0, 0.0);
    }

    juce::Image render()
    {
        juce::Image img(juce::Image::ARGB, knob.getWidth(), knob.getHeight(), true, juce::SoftwareImageType());
        juce::Graphics g(img);
        knob.paint(g);
        return img;
    }

    static juce::Colour at(const juce::Image& img, juce::Point<float> p)
    {
        return img.getPixelAt((int)std::floor(p.x), (int)std::floor(p.y));
    }

    static juce::Point<float> polar(float angle, float radius)
    {
        return {100.0f + radius * std::sin(angle), 100.0f - radius * std::cos(angle)};
    }

    // Inside the arrowhead of the pointer glyph drawn at an angle (10 px in from its tip).
    juce::Colour pointerAt(const juce::Image& img, double value) { return at(img, polar(probe.angleOf(value), 78.0f)); }

    // Just outside the body on the left, where only the border (and the glow rings) draw.
    static juce::Colour borderPixel(const juce::Image& img) { return img.getPixelAt(57, 100); }

    static int inkIn(const juce::Image& img, juce::Rectangle<int> area)
    {
        int n = 0;
        for (int y = area.getY(); y < area.getBottom(); ++y)
            for (int x = area.getX(); x < area.getRight(); ++x)
                n += img.getPixelAt(x, y).getAlpha() > 0 ? 1 : 0;
        return n;
    }

    OrlintKnob knob;
    OrlintKnobProbe probe{knob};
};

void expectColour(juce::Colour actual, juce::uint32 expected, int tolerance, const char* what)
{
    const juce::Colour e(expected);
    EXPECT_NEAR(actual.getAlpha(), e.getAlpha(), tolerance) << what << " " << actual.toDisplayString(true);
    EXPECT_NEAR(actual.getRed(), e.getRed(), tolerance) << what << " " << actual.toDisplayString(true);
    EXPECT_NEAR(actual.getGreen(), e.getGreen(), tolerance) << what << " " << actual.toDisplayString(true);
    EXPECT_NEAR(actual.getBlue(), e.getBlue(), tolerance) << what << " " << actual.toDisplayString(true);
}

// Gold has far more red than blue; the grey of the track and border has none.
int warmth(juce::Colour c)
{
    return (int)c.getRed() - (int)c.getBlue();
}
} // namespace

TEST_F(DrawnKnob, GeometryFollowsTheWidth)
{
    knob.rebuildGeometry();
    EXPECT_FLOAT_EQ(probe.bodyRadius(), 42.0f);
    EXPECT_FLOAT_EQ(probe.arcRadius(), 88.0f);
    EXPECT_FLOAT_EQ(probe.valueTextY(), 144.0f);
    EXPECT_NEAR(probe.angleOf(-48.0), 3.926991f, 1e-6f);
    EXPECT_NEAR(probe.angleOf(48.0), 8.6393795f, 1e-6f);

    // Too narrow: the geometry stays stale and nothing is drawn.
    OrlintKnob tiny;
    tiny.setBounds(0, 0, 3, 40);
    juce::Image img(juce::Image::ARGB, 3, 40, true, juce::SoftwareImageType());
    juce::Graphics g(img);
    tiny.paint(g);
    EXPECT_EQ(inkIn(img, img.getBounds()), 0);
}

struct BorderCase
{
    const char* name;
    double value;
    bool linked, invertLinked, highlight;
    juce::uint32 border;
    juce::uint32 pointer;
};

void PrintTo(const BorderCase& c, std::ostream* os)
{
    *os << c.name;
}

class KnobLooks : public DrawnKnob, public ::testing::WithParamInterface<BorderCase>
{
};

TEST_P(KnobLooks, BorderAndPointerColours)
{
    const auto& c = GetParam();
    knob.setValue(c.value, juce::dontSendNotification);
    knob.linked = c.linked;
    knob.invertLinked = c.invertLinked;
    knob.highlight = c.highlight;
    const auto img = render();
    expectColour(borderPixel(img), c.border, 3, "border");
    expectColour(pointerAt(img, c.value), c.pointer, 3, "pointer");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, KnobLooks,
    ::testing::Values(BorderCase{"AtDefault", 0.0, false, false, false, 0xff606060, 0xff606060},
                      // Within 0.0001 of the default counts as the default.
                      BorderCase{"NearDefault", 0.00005, false, false, false, 0xff606060, 0xff606060},
                      BorderCase{"OffDefault", 24.0, false, false, false, 0xb2daa520, 0xffdaa520},
                      BorderCase{"LinkedAtDefault", 0.0, true, false, false, 0xff606060, 0xff606060},
                      BorderCase{"LinkedOffDefault", 24.0, true, false, false, 0xe6daa520, 0xffdaa520},
                      BorderCase{"InverseOffDefault", -24.0, false, true, false, 0xe69b59b6, 0xffdaa520},
                      BorderCase{"BothLinksInverseWins", 24.0, true, true, false, 0xe69b59b6, 0xffdaa520},
                      BorderCase{"HighlightAtDefault", 0.0, false, false, true, 0xe69b59b6, 0xff9b59b6},
                      BorderCase{"HighlightLinkedOffDefault", 24.0, true, false, true, 0xe69b59b6, 0xff9b59b6}),
    CaseName());

TEST_F(DrawnKnob, BodyColourShowsTheLinkState)
{
    const auto bodyCentre = [this]
    {
        const auto img = render();
        return img.getPixelAt(100, 100);
    };
    const auto plain = bodyCentre();
    EXPECT_NEAR(plain.getRed(), plain.getBlue(), 2);

    knob.linked = true;
    const auto gold = bodyCentre();
    EXPECT_GT(gold.getRed(), gold.getGreen() + 20);
    EXPECT_GT(gold.getGreen(), gold.getBlue() + 40);

    knob.invertLinked = true;
    const auto violet = bodyCentre();
    EXPECT_GT(violet.getBlue(), violet.getGreen() + 40);
    EXPECT_GT(violet.getRed(), violet.getGreen() + 20);
}

TEST_F(DrawnKnob, ValueArcGrowsFromTheDefault)
{
    // Halfway between the default (top) and +24 on the arc; the same arc point on the other side.
    const auto onArc = polar(0.5f * (probe.angleOf(0.0) + probe.angleOf(24.0)), 88.0f);
    const auto mirrored = polar(0.5f * (probe.angleOf(0.0) + probe.angleOf(-24.0)), 88.0f);

    auto img = render();
    EXPECT_LT(std::abs(warmth(at(img, onArc))), 3);

    knob.setValue(24.0, juce::dontSendNotification);
    img = render();
    EXPECT_GT(warmth(at(img, onArc)), 80);
    EXPECT_LT(std::abs(warmth(at(img, mirrored))), 3);

    knob.setValue(-24.0, juce::dontSendNotification);
    img = render();
    EXPECT_GT(warmth(at(img, mirrored)), 80);
    EXPECT_LT(std::abs(warmth(at(img, onArc))), 3);

    knob.highlight = true;
    img = render();
    const auto violet = at(img, mirrored);
    EXPECT_GT((int)violet.getBlue() - (int)violet.getGreen(), 40);
}

TEST_F(DrawnKnob, AnArcShorterThanTheAngleThresholdIsNotDrawn)
{
    // Just above the top of the scale, beyond the pointer's tip: only a value arc's rounded end reaches here.
    const auto aboveTip = juce::Rectangle<int>(97, 8, 6, 3);
    knob.setValue(0.02, juce::dontSendNotification);
    auto img = render();
    const auto warmAt002 = [&]
    {
        int m = 0;
        for (int y = aboveTip.getY(); y < aboveTip.getBottom(); ++y)
            for (int x = aboveTip.getX(); x < aboveTip.getRight(); ++x)
                m = juce::jmax(m, warmth(img.getPixelAt(x, y)));
        return m;
    };
    EXPECT_LT(warmAt002(), 3);
    expectColour(pointerAt(img, 0.02), 0xffdaa520, 3, "pointer off the default");

    knob.setValue(0.03, juce::dontSendNotification);
    img = render();
    EXPECT_GT(warmAt002(), 20);
}

TEST_F(DrawnKnob, FineGlowDrawsTwoAccentRings)
{
    // Radius 48.5 lies in the outer ring only (46..50 at full glow).
    const juce::Point<float> outerRing{51.5f, 100.5f};
    EXPECT_EQ(at(render(), outerRing).getAlpha(), 0);

    knob.mouseDown(eventAt(knob, 500, shift));
    for (int i = 0; i < 8; ++i)
        knob.timerCallback();
    expectColour(at(render(), outerRing), 0x25daa520, 3, "outer ring");
    knob.mouseUp(eventAt(knob, 500, shift));
}

TEST_F(DrawnKnob, ResetFlashLightsTheSquareAroundTheKnob)
{
    // 60 px left of the centre: outside the body, inside the flash's circle.
    const juce::Point<float> left{40.5f, 100.5f};
    EXPECT_EQ(at(render(), left).getAlpha(), 0);

    knob.setValue(12.0, juce::dontSendNotification);
    doubleClick(knob, ctrl);
    const auto flash = at(render(), left);
    EXPECT_NEAR(flash.getAlpha(), juce::roundToInt(0.7 * 0.4 * 255), 6);
    EXPECT_GT(flash.getBlue(), 240);
    EXPECT_GT(flash.getRed(), 240);
}

TEST_F(DrawnKnob, TrailShowsFadedPointersWhereTheValueWas)
{
    knob.mouseDown(eventAt(knob, 500, none));
    knob.timerCallback(); // records the start, at the default
    knob.mouseDrag(eventAt(knob, 500 - 300, none));
    knob.timerCallback();
    knob.mouseUp(eventAt(knob, 500 - 300, none));
    ASSERT_EQ(probe.trail().size(), 2u);

    // The first entry has faded by two ticks: drawn alpha (1 - 2/120) * 0.15. Sampled beside the
    // pointer's line, where only the arrowhead draws.
    const auto ghostPixel = juce::Point<float>(102.5f, 22.5f);
    const auto ghost = at(render(), ghostPixel);
    EXPECT_NEAR(ghost.getAlpha(), juce::roundToInt((1.0 - 2.0 / 120.0) * 0.15 * 255), 2);
    EXPECT_GT(warmth(ghost), 80);

    for (int i = 0; i < 200 && knob.isTimerRunning(); ++i)
        knob.timerCallback();
    EXPECT_EQ(at(render(), ghostPixel).getAlpha(), 0);
}

TEST_F(DrawnKnob, ValueTextMakesWayForTheTypedEditorButTheNameStays)
{
    knob.setParamName("GAIN L");
    // The middle of the text rows, clear of the track's ends.
    const auto valueRow = juce::Rectangle<int>(60, 144, 80, 14);
    const auto nameRow = juce::Rectangle<int>(60, 158, 80, 13);

    auto img = render();
    EXPECT_GT(inkIn(img, valueRow), 0);
    EXPECT_GT(inkIn(img, nameRow), 0);

    knob.openTextEditor();
    img = render();
    EXPECT_EQ(inkIn(img, valueRow), 0);
    EXPECT_GT(inkIn(img, nameRow), 0);
}

//==============================================================================
TEST_F(DrawnKnob, FineGlowRisesInEightTicksAndFadesInTwelve)
{
    knob.mouseDown(eventAt(knob, 500, shift));
    for (int i = 1; i <= 8; ++i)
    {
        knob.timerCallback();
        EXPECT_EQ(probe.fineGlow() >= 1.0f, i == 8) << "tick " << i;
    }

    // Releasing Shift mid-drag fades the rings while the drag goes on.
    knob.mouseDrag(eventAt(knob, 490, none));
    for (int i = 1; i <= 12; ++i)
    {
        knob.timerCallback();
        EXPECT_EQ(probe.fineGlow() <= 0.0f, i == 12) << "tick " << i;
    }
    EXPECT_TRUE(knob.isTimerRunning());
    knob.mouseUp(eventAt(knob, 490, none));
}

TEST_F(DrawnKnob, ResetFlashLastsEighteenTicksThenTheTimerStops)
{
    knob.setValue(12.0, juce::dontSendNotification);
    knob.mouseDoubleClick(eventAt(knob, 500, ctrl, 2));
    ASSERT_TRUE(knob.isTimerRunning());
    for (int i = 1; i <= 18; ++i)
    {
        knob.timerCallback();
        EXPECT_EQ(probe.resetFlash() <= 0.0f, i == 18) << "tick " << i;
        EXPECT_TRUE(knob.isTimerRunning());
    }
    knob.timerCallback();
    EXPECT_FALSE(knob.isTimerRunning());
}

TEST_F(DrawnKnob, TrailRecordsOnlyNewAnglesAndKeepsFifty)
{
    knob.mouseDown(eventAt(knob, 500, none));
    for (int i = 0; i < 5; ++i)
        knob.timerCallback();
    EXPECT_EQ(probe.trail().size(), 1u); // dragging without moving

    // Across the whole scale, one tick per pixel step.
    for (int dy = 10; dy <= 1300; dy += 10)
    {
        knob.mouseDrag(eventAt(knob, 500 - dy, none));
        knob.timerCallback();
    }
    EXPECT_EQ(probe.trail().size(), 50u);
    knob.mouseUp(eventAt(knob, 0, none));
}

TEST_F(DrawnKnob, ATrailEntryFadesOverAHundredAndTwentyTicks)
{
    knob.mouseDown(eventAt(knob, 500, none));
    knob.timerCallback(); // records and starts fading
    knob.mouseUp(eventAt(knob, 500, none));
    int ticks = 1;
    while (knob.isTimerRunning() && ticks < 500)
    {
        knob.timerCallback();
        ++ticks;
    }
    EXPECT_EQ(ticks, 120);
    // A faded entry stays, undrawn, until the next drag starts.
    ASSERT_EQ(probe.trail().size(), 1u);
    EXPECT_FLOAT_EQ(probe.trail().front().alpha, 0.0f);
    knob.mouseDown(eventAt(knob, 500, none));
    EXPECT_TRUE(probe.trail().empty());
    knob.mouseUp(eventAt(knob, 500, none));
}

TEST_F(DrawnKnob, AHiddenKnobDoesNotAnimate)
{
    knob.mouseDown(eventAt(knob, 500, shift));
    knob.setVisible(false);
    knob.timerCallback();
    EXPECT_TRUE(probe.trail().empty());
    EXPECT_FLOAT_EQ(probe.fineGlow(), 0.0f);
    EXPECT_TRUE(knob.isTimerRunning());
    knob.mouseUp(eventAt(knob, 500, shift));
}
