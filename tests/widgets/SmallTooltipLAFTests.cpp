#include "support/EditorSnapshots.h"
#include "widgets/SmallTooltipLAF.h"

#include <gtest/gtest.h>

namespace
{
// A tip drawn at the size the tooltip window gives it.
juce::Image drawTip(SmallTooltipLAF& look, const juce::String& text)
{
    const auto bounds = look.getTooltipBounds(text, {0, 0}, {0, 0, 4000, 4000});
    juce::Image image(juce::Image::ARGB, bounds.getWidth(), bounds.getHeight(), true);
    juce::Graphics g(image);
    look.drawTooltip(g, text, image.getWidth(), image.getHeight());
    return image;
}

// Rows of the text area holding text ink (bright pixels; the body and outline are dark).
juce::Range<int> inkRows(const juce::Image& image)
{
    int first = -1, last = -1;
    for (int y = 1; y < image.getHeight() - 1; ++y)
        for (int x = 6; x < image.getWidth() - 6; ++x)
            if (image.getPixelAt(x, y).getBrightness() > 0.5f)
            {
                if (first < 0)
                    first = y;
                last = y;
                break;
            }
    return first < 0 ? juce::Range<int>() : juce::Range<int>(first, last + 1);
}
} // namespace

TEST(SmallTooltipLAF, TipsAreDrawnWithAllTheirLines)
{
    const juce::String knobAndLink{"Shift + drag: Precision mode\nScroll wheel: Change value by steps\nDouble click: "
                                   "Type value manually\nCtrl + double click: Reset to default\nShift + double click: "
                                   "Link\nAlt + double click: Inverted link"};
    const struct
    {
        juce::String text;
        int lines;
    } cases[] = {
        {"Bypass", 1},
        {"Alt + right click: Settings\nShift + click: Hold peak value", 2},
        {"Bass Mono: crossover frequency (10-4000 Hz)\nShift + drag: Precision mode\nScroll wheel: Change value by "
         "steps",
         3},
        {knobAndLink, 6},
    };

    SmallTooltipLAF look;
    for (const auto& c : cases)
    {
        const auto image = drawTip(look, c.text);
        const auto rows = inkRows(image);
        ASSERT_FALSE(rows.isEmpty()) << c.lines;
        // Each further line moves the last ink down by at least the 11 px font's height.
        EXPECT_GE(rows.getLength(), (c.lines - 1) * 11 + 5) << c.lines << " lines";
        EXPECT_LT(rows.getLength(), c.lines * 16) << c.lines << " lines";
        // And the text stays inside the tip.
        EXPECT_GE(rows.getStart(), 2) << c.lines;
        EXPECT_LE(rows.getEnd(), image.getHeight() - 2) << c.lines;

        // Body colour between the text and the right edge.
        const auto body = image.getPixelAt(image.getWidth() - 3, image.getHeight() / 2);
        EXPECT_EQ(body.getAlpha(), 0xf0);
        EXPECT_NEAR(body.getRed(), 0x22, 2);

        if (c.lines == 6)
            writePng(image, "tooltip-six-lines");
    }
}

TEST(SmallTooltipLAF, TipIsTheDarkRoundedBoxWithSmallLightText)
{
    // The tip as its steps describe it: body, hairline outline, then the text in its inset box.
    const auto reference = [](const juce::String& text, int width, int height)
    {
        juce::Image image(juce::Image::ARGB, width, height, true);
        juce::Graphics g(image);
        g.setColour(juce::Colour(0xf0222222));
        g.fillRoundedRectangle(0.0f, 0.0f, (float)width, (float)height, 3.0f);
        g.setColour(juce::Colour(0xff555555));
        g.drawRoundedRectangle(0.5f, 0.5f, (float)width - 1.0f, (float)height - 1.0f, 3.0f, 0.5f);
        g.setColour(juce::Colour(0xffcccccc));
        g.setFont(juce::FontOptions(11.0f));
        g.drawFittedText(text, 6, 3, width - 12, height - 6, juce::Justification::centredLeft, 3, 0.0f);
        return image;
    };

    SmallTooltipLAF look;
    const struct
    {
        juce::String text;
        int width, height; // 0: the size the tooltip window gives the tip
    } cases[] = {
        {"Bypass", 0, 0},
        {"Alt + right click: Settings\nShift + click: Hold peak value", 0, 0},
        {"Shift + drag: Precision mode\nScroll wheel: Change value by steps\nDouble click: Type value manually\nCtrl "
         "+ double click: Reset to default\nShift + double click: Link\nAlt + double click: Inverted link",
         0, 0},
        // Too long for its box: wrapped onto at most three lines and squeezed.
        {"Link/Unlink all APF parameters (Freq, Phase, Q, Order) and a good deal more text than fits", 120, 40},
        {"Mono (L+R sum)", 200, 60},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.text);
        auto bounds = look.getTooltipBounds(c.text, {0, 0}, {0, 0, 4000, 4000});
        if (c.width > 0)
            bounds.setSize(c.width, c.height);
        juce::Image drawn(juce::Image::ARGB, bounds.getWidth(), bounds.getHeight(), true);
        {
            juce::Graphics g(drawn);
            look.drawTooltip(g, c.text, drawn.getWidth(), drawn.getHeight());
        }
        const auto expected = reference(c.text, bounds.getWidth(), bounds.getHeight());
        int differing = 0;
        for (int y = 0; y < drawn.getHeight(); ++y)
            for (int x = 0; x < drawn.getWidth(); ++x)
                differing += drawn.getPixelAt(x, y) == expected.getPixelAt(x, y) ? 0 : 1;
        EXPECT_EQ(differing, 0) << bounds.toString();
    }
}
