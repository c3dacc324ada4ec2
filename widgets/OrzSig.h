#pragma once

#include <juce_graphics/juce_graphics.h>

// The look every editor shares: background and card colours, and the raised card painter.
namespace OrzSig
{
extern const juce::Colour bgTop;
extern const juce::Colour bgBottom;
// The stereo card's face; the gain plug-ins' cards start lighter (gainPairCard).
extern const juce::Colour cardTop;
extern const juce::Colour cardBottom;
extern const juce::Colour accentHi;

// How a card is drawn. Bivarro's editor uses the stereo style; both gain editors pass gainPairCard,
// which is rounder, lighter at the top and takes its outline's alpha from the caller.
struct CardStyle
{
    juce::uint32 topArgb;
    float cornerRadius;
    juce::uint8 highlightAlpha;
    bool outlineAlphaFromCaller;

    juce::Colour top() const { return juce::Colour(topArgb); }
};

inline constexpr CardStyle stereoCard{0xff2a2a2a, 5.0f, 0x04, false};
inline constexpr CardStyle gainPairCard{0xff363636, 6.0f, 0x0f, true};

// A fraction 0..1 as an 8-bit alpha: 0 at or below 0, 255 at or above 1, otherwise the nearest.
inline juce::uint8 alphaOf(float fraction)
{
    if (fraction <= 0.0f)
        return 0;
    if (fraction >= 1.0f)
        return 255;
    return (juce::uint8)juce::roundToInt(fraction * 255.0f);
}

// Paints a raised card: soft drop shadow, gradient face, faint top highlight and gold outline.
// The gain pair's style takes the outline's alpha (0..1) from outlineAlpha; the stereo style uses a
// fixed one. The unused argument is not read by either style.
void drawElevatedCard(juce::Graphics& g, juce::Rectangle<float> bounds, float outlineAlpha, float unused,
                      const CardStyle& style = stereoCard);

// A dot travelling along a link, with a faint streak from `tail` to its `head`: Bivarro's link
// particles and the gain pair's pulses.
void paintTravellingDot(juce::Graphics& g, juce::Point<float> tail, juce::Point<float> head, juce::Colour colour);
} // namespace OrzSig
