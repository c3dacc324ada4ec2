#include "widgets/OrzSig.h"

namespace
{
constexpr juce::uint8 fixedOutlineAlpha = 0x73;

juce::Rectangle<float> grown(juce::Rectangle<float> r, float by)
{
    return {r.getX() - by, r.getY() - by, juce::jmax(0.0f, r.getWidth() + 2.0f * by),
            juce::jmax(0.0f, r.getHeight() + 2.0f * by)};
}
} // namespace

namespace OrzSig
{
const juce::Colour bgTop{0xff2a2a2a};
const juce::Colour bgBottom{0xff141414};
const juce::Colour cardTop{stereoCard.topArgb};
const juce::Colour cardBottom{0xff202020};
const juce::Colour accentHi{0xffdaa520};

void drawElevatedCard(juce::Graphics& g, juce::Rectangle<float> bounds, float outlineAlpha, float,
                      const CardStyle& style)
{
    const float radius = style.cornerRadius;

    g.setColour(juce::Colours::black.withAlpha((juce::uint8)0x21));
    for (int k = 5; k >= 1; --k)
        g.fillRoundedRectangle(grown(bounds, 0.7f * (float)k).translated(0.0f, 0.9f * (float)k), radius + (float)k);

    g.setGradientFill(juce::ColourGradient(style.top(), bounds.getX(), bounds.getY(), cardBottom, bounds.getX(),
                                           bounds.getBottom(), false));
    g.fillRoundedRectangle(bounds, radius);

    g.setGradientFill(juce::ColourGradient(juce::Colours::white.withAlpha(style.highlightAlpha), bounds.getX(),
                                           bounds.getY(), juce::Colours::transparentBlack, bounds.getX(),
                                           bounds.getY() + bounds.getHeight() / 2.0f, false));
    g.fillRoundedRectangle(grown(bounds, -1.0f), radius);

    const auto alpha = style.outlineAlphaFromCaller ? alphaOf(outlineAlpha) : fixedOutlineAlpha;
    g.setColour(accentHi.withAlpha(alpha));
    g.drawRoundedRectangle(grown(bounds, -0.6f), radius, 1.2f);
}

void paintTravellingDot(juce::Graphics& g, juce::Point<float> tail, juce::Point<float> head, juce::Colour colour)
{
    juce::Path streak;
    streak.startNewSubPath(tail);
    streak.lineTo(head);
    g.setColour(colour.withAlpha((juce::uint8)0x4c));
    g.strokePath(streak, juce::PathStrokeType(0.6f, juce::PathStrokeType::curved, juce::PathStrokeType::rounded));

    g.setColour(colour.withAlpha((juce::uint8)0xe6));
    g.fillEllipse(head.x - 1.0f, head.y - 1.0f, 2.0f, 2.0f);
    g.setColour(juce::Colours::white.withAlpha((juce::uint8)0x8c));
    g.fillEllipse(head.x - 0.45f, head.y - 0.45f, 0.9f, 0.9f);
}
} // namespace OrzSig
