#pragma once

#include "gainpair/ui/GainEditor.h"
#include "gainpair/ui/PulseSet.h"
#include "gainpair/undrel/UndrelAudioProcessor.h"

#include <juce_gui_basics/juce_gui_basics.h>

// Undrel's window: the gain Ovrel publishes (as a value and as a display-only knob turned to its
// inverse), the gain Undrel applies, the trim knob, the output meter on the right, a status text and
// lamp that follow both bypasses, and pulses that run in from the left to the knob when the received
// gain changes. It reads the processor's atomics, never the link block.
class UndrelAudioProcessorEditor : public gainpair::GainEditor
{
public:
    UndrelAudioProcessorEditor(UndrelAudioProcessor& owner, juce::AudioProcessorValueTreeState& state);

    void paintOverChildren(juce::Graphics& g) override;
    void setLanguageSpanish(bool spanish) override;

    static const juce::String& helpTextEnglish();
    static const juce::String& helpTextSpanish();

    // The status text and its colour for the own bypass and Ovrel's; no text while neither is on.
    struct Status
    {
        juce::String text;
        juce::Colour colour;
    };
    static Status statusFor(bool ownBypass, bool receivedBypass);
    // The lamp: red with both bypasses on, orange with one, green with neither.
    static juce::Colour lampColourFor(bool ownBypass, bool receivedBypass);

    static constexpr float pulseLaunchPhase = -1.008f;

    UndrelAudioProcessor& processor;

    OrlintKnob& trimKnob = knob;
    OrlintMeter& outputMeter = meter;
    OrlintKnob compensationKnob;
    // Launched below phase 0, so each pulse stays unseen for a while before it crosses.
    gainpair::PulseSet pulses{pulseLaunchPhase};

private:
    void layOut(const gainpair::GainEditorLayout& layout) override;
    void showProcessorState() override;
    juce::Colour lampColour() const override;
    bool pulsesInSight() const override;

    bool receivedBypassOn() const;
    float receivedGain() const;

    // The two bypasses the status text was last set from; set again only when they change.
    int statusShownFor = -1;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(UndrelAudioProcessorEditor)
};
