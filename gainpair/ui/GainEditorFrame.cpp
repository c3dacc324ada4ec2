#include "gainpair/ui/GainEditorFrame.h"

#include "gainpair/ui/OCols.h"
#include "widgets/OrzFonts.h"
#include "widgets/OrzSig.h"

#include <cmath>

namespace gainpair::GainEditorFrame
{
void paint(juce::Graphics& g, int width, int height, const juce::String& title)
{
    const auto w = (float)width;
    const auto h = (float)height;

    g.setGradientFill(juce::ColourGradient(OrzSig::bgTop, w / 2.0f, 0.0f, OrzSig::bgBottom, w / 2.0f, h, false));
    g.fillRect(0.0f, 0.0f, w, h);

    juce::ColourGradient vignette(juce::Colours::transparentBlack, w / 2.0f, 0.39f * h, juce::Colour(0x8c000000),
                                  w / 2.0f, h, true);
    vignette.addColour(0.52, juce::Colours::transparentBlack);
    g.setGradientFill(vignette);
    g.fillRect(0.0f, 0.0f, w, h);

    g.setGradientFill(
        juce::ColourGradient(juce::Colour(0xff171717), 0.0f, 0.0f, juce::Colour(0xff212121), 0.0f, 30.0f, false));
    g.fillRect(0.0f, 0.0f, w, (float)headerHeight);
    g.setColour(OCols::accent);
    g.fillRect(0.0f, 28.0f, w, 2.0f);

    const juce::Rectangle<float> plate(4.0f, 6.0f, 20.0f, 18.0f);
    g.setGradientFill(juce::ColourGradient(OCols::accentHi.brighter(0.3f), 4.0f, 6.0f, OCols::accent.darker(0.4f),
                                           24.0f, 24.0f, false));
    g.fillRoundedRectangle(plate, 3.0f);
    g.setColour(juce::Colour(0x99000000));
    g.setFont(OrzFonts::font(8.5f, true));
    g.drawText("Orz", plate, juce::Justification::centred, false);

    g.setColour(OCols::textLt);
    g.setFont(OrzFonts::font(11.5f, true));
    g.drawText(title, juce::Rectangle<float>(28.0f, 0.0f, 140.0f, 30.0f), juce::Justification::centredLeft, false);

    g.setColour(juce::Colour(0xff171717));
    g.fillRect(0.0f, h - footerHeight, w, (float)footerHeight);
    g.setColour(OCols::accent.withAlpha((juce::uint8)0x59));
    g.fillRect(0.0f, h - footerHeight, w, 1.0f);
    g.setFont(OrzFonts::font(10.5f));
    g.setColour(OCols::textMid.withAlpha((juce::uint8)0xcc));
    g.drawText("v2.0.0", juce::Rectangle<float>(4.0f, h - footerHeight, 40.0f, (float)footerHeight),
               juce::Justification::centredLeft, false);
    g.setColour(OCols::textDim);
    g.drawText("Orlintz Engineer", juce::Rectangle<float>(0.0f, h - 14.0f, w, 13.0f), juce::Justification::centred,
               false);
}

juce::Path powerSymbol()
{
    juce::Path p;
    p.startNewSubPath(12.0f + 8.1f * std::sin(0.6f), 12.0f - 8.1f * std::cos(0.6f));
    for (float a = 0.65f; a < 5.6831856f; a += 0.05f)
        p.lineTo(12.0f + 8.1f * std::sin(a), 12.0f - 8.1f * std::cos(a));
    p.lineTo(7.4263983f, 5.314781f);
    p.startNewSubPath(12.0f, 3.0f);
    p.lineTo(12.0f, 11.1f);
    return p;
}

void paintLamp(juce::Graphics& g, juce::Point<int> buttonTopLeft, float s, juce::Colour colour)
{
    const auto bx = (float)buttonTopLeft.x;
    const auto by = (float)buttonTopLeft.y;
    g.setColour(colour);
    g.strokePath(powerSymbol(),
                 juce::PathStrokeType(2.5f * s, juce::PathStrokeType::mitered, juce::PathStrokeType::butt),
                 juce::AffineTransform::scale(s, s).translated(bx + 8.0f * s, by + 8.0f * s));
}

void paintCards(juce::Graphics& g, juce::Rectangle<int> knobBounds, juce::Rectangle<int> firstCaption, int valueWidth)
{
    const auto knob = knobBounds.toFloat();
    OrzSig::drawElevatedCard(
        g, {knob.getX() - 15.0f, knob.getY() - 4.0f, knob.getWidth() + 30.0f, knob.getHeight() - 22.0f}, 0.65f, 0.0f,
        OrzSig::gainPairCard);

    const auto caption = firstCaption.toFloat();
    OrzSig::drawElevatedCard(g,
                             {caption.getX() - 10.0f, caption.getY() - 4.0f,
                              caption.getWidth() + (float)valueWidth + 20.0f, 2.0f * caption.getHeight() + 8.0f},
                             0.35f, 0.0f, OrzSig::gainPairCard);
}

juce::Rectangle<int> pulseStrip(juce::Rectangle<int> knob, int width)
{
    const float cy = pulseTarget(knob).y;
    return juce::Rectangle<float>(0.0f, cy - 3.0f, (float)width, 6.0f).getSmallestIntegerContainer();
}

juce::Point<float> pulseTarget(juce::Rectangle<int> knob)
{
    const auto k = knob.toFloat();
    return {k.getX() + k.getWidth() * 0.5f, k.getY() + k.getHeight() * 0.35f};
}

void paintPulse(juce::Graphics& g, float phase, juce::Point<float> from, juce::Point<float> to, juce::Colour colour)
{
    const auto head = from + (to - from) * phase;
    const auto tail = from + (to - from) * juce::jmax(phase - 0.06f, 0.0f);
    OrzSig::paintTravellingDot(g, tail, head, colour);
}

void paintPulses(juce::Graphics& g, const PulseSet& pulses, juce::Point<float> from, juce::Point<float> to,
                 juce::Colour colour)
{
    for (int i = 0; i < pulses.count(); ++i)
        if (pulses.phase(i) >= 0.0f)
            paintPulse(g, pulses.phase(i), from, to, colour);
}
} // namespace gainpair::GainEditorFrame
