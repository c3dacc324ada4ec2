#include "OrlintMeterProbe.h"

#include <gtest/gtest.h>

// Drawing is checked on the pixels of shapes only (rows, columns, outlines, markers), never on
// glyphs, which depend on the installed fonts.
namespace
{
using C = juce::Colour;

const C kBody{0xff0f0f0f}; // the bar's background darkened by 0.4
const C kRmsGrey{0xff454545};

C stack(std::initializer_list<C> layers)
{
    C result = juce::Colours::transparentBlack;
    for (auto layer : layers)
        result = result.overlaidWith(layer);
    return result;
}

::testing::AssertionResult near(C actual, C expected, int tol = 2)
{
    const int d[] = {actual.getAlpha() - expected.getAlpha(), actual.getRed() - expected.getRed(),
                     actual.getGreen() - expected.getGreen(), actual.getBlue() - expected.getBlue()};
    for (int v : d)
        if (std::abs(v) > tol)
            return ::testing::AssertionFailure()
                   << "got " << actual.toDisplayString(true) << ", expected " << expected.toDisplayString(true);
    return ::testing::AssertionSuccess();
}

struct Drawn
{
    explicit Drawn(int w = 60, int h = 200, int side = 0)
    {
        meter.stopTimer();
        meter.setScaleSide(side);
        meter.setSize(w, h);
    }

    juce::Image render()
    {
        juce::Image image(juce::Image::ARGB, meter.getWidth(), meter.getHeight(), true);
        juce::Graphics g(image);
        meter.paint(g);
        return image;
    }

    OrlintMeter meter;
    OrlintMeterProbe probe{meter};
};

// The 60 × 200 meter with its scale on the left: inner (24, 18, 32, 157), 0 dB at y 25, base at 166.
constexpr int kCentreX = 40;
constexpr int kBase = 166;
} // namespace

TEST(OrlintMeterDrawing, LayoutTable)
{
    using R = juce::Rectangle<float>;
    struct Case
    {
        int w, h, side;
        R label, bar, readout, scale, inner;
    };
    const Case cases[] = {
        {60, 200, 0, {22, 0, 36, 14}, {22, 16, 36, 161}, {22, 179, 36, 19}, {0, 16, 20, 161}, {24, 18, 32, 157}},
        {60, 200, 1, {2, 0, 36, 14}, {2, 16, 36, 161}, {2, 179, 36, 19}, {40, 16, 20, 161}, {4, 18, 32, 157}},
        {60, 200, 2, {2, 0, 56, 14}, {2, 16, 56, 161}, {2, 179, 56, 19}, {60, 16, 0, 161}, {4, 18, 52, 157}},
        {30, 40, 2, {2, 0, 26, 14}, {2, 16, 26, 1}, {2, 19, 26, 19}, {30, 16, 0, 1}, {4, 18, 22, -3}},
    };
    for (const auto& c : cases)
    {
        Drawn d(c.w, c.h, c.side);
        d.render();
        SCOPED_TRACE(testing::Message() << c.w << "x" << c.h << " side " << c.side);
        EXPECT_TRUE(d.probe.layoutValid());
        EXPECT_EQ(d.probe.labelRect(), c.label);
        EXPECT_EQ(d.probe.barRect(), c.bar);
        EXPECT_EQ(d.probe.readoutRect(), c.readout);
        EXPECT_EQ(d.probe.scaleRect(), c.scale);
        EXPECT_EQ(d.probe.innerRect(), c.inner);
    }
}

TEST(OrlintMeterDrawing, MetersTooSmallGetNoLayoutAndDrawNothing)
{
    for (auto [w, h] : {std::pair{60, 39}, std::pair{60, 19}, std::pair{3, 200}, std::pair{24, 200}})
    {
        Drawn d(w, h, 0);
        d.probe.heldPeakDb() = -6.0f;
        d.probe.holdAlpha() = 1.0f;
        const auto image = d.render();
        EXPECT_FALSE(d.probe.layoutValid()) << w << "x" << h;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                ASSERT_EQ(image.getPixelAt(x, y).getAlpha(), 0) << w << "x" << h << " at " << x << "," << y;
    }
}

TEST(OrlintMeterDrawing, ALayoutIsKeptUntilResizedOrTheScaleMoves)
{
    Drawn d(60, 200, 0);
    d.render();
    ASSERT_EQ(d.probe.barRect().getX(), 22.0f);

    d.meter.setScaleSide(1);
    d.render();
    EXPECT_EQ(d.probe.barRect().getX(), 2.0f);

    // Shrunk below a usable size: the old rectangles stay and the marks fall back to the bar's middle.
    d.meter.setSize(60, 30);
    d.render();
    EXPECT_FALSE(d.probe.layoutValid());
    EXPECT_EQ(d.probe.barRect(), juce::Rectangle<float>(2, 16, 36, 161));
    EXPECT_EQ(d.probe.dbToY(0.0f), 16.0f + 161.0f / 2.0f);
}

// Resizing lays the meter out at once; painting only reads the rectangles.
TEST(OrlintMeterDrawing, TheLayoutFollowsEveryResizeBeforeAnyPaint)
{
    Drawn d(60, 200, 0);
    EXPECT_TRUE(d.probe.layoutValid());
    EXPECT_EQ(d.probe.barRect(), juce::Rectangle<float>(22, 16, 36, 161));

    d.meter.setSize(60, 100);
    EXPECT_EQ(d.probe.barRect(), juce::Rectangle<float>(22, 16, 36, 61));
    EXPECT_EQ(d.probe.readoutRect(), juce::Rectangle<float>(22, 79, 36, 19));

    d.meter.setScaleSide(1);
    EXPECT_EQ(d.probe.barRect(), juce::Rectangle<float>(2, 16, 36, 61));
    EXPECT_EQ(d.probe.scaleRect(), juce::Rectangle<float>(40, 16, 20, 61));
}

TEST(OrlintMeterDrawing, DbToY)
{
    Drawn d;
    d.render();
    const std::pair<float, float> cases[] = {{0.0f, 25.0f},    {2.5f, 20.0f},    {3.0f, 19.0f},   {-36.0f, 130.75f},
                                             {-6.0f, 42.625f}, {-48.0f, 166.0f}, {-60.0f, 166.0f}};
    for (auto [db, y] : cases)
        EXPECT_FLOAT_EQ(d.probe.dbToY(db), y) << db;
}

TEST(OrlintMeterDrawing, BarOutlineSitsOnTheLayoutPerScaleSide)
{
    struct Case
    {
        int side;
        int leftEdge, rightEdge;
    };
    for (const auto& c : {Case{0, 22, 57}, Case{1, 2, 37}, Case{2, 2, 57}})
    {
        Drawn d(60, 200, c.side);
        const auto image = d.render();
        SCOPED_TRACE(c.side);
        EXPECT_EQ(image.getPixelAt(c.leftEdge, 100), OrlintMeter::kColBorder);
        EXPECT_EQ(image.getPixelAt(c.rightEdge, 100), OrlintMeter::kColBorder);
        EXPECT_EQ(image.getPixelAt(c.leftEdge - 1, 100).getAlpha(), 0);
        const int mid = (c.leftEdge + c.rightEdge) / 2;
        EXPECT_EQ(image.getPixelAt(mid, 16), OrlintMeter::kColBorder);  // top edge
        EXPECT_EQ(image.getPixelAt(mid, 176), OrlintMeter::kColBorder); // bottom edge
    }
}

TEST(OrlintMeterDrawing, ScaleTicksAtTheMarks)
{
    // Ticks are 3 px wide: left of the bar in the scale strip for side 0, right of the bar for side 1.
    for (auto [side, tickX] : {std::pair{0, 18}, std::pair{1, 40}})
    {
        Drawn d(60, 200, side);
        const auto image = d.render();
        for (float mark : {-36.0f, -24.0f, -18.0f, -12.0f, -6.0f, 0.0f})
        {
            const float y = d.probe.dbToY(mark);
            EXPECT_GT(image.getPixelAt(tickX, (int)(y + 0.4f)).getAlpha(), 100) << side << " " << mark;
            EXPECT_EQ(image.getPixelAt(tickX, (int)y - 2).getAlpha(), 0) << side << " " << mark;
        }
    }

    // No scale: nothing beside the bar.
    Drawn d(60, 200, 2);
    const auto image = d.render();
    for (int y = 0; y < 200; ++y)
        ASSERT_EQ(image.getPixelAt(59, y).getAlpha(), 0) << y;
}

TEST(OrlintMeterDrawing, ZoneColoursOfLitRows)
{
    Drawn d;
    d.probe.brightness() = 100.0f; // opaque rows show their zone colour exactly
    d.probe.peakDb() = 0.0f;
    const auto image = d.render();

    // -18 dB lies at y 77.875 and -6 dB at 42.625: rows at or below them take the lower zone.
    const std::pair<int, C> cases[] = {{164, OrlintMeter::kColGreen}, {80, OrlintMeter::kColGreen},
                                       {77, OrlintMeter::kColYellow}, {44, OrlintMeter::kColYellow},
                                       {41, OrlintMeter::kColOrange}, {26, OrlintMeter::kColOrange}};
    for (auto [y, colour] : cases)
    {
        EXPECT_EQ(image.getPixelAt(kCentreX, y), colour) << y;
        EXPECT_EQ(image.getPixelAt(kCentreX, y + 1), colour) << y;
    }

    // Exactly 0 dB fills every row but not the over-range zone.
    EXPECT_LT(image.getPixelAt(kCentreX, 20).getRed(), 0x30);
}

TEST(OrlintMeterDrawing, OverRangeZoneLightsAboveZeroDb)
{
    Drawn d;
    d.probe.brightness() = 100.0f;
    d.probe.peakDb() = 1.0f;
    const auto image = d.render();
    for (int y = 18; y < 24; ++y)
        EXPECT_EQ(image.getPixelAt(kCentreX, y), OrlintMeter::kColRed) << y;
    EXPECT_EQ(image.getPixelAt(kCentreX, 24), C(0xff2a2a2a)); // separator
}

TEST(OrlintMeterDrawing, PeakAtMinus18LightsTwentyNineGreenRows)
{
    Drawn d; // default brightness 84: alpha 214, glow spread 1 px
    d.probe.peakDb() = -18.0f;
    const auto image = d.render();

    const C unlitGreen = OrlintMeter::kColGreen.withAlpha((juce::uint8)0x12);
    const C lit =
        stack({kBody, unlitGreen, OrlintMeter::kColGreen.withAlpha((juce::uint8)26),
               OrlintMeter::kColGreen.withAlpha((juce::uint8)65), OrlintMeter::kColGreen.withAlpha((juce::uint8)214)});
    int litRows = 0;
    for (int y = kBase - 2; y >= 25; y -= 3)
        if (image.getPixelAt(kCentreX, y).getGreen() > 100)
        {
            ++litRows;
            EXPECT_GE(y, 80);
            EXPECT_TRUE(near(image.getPixelAt(kCentreX, y), lit)) << y;
        }
    EXPECT_EQ(litRows, 29);
    EXPECT_TRUE(
        near(image.getPixelAt(kCentreX, 77), stack({kBody, OrlintMeter::kColYellow.withAlpha((juce::uint8)0x12)})));

    // The glow: 2 px rectangles one pixel beyond the column (x 28), 4 px ones two beyond (x 27).
    EXPECT_TRUE(
        near(image.getPixelAt(28, 164), stack({kBody, unlitGreen, OrlintMeter::kColGreen.withAlpha((juce::uint8)26),
                                               OrlintMeter::kColGreen.withAlpha((juce::uint8)65)})));
    EXPECT_TRUE(
        near(image.getPixelAt(27, 164), stack({kBody, unlitGreen, OrlintMeter::kColGreen.withAlpha((juce::uint8)26)})));
    EXPECT_TRUE(near(image.getPixelAt(26, 164), stack({kBody, unlitGreen})));
}

TEST(OrlintMeterDrawing, BrightnessSetsRowAlphaAndGlow)
{
    struct Case
    {
        float brightness;
        int rowAlpha;
        bool glow;
    };
    const Case cases[] = {{100.0f, 255, true}, {84.0f, 214, true}, {70.0f, 178, false}, {40.0f, 102, false}};
    const C unlitGreen = OrlintMeter::kColGreen.withAlpha((juce::uint8)0x12);
    for (const auto& c : cases)
    {
        Drawn d;
        d.probe.brightness() = c.brightness;
        d.probe.peakDb() = -30.0f;
        const auto image = d.render();
        SCOPED_TRACE(c.brightness);
        if (!c.glow)
        {
            EXPECT_TRUE(near(image.getPixelAt(kCentreX, 164),
                             stack({kBody, unlitGreen, OrlintMeter::kColGreen.withAlpha((juce::uint8)c.rowAlpha)})));
        }
        EXPECT_EQ(near(image.getPixelAt(28, 164), stack({kBody, unlitGreen})), !c.glow);
        EXPECT_EQ(near(image.getPixelAt(28, 166), stack({kBody})), !c.glow); // the gap under the lowest row
    }
}

TEST(OrlintMeterDrawing, TailRowsBelowMinus48)
{
    struct Case
    {
        float db;
        bool row173, row170, row167;
    };
    const Case cases[] = {{-60.0f, true, true, false},
                          {-48.0f, true, true, true},
                          {-80.0f, true, false, false},
                          {-90.0f, false, false, false},
                          {-98.0f, false, false, false}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.db);
        Drawn peak;
        peak.probe.brightness() = 70.0f;
        peak.probe.peakDb() = c.db;
        const auto pImage = peak.render();
        Drawn rms;
        rms.probe.rmsDb() = c.db;
        const auto rImage = rms.render();

        const std::pair<int, bool> rows[] = {{kBase + 7, c.row173}, {kBase + 4, c.row170}, {kBase + 1, c.row167}};
        for (auto [y, lit] : rows)
        {
            EXPECT_EQ(pImage.getPixelAt(kCentreX, y).getGreen() > 100, lit) << y;
            EXPECT_EQ(rImage.getPixelAt(25, y) == kRmsGrey, lit) << y;
        }
        // Nothing in the scale range below -48 dB.
        EXPECT_LT(pImage.getPixelAt(kCentreX, kBase - 2).getGreen(), 60);
    }
}

TEST(OrlintMeterDrawing, RmsColumnIsGreyAcrossTheWholeWidth)
{
    Drawn d;
    d.probe.rmsDb() = -18.0f;
    d.probe.peakDb() = -40.0f;
    const auto image = d.render();
    for (int y : {164, 80})
    {
        EXPECT_EQ(image.getPixelAt(25, y), kRmsGrey) << y; // beside the peak column and its glow
        EXPECT_EQ(image.getPixelAt(54, y), kRmsGrey) << y;
    }
    EXPECT_NE(image.getPixelAt(25, 77), kRmsGrey);
    EXPECT_NE(image.getPixelAt(25, 20), kRmsGrey);

    d.probe.rmsDb() = 1.0f;
    EXPECT_EQ(d.render().getPixelAt(25, 20), kRmsGrey); // over-range zone
}

TEST(OrlintMeterDrawing, HoldMarker)
{
    const C base = stack({kBody, OrlintMeter::kColRed.withAlpha((juce::uint8)0x14)});
    struct Case
    {
        bool hold;
        float alpha;
        C core, halo;
    };
    const auto white = juce::Colours::white;
    const Case cases[] = {
        {false, 1.0f, stack({base, white.withAlpha(0.85f), white.withAlpha(0.25f)}),
         stack({base, white.withAlpha(0.25f)})},
        {false, 0.5f, stack({base, white.withAlpha(0.425f), white.withAlpha(0.125f)}),
         stack({base, white.withAlpha(0.125f)})},
        {true, 1.0f, OrlintMeter::kColAccent, stack({base, OrlintMeter::kColAccent.withAlpha(0.25f)})},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(testing::Message() << c.hold << " " << c.alpha);
        Drawn d;
        d.probe.holdEnabled() = c.hold;
        d.probe.heldPeakDb() = 2.5f; // 5 px above the 0 dB line: core rows 19-20, halo 18-21
        d.probe.holdAlpha() = c.alpha;
        const auto image = d.render();
        EXPECT_TRUE(near(image.getPixelAt(kCentreX, 19), c.core));
        EXPECT_TRUE(near(image.getPixelAt(kCentreX, 20), c.core));
        EXPECT_TRUE(near(image.getPixelAt(kCentreX, 18), c.halo));
        EXPECT_TRUE(near(image.getPixelAt(kCentreX, 21), c.halo));
        EXPECT_TRUE(near(image.getPixelAt(kCentreX, 22), base));
    }

    // No marker without a held value or at opacity 0.
    Drawn plain;
    const auto reference = plain.render();
    for (auto [held, alpha] : {std::pair{-99.0f, 1.0f}, std::pair{-12.0f, 0.0f}})
    {
        Drawn d;
        d.probe.heldPeakDb() = held;
        d.probe.holdAlpha() = alpha;
        const auto image = d.render();
        for (int y = 16; y < 177; ++y)
            ASSERT_EQ(image.getPixelAt(kCentreX, y), reference.getPixelAt(kCentreX, y)) << held << " " << y;
    }
}

TEST(OrlintMeterDrawing, ReadoutOutlineAndText)
{
    struct Case
    {
        bool hold;
        float held, alpha;
        C outline;
    };
    const Case cases[] = {
        {false, -99.0f, 1.0f, C(0xff2a2a2a)},
        {false, -12.0f, 0.0f, C(0xff2a2a2a)},
        {false, -12.0f, 1.0f, C(0xff3a3a3a)},
        {true, -12.0f, 1.0f, stack({OrlintMeter::kColBg, OrlintMeter::kColAccent.withAlpha((juce::uint8)0x99)})},
    };
    for (const auto& c : cases)
    {
        Drawn d;
        d.probe.holdEnabled() = c.hold;
        d.probe.heldPeakDb() = c.held;
        d.probe.holdAlpha() = c.alpha;
        const auto image = d.render();
        EXPECT_TRUE(near(image.getPixelAt(kCentreX, 179), c.outline, 1)) << c.hold << " " << c.held;
        EXPECT_EQ(image.getPixelAt(26, 183), OrlintMeter::kColBg); // the box, left of any text
    }

    const std::pair<float, const char*> texts[] = {{-99.0f, "-inf"},  {-98.95f, "-inf"}, {-98.9f, "-98.9"},
                                                   {-12.3f, "-12.3"}, {0.0f, "+0.0"},    {2.5f, "+2.5"}};
    for (auto [held, text] : texts)
        EXPECT_EQ(OrlintMeterProbe::readoutText(held), text) << held;
}

TEST(OrlintMeterDrawing, PeakColumnInset)
{
    // Meters without scale: the inner width is the meter's width minus 8.
    struct Case
    {
        int width;
        bool adaptive;
        int inset; // -1: the column has no width
    };
    const Case cases[] = {{40, true, 3},  {28, true, 2},  {20, true, 1},  {14, true, 1},
                          {40, false, 5}, {20, false, 5}, {14, false, -1}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE(testing::Message() << c.width << " adaptive " << c.adaptive);
        Drawn d(c.width, 200, 2);
        d.meter.adaptivePeakInset = c.adaptive;
        d.probe.brightness() = 70.0f; // no glow, so only the column itself lights
        d.probe.peakDb() = 1.0f;
        const auto image = d.render();

        const int ix = 4, iw = c.width - 8;
        for (int y : {164, 20}) // a scale row and the over-range zone
        {
            int first = -1, count = 0;
            for (int x = ix; x < ix + iw; ++x)
                if (const auto px = image.getPixelAt(x, y); juce::jmax(px.getRed(), px.getGreen()) > 100)
                {
                    first = first < 0 ? x : first;
                    ++count;
                }
            if (c.inset < 0)
            {
                EXPECT_EQ(count, 0) << y;
                continue;
            }
            EXPECT_EQ(first, ix + c.inset) << y;
            EXPECT_EQ(count, iw - 2 * c.inset) << y;
        }
    }
}

TEST(OrlintMeterDrawing, PaintAlwaysRestoresTheGraphicsState)
{
    // Meters up to 59 px tall have no room for the bar's rows; the clip must be undone all the same.
    for (int h : {40, 45, 55, 59, 60, 200})
    {
        Drawn d(60, h, 0);
        juce::Image image(juce::Image::ARGB, 100, 300, true);
        juce::Graphics g(image);
        const auto clipBefore = g.getClipBounds();
        d.meter.paint(g);
        EXPECT_EQ(g.getClipBounds(), clipBefore) << h;

        // What the parent paints next lands where it should.
        g.setColour(juce::Colours::blue);
        g.fillRect(90, 290, 10, 10);
        EXPECT_EQ(image.getPixelAt(95, 295), juce::Colours::blue) << h;
    }
}

TEST(OrlintMeterDrawing, NotANumberBrightnessDrawsAsTheMinimum)
{
    Drawn dim;
    dim.meter.applySettings(1.0f, 200.0f, 300.0f, 1.0f);
    dim.probe.peakDb() = -10.0f;
    Drawn nan;
    nan.meter.applySettings(1.0f, 200.0f, 300.0f, std::numeric_limits<float>::quiet_NaN());
    nan.probe.peakDb() = -10.0f;
    EXPECT_EQ(nan.probe.brightness(), 1.0f);
    const auto a = dim.render();
    const auto b = nan.render();
    for (int y = 16; y < 177; ++y)
        ASSERT_EQ(a.getPixelAt(kCentreX, y), b.getPixelAt(kCentreX, y)) << y;
}

TEST(OrlintMeterDrawing, ColourConstants)
{
    const std::pair<C, juce::uint32> cases[] = {
        {OrlintMeter::kColBg, 0xff161616},     {OrlintMeter::kColBorder, 0xff3a3a3a},
        {OrlintMeter::kColAccent, 0xffdaa520}, {OrlintMeter::kColTextDim, 0xff666666},
        {OrlintMeter::kColGreen, 0xff4caf50},  {OrlintMeter::kColYellow, 0xfff9a825},
        {OrlintMeter::kColOrange, 0xffef6c00}, {OrlintMeter::kColRed, 0xffe53935},
    };
    for (auto [colour, argb] : cases)
        EXPECT_EQ(colour.getARGB(), argb);
    EXPECT_EQ(OrlintMeter::kColBg.darker(0.4f), kBody);
}
