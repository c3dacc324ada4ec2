#include "bivarro/editor/BivoButton.h"
#include "bivarro/editor/OCols.h"
#include "widgets/KnobTestKit.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{
using knobtest::alt;
using knobtest::ctrl;
using knobtest::none;
using knobtest::shift;

// Records every callback the button raises.
struct BivoButtonTest : ::testing::Test
{
    void SetUp() override
    {
        button.setBounds(0, 0, 60, 20);
        button.onToggle = [this](bool on) { toggles.push_back(on); };
        button.onShiftDoubleClick = [this] { ++shiftDoubles; };
        button.onAltDoubleClick = [this] { ++altDoubles; };
    }

    void click(juce::ModifierKeys mods)
    {
        button.mouseDown(knobtest::eventAt(button, 0, mods));
        button.mouseUp(knobtest::eventAt(button, 0, mods));
    }

    juce::Image render(int w, int h)
    {
        button.setBounds(0, 0, w, h);
        juce::Image img(juce::Image::ARGB, w, h, true, juce::SoftwareImageType());
        juce::Graphics g(img);
        button.paint(g);
        return img;
    }

    BivoButton button{"Mute L", Bivarro::OCols::colL};
    std::vector<bool> toggles;
    int shiftDoubles = 0;
    int altDoubles = 0;
};
} // namespace

TEST_F(BivoButtonTest, StartsOffWithItsLabelAndAccent)
{
    EXPECT_FALSE(button.isOn);
    EXPECT_EQ(button.labelText, "Mute L");
    EXPECT_EQ(button.accentColour.getARGB(), 0xff5599ffu);
    EXPECT_EQ(button.offLabelColour.getARGB(), 0x00000000u);
    EXPECT_TRUE(button.getTooltip().isEmpty());
    button.tooltipText = "Mute L";
    EXPECT_EQ(button.getTooltip(), "Mute L");
}

TEST_F(BivoButtonTest, AClickFlipsAndReportsOnceModifiedClicksDoNothing)
{
    click(none);
    EXPECT_TRUE(button.isOn);
    click(none);
    EXPECT_FALSE(button.isOn);
    EXPECT_EQ(toggles, (std::vector<bool>{true, false}));

    click(shift);
    click(alt);
    EXPECT_FALSE(button.isOn);
    EXPECT_EQ(toggles.size(), 2u);
}

TEST_F(BivoButtonTest, DoubleClicksReportTheirModifier)
{
    const struct
    {
        const char* name;
        juce::ModifierKeys mods;
        int shift, alt;
        size_t toggles;
    } cases[] = {
        {"shift", shift, 1, 0, 0}, {"alt", alt, 0, 1, 0},    {"shift+alt", knobtest::operator|(shift, alt), 1, 0, 0},
        {"ctrl", ctrl, 0, 0, 2},   {"plain", none, 0, 0, 2},
    };
    for (const auto& c : cases)
    {
        SetUp();
        shiftDoubles = altDoubles = 0;
        toggles.clear();
        button.isOn = false;
        knobtest::doubleClick(button, c.mods);
        EXPECT_EQ(shiftDoubles, c.shift) << c.name;
        EXPECT_EQ(altDoubles, c.alt) << c.name;
        EXPECT_EQ(toggles.size(), c.toggles) << c.name;
        EXPECT_FALSE(button.isOn) << c.name << ": a double-click ends where it started";
    }
}

TEST_F(BivoButtonTest, WithoutCallbacksNothingBreaks)
{
    BivoButton bare("X", juce::Colours::red);
    bare.setBounds(0, 0, 20, 10);
    knobtest::doubleClick(bare, shift);
    knobtest::doubleClick(bare, alt);
    knobtest::doubleClick(bare, none);
    EXPECT_FALSE(bare.isOn);
}

TEST_F(BivoButtonTest, FontFollowsTheHeightWithinLimits)
{
    EXPECT_FLOAT_EQ(BivoButton::fontHeightFor(20), 9.0f);
    EXPECT_FLOAT_EQ(BivoButton::fontHeightFor(40), 13.0f);
    EXPECT_FLOAT_EQ(BivoButton::fontHeightFor(25), 10.5f);
}

TEST_F(BivoButtonTest, OnAndOffLooks)
{
    button.labelText = "";
    button.isOn = true;
    auto img = render(60, 20);
    // Inside the box, the fill: the accent at alpha 0x2e.
    const auto fill = img.getPixelAt(30, 10);
    EXPECT_EQ(fill.getAlpha(), 0x2e);
    EXPECT_NEAR(fill.getRed(), 0x55, 6);
    EXPECT_NEAR(fill.getGreen(), 0x99, 6);
    EXPECT_EQ(fill.getBlue(), 0xff);
    // The outline (x -0.1 .. 1.1) covers the edge pixel: the accent at alpha 0xb2 over the fill.
    const auto outline = img.getPixelAt(0, 10);
    EXPECT_NEAR(outline.getAlpha(), 0xb2 + (0xff - 0xb2) * 0x2e / 0xff, 8);
    EXPECT_GE(outline.getBlue(), 0xfa);

    button.isOn = false;
    img = render(60, 20);
    EXPECT_EQ(img.getPixelAt(30, 10).getARGB(), 0xff161616u);
    const auto edge = img.getPixelAt(0, 10);
    EXPECT_LT(edge.getAlpha(), 0xff) << "the thinner grey outline only partly covers the edge pixel";
}

TEST_F(BivoButtonTest, OffLabelIsDimUnlessAnOpaqueColourIsGiven)
{
    // The label's strongest pixel tells its colour.
    const auto labelColour = [this]
    {
        button.labelText = "MMMM";
        const auto img = render(60, 20);
        juce::Colour best;
        int bestDistance = -1;
        for (int y = 0; y < 20; ++y)
            for (int x = 3; x < 57; ++x)
            {
                const auto p = img.getPixelAt(x, y);
                const int d =
                    std::abs(p.getRed() - 0x16) + std::abs(p.getGreen() - 0x16) + std::abs(p.getBlue() - 0x16);
                if (d > bestDistance)
                {
                    bestDistance = d;
                    best = p;
                }
            }
        return best;
    };
    const auto near = [](juce::Colour a, juce::Colour b)
    {
        return std::abs(a.getRed() - b.getRed()) <= 12 && std::abs(a.getGreen() - b.getGreen()) <= 12 &&
               std::abs(a.getBlue() - b.getBlue()) <= 12;
    };

    EXPECT_TRUE(near(labelColour(), juce::Colour(0xff666666))) << labelColour().toDisplayString(true);
    button.offLabelColour = Bivarro::OCols::violet;
    EXPECT_TRUE(near(labelColour(), Bivarro::OCols::violet)) << labelColour().toDisplayString(true);
    button.offLabelColour = Bivarro::OCols::violet.withAlpha((juce::uint8)0x80);
    EXPECT_TRUE(near(labelColour(), juce::Colour(0xff666666))) << labelColour().toDisplayString(true);
    button.isOn = true;
    EXPECT_TRUE(near(labelColour(), juce::Colour(0xff5599ff))) << labelColour().toDisplayString(true);
}

TEST(BivarroPalette, HoldsItsColours)
{
    namespace OCols = Bivarro::OCols;
    const std::pair<juce::Colour, juce::uint32> cases[] = {
        {OCols::bg, 0xff242424},        {OCols::bgDarker, 0xff212121}, {OCols::headerDark, 0xff171717},
        {OCols::display, 0xff161616},   {OCols::border, 0xff3a3a3a},   {OCols::accent, 0xffb8860b},
        {OCols::accentHi, 0xffdaa520},  {OCols::violet, 0xff9b59b6},   {OCols::btnOff, 0xff2a2a2a},
        {OCols::btnOffTxt, 0xffbbbbbb}, {OCols::textLt, 0xffe0e0e0},   {OCols::textMid, 0xffaaaaaa},
        {OCols::textDim, 0xff666666},   {OCols::colL, 0xff5599ff},     {OCols::colR, 0xffff6666}};
    for (const auto& [colour, argb] : cases)
        EXPECT_EQ(colour.getARGB(), argb) << juce::String::toHexString((int)argb);
}
