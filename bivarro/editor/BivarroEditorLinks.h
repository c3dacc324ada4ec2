#pragma once

#include "bivarro/editor/BivoButton.h"
#include "bivarro/editor/LinkPair.h"
#include "bivarro/processor/BivarroAudioProcessor.h"
#include "widgets/OrlintKnob.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <array>
#include <functional>

// The editor's knob-pair and button-pair links: the twelve link states, the follow-ups that move a
// linked partner, the link gestures and the particles along the pairs' lines. The editor wires its
// controls to it once, steps it from its timer and paints the pairs it reports.
class BivarroEditorLinks
{
public:
    // Indices of the link states.
    enum Link
    {
        Gain,
        Delay,
        Freq,
        Phase,
        Pol,
        Pan,
        MidSide,
        AsymRot,
        Q,
        Ord,
        MuteL,
        MuteSid,
        numLinks
    };

    // Indices of the knob pairs.
    enum Pair
    {
        GainPair,
        DelayPair,
        FreqPair,
        PhasePair,
        QPair,
        PanPair,
        MidSidePair,
        AsymRotPair,
        numPairs
    };

    // Reads the link states the processor keeps.
    explicit BivarroEditorLinks(BivarroAudioProcessor& processor);

    // Run after a link gesture changed what the pairs' lines show.
    std::function<void()> onLinksChanged;

    // Joins a knob pair; lastA indexes the reference values, whose next entry is knob B's.
    void connectKnobPair(Pair pair, OrlintKnob& a, OrlintKnob& b, const juce::String& idA, const juce::String& idB,
                         Link link, size_t lastA);
    void connectButtonPair(Link link, BivoButton& a, BivoButton& b, const juce::String& idA, const juce::String& idB);
    void connectLinkAllButtons(BivoButton& linkAll, BivoButton& inverseLinkAll);
    // Takes every pair's knob values as its references and counts the restores done so far as arrived.
    void takeReferences();

    // Link follow-ups: move the partner by the source's change since sourceLast (or by the same
    // share of its own range) and tell the host.
    void applyLink(int link, OrlintKnob& source, OrlintKnob& partner, const juce::String& partnerId, double& sourceLast,
                   bool byShareOfRange);
    void applyLinkBtn(int link, bool state, BivoButton& partner, const juce::String& partnerId);

    // Knob changes made while the returned guard lives run no follow-ups (a slot switch's loads).
    [[nodiscard]] juce::ScopedValueSetter<bool> holdFollowUps() { return {linkGuard, true}; }
    void resyncAllReferences();

    // The timer's steps.
    void storeStates() const;
    void settleRestores();
    // True when a particle moved or vanished.
    bool advanceParticles();
    void mirrorKnobLooks();
    void mirrorButtonLooks();

    const std::array<LinkPair, numPairs>& pairs() const { return linkPairs; }
    // The state a pair shows in gold: the pan pair's gestures give it the opposite numbers, and its
    // looks follow the gestures.
    static int goldState(int pair) { return pair == PanPair ? -1 : 1; }

private:
    friend struct BivarroEditorProbe;

    struct KnobPairIds
    {
        juce::String idA, idB;
        size_t lastA = 0;
    };

    struct ButtonPair
    {
        BivoButton* a = nullptr;
        BivoButton* b = nullptr;
    };

    void toggleOrder(BivoButton& button, const juce::String& parameterId, BivoButton& other,
                     const juce::String& otherId);
    void followKnob(int pair, bool fromA);
    void countParticles(LinkPair& pair, bool fromA);
    void movePartner(OrlintKnob& partner, const juce::String& partnerId, double target);
    void resetPartner(int pair, bool partnerIsB);
    void toggleKnobLink(int pair, int state);
    void toggleButtonLink(Link link, int state);
    void linkAllpass(int state);
    void resyncReferences(int pair);
    double& lastLinkValueOf(const OrlintKnob& knob);
    bool followUpsHeld() const;
    void changed();

    BivarroAudioProcessor& audioProcessor;

    bool linkGuard = false;
    std::array<LinkPair, numPairs> linkPairs;
    std::array<KnobPairIds, numPairs> pairIds;
    std::array<ButtonPair, numLinks> buttonPairs;
    BivoButton* linkAllButton = nullptr;
    BivoButton* inverseLinkAllButton = nullptr;
    // gainL, gainR, delayL, delayR, apFcL, apFcR, apPhaseL, apPhaseR, panL, panR, midGain, sideGain,
    // asymmetry, rotation, apQL, apQR.
    std::array<double, 16> lastLinkValues{0.0, 0.0, 0.0, 0.0, 1000.0, 1000.0, 0.0, 0.0,
                                          0.0, 0.0, 0.0, 0.0, 0.0,    0.0,    1.0, 1.0};
    std::array<int, numLinks> linkStates{};

    // Knob changes that a host restore brings through the attachments must not run follow-ups. A
    // restore made on another thread reaches the knobs later, on this thread; the restores up to
    // settledRestores have arrived and the pairs' references were taken from their values.
    unsigned settledRestores = 0;
    bool settlePending = false;

    JUCE_DECLARE_WEAK_REFERENCEABLE(BivarroEditorLinks)
    JUCE_DECLARE_NON_COPYABLE(BivarroEditorLinks)
};
