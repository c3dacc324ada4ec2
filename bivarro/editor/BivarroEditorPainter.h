#pragma once

#include "bivarro/editor/BivarroEditorLinks.h"
#include "widgets/SurfaceCache.h"

#include <juce_gui_basics/juce_gui_basics.h>

// What Bivarro's editor paints under its controls: the background, header, footer, section lines,
// channel labels and cards, then the lines between linked knob pairs and the particles on them.
class BivarroEditorPainter
{
public:
    // The knobs whose bounds place the all-pass and bass-mono cards.
    struct CardKnobs
    {
        const juce::Component& apFcL;
        const juce::Component& apPhaseL;
        const juce::Component& apFcR;
        const juce::Component& apPhaseR;
        const juce::Component& monoMakerFreq;
        const juce::Component& monoMakerInt;
    };

    // The editor's layout values, in pixels.
    struct Frame
    {
        int width = 0, height = 0;
        int headerHeight = 0, footerHeight = 0, sectionDividerY = 0;
        // Pixels per horizontal unit of the design grid.
        float gridUnit = 0.0f;
    };

    BivarroEditorPainter(const CardKnobs& cardKnobs, const BivarroEditorLinks& links);

    // The logo badge in a header of this height.
    static juce::Rectangle<int> logoBadge(int headerHeight) { return {4, (headerHeight - 18) / 2, 20, 18}; }

    void paint(juce::Graphics& g, const Frame& frame);
    // Paints the surface anew on the next paint (after a layout).
    void invalidate() { surface.invalidate(); }

private:
    void paintBackground(juce::Graphics& g, const Frame& frame) const;
    void paintLinkLines(juce::Graphics& g) const;
    void paintLinkParticles(juce::Graphics& g) const;
    static void paintLinkParticle(juce::Graphics& g, juce::Point<float> a, juce::Point<float> b, juce::Colour colour,
                                  float t, int direction);
    juce::Colour linkColour(int pair) const;
    static juce::Point<float> linkPoint(const juce::Component& knob);

    CardKnobs knobs;
    const BivarroEditorLinks& links;
    // Everything but the link lines and particles; redrawn after a layout.
    SurfaceCache surface;
};
