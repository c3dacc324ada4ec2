#pragma once

#include "gainpair/ovrel/OvrelAudioProcessor.h"
#include "gainpair/ui/GainEditor.h"
#include "gainpair/ui/PulseSet.h"
#include "widgets/TipZone.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <optional>

// Ovrel's window: the gain knob and its value, the compensation Undrel reports back, the input
// meter on the left, and the role badge and letter while several instances share a link ID, where a
// press on the badge claims the master role. Pulses run out from the knob when the gain changes and
// in from the left while a slave follows its master.
class OvrelAudioProcessorEditor : public gainpair::GainEditor
{
public:
    OvrelAudioProcessorEditor(OvrelAudioProcessor& owner, juce::AudioProcessorValueTreeState& state);

    void mouseEnter(const juce::MouseEvent&) override {}
    void mouseExit(const juce::MouseEvent&) override {}
    void mouseDown(const juce::MouseEvent& e) override;
    void paint(juce::Graphics& g) override;
    void paintOverChildren(juce::Graphics& g) override;

    static const juce::String& helpTextEnglish();
    static const juce::String& helpTextSpanish();
    struct BadgeColours
    {
        juce::Colour outline, fill;
        juce::String letter;
    };
    // The badge of a role; Alone has none (empty letter).
    static BadgeColours badgeFor(LinkRole role);

    OvrelAudioProcessor& processor;

    OrlintKnob& gainKnob = knob;
    OrlintMeter& inputMeter = meter;
    juce::Label instanceLetterLabel;
    // Over the painted badge and the letter, which takes no clicks: shows the role's tooltip there
    // and hands presses on to the editor, which claims the master role for those on the badge.
    TipZone roleTipZone;
    juce::Rectangle<float> roleBadgeBounds;
    gainpair::PulseSet outPulses{0.0f};
    gainpair::PulseSet inPulses{-1.008f};

private:
    // What the badge was last painted from.
    struct BadgeState
    {
        bool shown = false;
        LinkRole role = LinkRole::Alone;
    };

    // What the instance letter was last set up from; it is set up again only when this changes.
    struct LetterState
    {
        bool multi = false;
        LinkRole role = LinkRole::Alone;
        char letter = 0;
        bool operator==(const LetterState&) const = default;
    };

    void layOut(const gainpair::GainEditorLayout& layout) override;
    void showProcessorState() override;
    juce::Colour lampColour() const override;
    bool pulsesInSight() const override;

    float gainDb() const;
    LinkRole role() const;
    void updateInstanceLetter(LinkRole current);
    void repaintBadgeIfChanged(LinkRole current);
    void drawRoleBadge(juce::Graphics& g, LinkRole current);

    BadgeState badgePainted;
    std::optional<LetterState> letterShown;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(OvrelAudioProcessorEditor)
};
