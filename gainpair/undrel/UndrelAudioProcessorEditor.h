#pragma once

#include "gainpair/ui/DbReadout.h"
#include "gainpair/ui/EditorScaler.h"
#include "gainpair/ui/ProductLinks.h"
#include "gainpair/ui/PulseSet.h"
#include "gainpair/undrel/UndrelAudioProcessor.h"
#include "widgets/HeaderBtnLAF.h"
#include "widgets/HelpPanel.h"
#include "widgets/HelpWindow.h"
#include "widgets/OrlintKnob.h"
#include "widgets/OrlintMeter.h"
#include "widgets/SmallTooltipLAF.h"
#include "widgets/SurfaceCache.h"

#include <juce_audio_processors/juce_audio_processors.h>
#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>

// Undrel's window: the gain Ovrel publishes (as a value and as a display-only knob turned to its
// inverse), the gain Undrel applies, the trim knob, the output meter, link ID, bypass with its status
// lamp and text, and pulses that run to the knob when the received gain changes. Everything runs on
// the message thread and reads the processor's atomics from a 16 ms timer; never the link block.
class UndrelAudioProcessorEditor : public juce::AudioProcessorEditor, public juce::Timer
{
public:
    using HelpPanel = ::HelpPanel;
    using HelpWindow = ::HelpWindow;
    using SmallTooltipLAF = ::SmallTooltipLAF;

    UndrelAudioProcessorEditor(UndrelAudioProcessor& owner, juce::AudioProcessorValueTreeState& state);
    ~UndrelAudioProcessorEditor() override;

    void paint(juce::Graphics& g) override;
    void paintOverChildren(juce::Graphics& g) override;
    void resized() override;
    void timerCallback() override;
    // The host's own display scale, which uiScale is composed with rather than fought.
    void setScaleFactor(float newScale) override;

    void setTooltipsEnabled(bool on);
    void setLanguageSpanish(bool spanish);
    void syncMeterParams(float attackMs, float releaseMs, float rmsWindowMs, float brightness);

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

    static constexpr int minSide = 300;
    static constexpr int maxSide = 700;
    static constexpr int timerIntervalMs = 16;
    static constexpr float pulseLaunchPhase = -1.008f;

    UndrelAudioProcessor& processor;
    juce::AudioProcessorValueTreeState& apvts;

    juce::Label linkIdLabel;
    juce::Label receivedCaption;
    juce::Label receivedValueLabel;
    juce::Label compensationCaption;
    juce::Label compensationValueLabel;
    juce::Label statusLabel;
    juce::ComboBox linkIdBox;
    OrlintKnob compensationKnob;
    OrlintKnob trimKnob;
    juce::ShapeButton bypassButton{"Bypass", juce::Colours::transparentBlack, juce::Colours::transparentBlack,
                                   juce::Colours::transparentBlack};
    OrlintMeter outputMeter;
    std::unique_ptr<juce::ComboBoxParameterAttachment> linkIdAttachment;
    std::unique_ptr<juce::SliderParameterAttachment> trimAttachment;
    std::unique_ptr<juce::ButtonParameterAttachment> bypassAttachment;
    HeaderBtnLAF headerButtonLaf;
    juce::TextButton helpButton{"?"};
    juce::TextButton logoButton;
    juce::TextButton titleTipZone;
    juce::TextButton linkTipZone;
    HelpPanel helpPanel{helpTextEnglish(), helpTextSpanish()};
    std::unique_ptr<HelpWindow> helpWindow;
    SmallTooltipLAF tooltipLaf;
    bool tooltipsShown = false;
    bool fullyBuilt = false;
    std::unique_ptr<juce::TooltipWindow> tooltipWindow;
    // Launched below phase 0, so each pulse stays unseen for a while before it crosses.
    gainpair::PulseSet pulses{pulseLaunchPhase};

    // Opens the logo's product page; tests put in their own.
    gainpair::ProductLinks::Launcher openUrl = gainpair::ProductLinks::defaultBrowser();

private:
    SurfaceCache surface;

    // What the painted parts were last drawn from, so a tick repaints only what changed.
    struct PaintedState
    {
        juce::Colour lamp;
        bool pulsesShown = false;
    };

    bool bypassOn() const;
    bool receivedBypassOn() const;
    float receivedGain() const;
    float storedScale() const;
    void repaintWhatChanged(juce::Colour lamp);

    gainpair::EditorScaler scaler{*this};
    PaintedState painted;
    gainpair::DbReadout receivedReadout{receivedValueLabel};
    gainpair::DbReadout compensationReadout{compensationValueLabel};
    // The two bypasses the status text was last set from; set again only when they change.
    int statusShownFor = -1;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(UndrelAudioProcessorEditor)
};
