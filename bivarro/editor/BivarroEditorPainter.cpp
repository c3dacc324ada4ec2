#include "bivarro/editor/BivarroEditorPainter.h"

#include "bivarro/editor/OCols.h"
#include "widgets/OrzFonts.h"
#include "widgets/OrzSig.h"

namespace OCols = Bivarro::OCols;
using Links = BivarroEditorLinks;

BivarroEditorPainter::BivarroEditorPainter(const CardKnobs& cardKnobs, const BivarroEditorLinks& l)
    : knobs(cardKnobs), links(l)
{
}

// The surface under the controls changes only with the size, but the meters ask for their part of it
// on every tick: it is drawn once per size into an image, and only the link lines and particles are
// drawn anew.
void BivarroEditorPainter::paint(juce::Graphics& g, const Frame& frame)
{
    surface.draw(g, frame.width, frame.height, [this, &frame](juce::Graphics& sg) { paintBackground(sg, frame); });

    paintLinkLines(g);
    paintLinkParticles(g);
}

void BivarroEditorPainter::paintBackground(juce::Graphics& g, const Frame& frame) const
{
    const int W = frame.width;
    const int H = frame.height;
    const float wf = (float)W;
    const float hf = (float)H;
    const int hh = frame.headerHeight;
    const int fh = frame.footerHeight;
    const int dy = frame.sectionDividerY;
    const float e = frame.gridUnit;
    const auto ex = [e](float k) { return juce::roundToInt(e * k); };

    g.setGradientFill(juce::ColourGradient(OrzSig::bgTop, wf / 2.0f, 0.0f, OrzSig::bgBottom, wf / 2.0f, hf, false));
    g.fillRect(0, 0, W, H);

    juce::ColourGradient vignette(juce::Colours::transparentBlack, wf / 2.0f, 0.78f * hf / 2.0f,
                                  juce::Colours::black.withAlpha((juce::uint8)0x8c), wf / 2.0f, hf, true);
    vignette.addColour(0.52, juce::Colours::transparentBlack);
    g.setGradientFill(vignette);
    g.fillRect(0, 0, W, H);

    g.setGradientFill(juce::ColourGradient(OCols::headerDark, 0.0f, 0.0f, OCols::bgDarker, 0.0f, (float)hh, false));
    g.fillRect(0, 0, W, hh);
    g.setColour(OCols::accent);
    g.fillRect(0, hh - 2, W, 2);

    const auto logoBounds = logoBadge(hh);
    const auto logo = logoBounds.toFloat();
    g.setGradientFill(juce::ColourGradient(OCols::accentHi.brighter(0.3f), logo.getX(), logo.getY(),
                                           OCols::accent.darker(0.4f), logo.getRight(), logo.getBottom(), false));
    g.fillRoundedRectangle(logo, 3.0f);
    g.setColour(juce::Colours::black.withAlpha((juce::uint8)0x99));
    g.setFont(OrzFonts::font(8.5f, true));
    g.drawText("Orz", logoBounds, juce::Justification::centred, false);

    g.setColour(OCols::textLt);
    g.setFont(OrzFonts::font(11.5f, true));
    g.drawText("Bivarro", juce::Rectangle<int>(28, 0, 92, hh), juce::Justification::centredLeft, false);

    g.setColour(OCols::headerDark);
    g.fillRect(0, H - fh, W, fh);
    g.setColour(OCols::accent.withAlpha((juce::uint8)0x59));
    g.fillRect(0, H - fh, W, 1);

    g.setColour(OCols::textMid.withAlpha((juce::uint8)0xcc));
    g.setFont(OrzFonts::font(10.5f));
    g.drawText("v2.0.0", juce::Rectangle<int>(4, H - fh, 40, fh), juce::Justification::centredLeft, false);
    g.setColour(OCols::textDim);
    g.drawText("Orlintz Engineer", juce::Rectangle<int>(0, H - fh + 14, W, 13), juce::Justification::centred, false);

    const int column = ex(62.0f);
    g.setColour(OCols::border);
    g.drawLine((float)column, (float)hh, (float)column, (float)dy, 0.5f);
    g.drawLine((float)(W - column), (float)hh, (float)(W - column), (float)dy, 0.5f);

    g.setColour(OCols::accent.withAlpha((juce::uint8)0x80));
    g.fillRect(0, dy, W, 1);
    g.setColour(OCols::bg);
    g.fillRect(0, dy + 1, W, H - dy - fh - 1);

    g.setFont(OrzFonts::font(9.0f, true));
    g.setColour(OCols::colL);
    g.drawText("L", juce::Rectangle<int>(0, hh + 2, column, 12), juce::Justification::centred, false);
    g.setColour(OCols::colR);
    g.drawText("R", juce::Rectangle<int>(W - column, hh + 2, column, 12), juce::Justification::centred, false);

    const auto allpassCardHeight = [](const juce::Component& fc, const juce::Component& phase)
    { return (phase.getY() - fc.getY()) + 10 + juce::roundToInt(0.92f * (float)phase.getHeight()); };
    const int cardWidth = ex(46.0f) + 10;
    const auto& freq = knobs.monoMakerFreq;
    const juce::Rectangle<int> cards[] = {
        {ex(8.0f) - 5, knobs.apFcL.getY() - 5, cardWidth, allpassCardHeight(knobs.apFcL, knobs.apPhaseL)},
        {ex(162.0f) - 5, knobs.apFcR.getY() - 5, cardWidth, allpassCardHeight(knobs.apFcR, knobs.apPhaseR)},
        {freq.getX() - 4, freq.getY() - 1, freq.getWidth() + 8,
         (knobs.monoMakerInt.getY() - freq.getY()) + knobs.monoMakerInt.getWidth() + 11},
    };
    for (const auto& card : cards)
        OrzSig::drawElevatedCard(g, card.toFloat(), 0.0f, 0.0f);
}

juce::Point<float> BivarroEditorPainter::linkPoint(const juce::Component& knob)
{
    const auto r = knob.getBounds().toFloat();
    return {r.getX() + 0.5f * r.getWidth(), r.getY() + 0.35f * r.getHeight()};
}

// Gold for the pair's gold state, violet for the other.
juce::Colour BivarroEditorPainter::linkColour(int pair) const
{
    const int state = *links.pairs()[(size_t)pair].link;
    return state == Links::goldState(pair) ? OCols::accentHi : OCols::violet;
}

void BivarroEditorPainter::paintLinkLines(juce::Graphics& g) const
{
    for (const int pair : {Links::GainPair, Links::DelayPair, Links::FreqPair, Links::PhasePair, Links::PanPair,
                           Links::MidSidePair, Links::AsymRotPair, Links::QPair})
    {
        const auto& p = links.pairs()[(size_t)pair];
        if (p.link == nullptr || *p.link == 0)
            continue;
        const auto a = linkPoint(*p.compA);
        const auto b = linkPoint(*p.compB);
        g.setColour(linkColour(pair).withAlpha((juce::uint8)0x80));
        g.drawLine(a.x, a.y, b.x, b.y, 1.5f);
    }
}

void BivarroEditorPainter::paintLinkParticles(juce::Graphics& g) const
{
    for (int i = 0; i < Links::numPairs; ++i)
    {
        const auto& p = links.pairs()[(size_t)i];
        if ((p.forwardCount == 0 && p.backwardCount == 0) || p.link == nullptr || *p.link == 0)
            continue;
        const auto colour = linkColour(i);
        const auto a = linkPoint(*p.compA);
        const auto b = linkPoint(*p.compB);
        for (int k = 0; k < p.forwardCount; ++k)
            paintLinkParticle(g, a, b, colour, p.forwardPos[(size_t)k], 1);
        for (int k = 0; k < p.backwardCount; ++k)
            paintLinkParticle(g, a, b, colour, p.backwardPos[(size_t)k], -1);
    }
}

// A dot with a short tail behind it on its way: forward particles run from A to B, backward ones
// from B to A.
void BivarroEditorPainter::paintLinkParticle(juce::Graphics& g, juce::Point<float> a, juce::Point<float> b,
                                             juce::Colour colour, float t, int direction)
{
    const auto at = [a, b](float s) { return juce::Point<float>(a.x + s * (b.x - a.x), a.y + s * (b.y - a.y)); };
    const auto pos = at(t);
    const auto tail = at(direction > 0 ? juce::jmax(t - 0.06f, 0.0f) : juce::jmin(t + 0.06f, 1.0f));
    OrzSig::paintTravellingDot(g, tail, pos, colour);
}
