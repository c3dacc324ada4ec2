#include "bivarro/editor/BivarroEditorLinks.h"

#include "bivarro/editor/BivarroSwitches.h"
#include "bivarro/editor/OCols.h"

#include <algorithm>
#include <cmath>

namespace OCols = Bivarro::OCols;

namespace
{
// A stored link state is trusted only within -1..1; anything else would be drawn one way and
// followed another.
int validLinkState(int stored)
{
    return stored >= -1 && stored <= 1 ? stored : 0;
}
} // namespace

BivarroEditorLinks::BivarroEditorLinks(BivarroAudioProcessor& p) : audioProcessor(p)
{
    const auto& s = audioProcessor.settings;
    linkStates[Gain] = validLinkState(s.linkGain.load());
    linkStates[Delay] = validLinkState(s.linkDelay.load());
    linkStates[Freq] = validLinkState(s.linkFreq.load());
    linkStates[Phase] = validLinkState(s.linkPhase.load());
    linkStates[Pol] = validLinkState(s.linkPol.load());
    linkStates[Pan] = validLinkState(s.linkPan.load());
    linkStates[MidSide] = validLinkState(s.linkMidSide.load());
    linkStates[AsymRot] = validLinkState(s.linkAsymRot.load());
    linkStates[Q] = validLinkState(s.linkQ.load());
    linkStates[Ord] = validLinkState(s.linkOrd.load());
    linkStates[MuteL] = validLinkState(s.linkMuteL.load());
    linkStates[MuteSid] = validLinkState(s.linkMuteSid.load());
}

void BivarroEditorLinks::storeStates() const
{
    auto& s = audioProcessor.settings;
    s.linkGain.store(linkStates[Gain]);
    s.linkDelay.store(linkStates[Delay]);
    s.linkFreq.store(linkStates[Freq]);
    s.linkPhase.store(linkStates[Phase]);
    s.linkPan.store(linkStates[Pan]);
    s.linkMidSide.store(linkStates[MidSide]);
    s.linkAsymRot.store(linkStates[AsymRot]);
    s.linkQ.store(linkStates[Q]);
    s.linkOrd.store(linkStates[Ord]);
    s.linkPol.store(linkStates[Pol]);
    s.linkMuteL.store(linkStates[MuteL]);
    s.linkMuteSid.store(linkStates[MuteSid]);
}

void BivarroEditorLinks::changed()
{
    if (onLinksChanged)
        onLinksChanged();
}

//==============================================================================
void BivarroEditorLinks::connectKnobPair(Pair pairIndex, OrlintKnob& a, OrlintKnob& b, const juce::String& idA,
                                         const juce::String& idB, Link link, size_t lastA)
{
    const int i = pairIndex;
    auto& pair = linkPairs[(size_t)i];
    pair.compA = pair.knobA = &a;
    pair.compB = pair.knobB = &b;
    pair.link = &linkStates[(size_t)link];
    pairIds[(size_t)i] = {idA, idB, lastA};

    const juce::WeakReference<BivarroEditorLinks> weak(this);
    const bool isPan = i == PanPair;
    for (const bool isA : {true, false})
    {
        auto& knob = isA ? a : b;
        knob.onValueChange = [this, i, isA] { followKnob(i, isA); };
        knob.onLinkToggled = [this, i, isPan](bool) { toggleKnobLink(i, isPan ? -1 : 1); };
        knob.onInvertLinkToggled = [this, i, isPan](bool) { toggleKnobLink(i, isPan ? 1 : -1); };
        knob.onResetToDefault = [this, i, isA] { resetPartner(i, isA); };
        knob.onDragStart = [weak, i, isA]
        {
            if (weak == nullptr)
                return;
            auto& p = weak->linkPairs[(size_t)i];
            (isA ? p.refA : p.refB) = (isA ? p.knobA : p.knobB)->getValue();
        };
        // Particles on their way go on; those not yet started are dropped.
        knob.onDragEnd = [weak, i]
        {
            if (weak == nullptr)
                return;
            auto& p = weak->linkPairs[(size_t)i];
            p.forwardPending = 0;
            p.backwardPending = 0;
        };
    }
}

void BivarroEditorLinks::connectButtonPair(Link link, BivoButton& a, BivoButton& b, const juce::String& idA,
                                           const juce::String& idB)
{
    buttonPairs[(size_t)link] = {&a, &b};
    for (auto* button : {&a, &b})
    {
        button->onShiftDoubleClick = [this, link] { toggleButtonLink(link, 1); };
        button->onAltDoubleClick = [this, link] { toggleButtonLink(link, -1); };
    }
    if (link == Ord)
    {
        a.onToggle = [this, &a, &b, idA, idB](bool) { toggleOrder(a, idA, b, idB); };
        b.onToggle = [this, &a, &b, idA, idB](bool) { toggleOrder(b, idB, a, idA); };
        return;
    }
    a.onToggle = [this, &b, idA, idB, link](bool on)
    {
        BivarroSwitches::write(audioProcessor.apvts, idA, on);
        applyLinkBtn(linkStates[(size_t)link], on, b, idB);
    };
    b.onToggle = [this, &a, idA, idB, link](bool on)
    {
        BivarroSwitches::write(audioProcessor.apvts, idB, on);
        applyLinkBtn(linkStates[(size_t)link], on, a, idA);
    };
}

void BivarroEditorLinks::connectLinkAllButtons(BivoButton& linkAll, BivoButton& inverseLinkAll)
{
    linkAllButton = &linkAll;
    inverseLinkAllButton = &inverseLinkAll;
    linkAll.onToggle = [this](bool) { linkAllpass(1); };
    inverseLinkAll.onToggle = [this](bool) { linkAllpass(-1); };
}

void BivarroEditorLinks::takeReferences()
{
    resyncAllReferences();
    settledRestores = audioProcessor.stateRestoresDone.load();
}

// The order buttons always look on; a click flips the channel's order whatever they show, and a
// linked partner channel follows.
void BivarroEditorLinks::toggleOrder(BivoButton& button, const juce::String& parameterId, BivoButton& other,
                                     const juce::String& otherId)
{
    const bool second = !BivarroSwitches::isOn(audioProcessor.apvts, parameterId);
    BivarroSwitches::write(audioProcessor.apvts, parameterId, second);
    button.isOn = true;
    button.repaint();
    applyLinkBtn(linkStates[Ord], second, other, otherId);
}

//==============================================================================
bool BivarroEditorLinks::followUpsHeld() const
{
    return linkGuard || audioProcessor.stateRestoresBegun.load() != settledRestores;
}

void BivarroEditorLinks::followKnob(int pairIndex, bool fromA)
{
    auto& pair = linkPairs[(size_t)pairIndex];
    const auto& ids = pairIds[(size_t)pairIndex];
    countParticles(pair, fromA);
    // A restore's values arrive as they were saved; the references are taken once they all arrived.
    if (followUpsHeld())
        return;

    auto& source = fromA ? *pair.knobA : *pair.knobB;
    auto& partner = fromA ? *pair.knobB : *pair.knobA;
    const auto& partnerId = fromA ? ids.idB : ids.idA;
    auto& sourceLast = lastLinkValues[ids.lastA + (fromA ? 0 : 1)];
    applyLink(*pair.link, source, partner, partnerId, sourceLast, pairIndex == PanPair);
}

// The pan knobs have mirrored ranges: there the partner moves by the same share of its own range.
void BivarroEditorLinks::applyLink(int link, OrlintKnob& source, OrlintKnob& partner, const juce::String& partnerId,
                                   double& sourceLast, bool byShareOfRange)
{
    if (link == 0 || linkGuard)
        return;
    const juce::ScopedValueSetter<bool> guard(linkGuard, true);
    const double v = source.getValue();
    double d = v - sourceLast;
    if (byShareOfRange)
    {
        const double r = source.getMaximum() - source.getMinimum();
        d = r > 0.0 ? (partner.getMaximum() - partner.getMinimum()) * (d / r) : 0.0;
    }
    sourceLast = v;
    movePartner(partner, partnerId, partner.getValue() + (link == 1 ? d : -d));
}

// Called with linkGuard set. The host hears the partner's change as a gesture of its own.
void BivarroEditorLinks::movePartner(OrlintKnob& partner, const juce::String& partnerId, double target)
{
    partner.setValue(juce::jlimit(partner.getMinimum(), partner.getMaximum(), target), juce::dontSendNotification);
    auto& partnerLast = lastLinkValueOf(partner);
    partnerLast = partner.getValue();
    if (auto* parameter = audioProcessor.apvts.getParameter(partnerId))
    {
        parameter->beginChangeGesture();
        parameter->setValueNotifyingHost(parameter->convertTo0to1((float)partner.getValue()));
        parameter->endChangeGesture();
    }
    // The attachment may have rounded the value through the parameter.
    partnerLast = partner.getValue();
}

void BivarroEditorLinks::applyLinkBtn(int link, bool state, BivoButton& partner, const juce::String& partnerId)
{
    if (link == 0)
        return;
    const bool s = link == 1 ? state : !state;
    partner.isOn = s;
    partner.repaint();
    BivarroSwitches::write(audioProcessor.apvts, partnerId, s);
}

// The knob that was reset moves too, through the partner's own follow-up.
void BivarroEditorLinks::resetPartner(int pairIndex, bool partnerIsB)
{
    auto& pair = linkPairs[(size_t)pairIndex];
    if (*pair.link == 0)
        return;
    const auto& ids = pairIds[(size_t)pairIndex];
    auto& partner = partnerIsB ? *pair.knobB : *pair.knobA;
    const double def = partner.getDoubleClickReturnValue();
    auto* parameter = audioProcessor.apvts.getParameter(partnerIsB ? ids.idB : ids.idA);
    if (parameter != nullptr)
        parameter->beginChangeGesture();
    partner.setValue(def, juce::sendNotificationSync);
    if (parameter != nullptr)
    {
        parameter->setValueNotifyingHost(parameter->convertTo0to1((float)def));
        parameter->endChangeGesture();
    }
}

// state is what the gesture makes of the pair: it toggles between that and unlinked.
void BivarroEditorLinks::toggleKnobLink(int pairIndex, int state)
{
    auto& entry = *linkPairs[(size_t)pairIndex].link;
    entry = entry == state ? 0 : state;
    resyncReferences(pairIndex);
    changed();
}

void BivarroEditorLinks::toggleButtonLink(Link link, int state)
{
    auto& entry = linkStates[(size_t)link];
    entry = entry == state ? 0 : state;
    changed();
}

void BivarroEditorLinks::linkAllpass(int state)
{
    const Link entries[] = {Freq, Phase, Q, Ord};
    const bool allSet = std::all_of(std::begin(entries), std::end(entries),
                                    [this, state](Link l) { return linkStates[(size_t)l] == state; });
    for (const auto l : entries)
        linkStates[(size_t)l] = allSet ? 0 : state;
    for (const int pair : {FreqPair, PhasePair, QPair})
        resyncReferences(pair);

    auto& own = state == 1 ? *linkAllButton : *inverseLinkAllButton;
    auto& other = state == 1 ? *inverseLinkAllButton : *linkAllButton;
    own.isOn = !allSet;
    other.isOn = false;
    own.repaint();
    other.repaint();
    changed();
}

void BivarroEditorLinks::resyncReferences(int pairIndex)
{
    const auto& pair = linkPairs[(size_t)pairIndex];
    const auto lastA = pairIds[(size_t)pairIndex].lastA;
    lastLinkValues[lastA] = pair.knobA->getValue();
    lastLinkValues[lastA + 1] = pair.knobB->getValue();
}

void BivarroEditorLinks::resyncAllReferences()
{
    for (int i = 0; i < numPairs; ++i)
    {
        resyncReferences(i);
        auto& pair = linkPairs[(size_t)i];
        pair.refA = pair.knobA->getValue();
        pair.refB = pair.knobB->getValue();
    }
}

double& BivarroEditorLinks::lastLinkValueOf(const OrlintKnob& knob)
{
    for (size_t i = 0; i < linkPairs.size(); ++i)
    {
        if (linkPairs[i].knobA == &knob)
            return lastLinkValues[pairIds[i].lastA];
        if (linkPairs[i].knobB == &knob)
            return lastLinkValues[pairIds[i].lastA + 1];
    }
    jassertfalse;
    static double unused = 0.0;
    return unused;
}

//==============================================================================
// A knob change of a linked pair launches particles towards the partner, more for a bigger step.
void BivarroEditorLinks::countParticles(LinkPair& pair, bool fromA)
{
    if (*pair.link == 0 || followUpsHeld())
        return;
    const auto& knob = fromA ? *pair.knobA : *pair.knobB;
    auto& ref = fromA ? pair.refA : pair.refB;
    const int n = LinkPair::particlesFor(std::abs(knob.getValue() - ref), knob.getInterval());
    if (n > 0)
    {
        (fromA ? pair.forwardPending : pair.backwardPending) = n;
        (fromA ? pair.forwardSpawnTimer : pair.backwardSpawnTimer) = 0.0f;
    }
    ref = knob.getValue();
}

// The knob changes of a restore made on another thread were posted to this thread before it
// finished; a message posted now runs after all of them.
void BivarroEditorLinks::settleRestores()
{
    const unsigned done = audioProcessor.stateRestoresDone.load();
    if (settlePending || done == settledRestores || audioProcessor.stateRestoresBegun.load() != done)
        return;
    settlePending = true;
    const juce::WeakReference<BivarroEditorLinks> weak(this);
    juce::MessageManager::callAsync(
        [weak, done]
        {
            if (weak == nullptr)
                return;
            weak->settledRestores = done;
            weak->settlePending = false;
            weak->resyncAllReferences();
        });
}

bool BivarroEditorLinks::advanceParticles()
{
    bool moved = false;
    for (auto& pair : linkPairs)
        moved = pair.advance() || moved;
    return moved;
}

void BivarroEditorLinks::mirrorKnobLooks()
{
    for (const int i : {GainPair, DelayPair, FreqPair, PhasePair, PanPair, MidSidePair, AsymRotPair, QPair})
    {
        const auto& pair = linkPairs[(size_t)i];
        const int gold = goldState(i);
        const bool linked = *pair.link == gold;
        const bool inverse = *pair.link == -gold;
        for (auto* knob : {pair.knobA, pair.knobB})
        {
            if (knob->linked == linked && knob->invertLinked == inverse)
                continue;
            knob->linked = linked;
            knob->invertLinked = inverse;
            knob->repaint();
        }
    }
}

// A linked button pair shows its link in the colour of its labels while off; the two all-pass link
// buttons show whether all four all-pass links are set their way.
void BivarroEditorLinks::mirrorButtonLooks()
{
    for (const Link l : {Pol, MuteL, MuteSid, Ord})
    {
        const auto& buttons = buttonPairs[(size_t)l];
        const int state = linkStates[(size_t)l];
        const auto colour = state == 0 ? juce::Colour(0x00000000) : (state == -1 ? OCols::violet : OCols::accentHi);
        for (auto* b : {buttons.a, buttons.b})
        {
            if (b->offLabelColour == colour)
                continue;
            b->offLabelColour = colour;
            b->repaint();
        }
    }

    const auto allAre = [this](int state)
    {
        return linkStates[Freq] == state && linkStates[Phase] == state && linkStates[Q] == state &&
               linkStates[Ord] == state;
    };
    for (const auto& [button, state] : {std::pair{linkAllButton, 1}, std::pair{inverseLinkAllButton, -1}})
    {
        const bool on = allAre(state);
        if (button->isOn == on)
            continue;
        button->isOn = on;
        button->repaint();
    }
}
