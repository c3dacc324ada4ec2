#pragma once

#include "gainpair/ovrel/OvrelAudioProcessor.h"
#include "gainpair/ui/DbReadout.h"
#include "gainpair/ui/EditorScaler.h"
#include "gainpair/ui/ProductLinks.h"
#include "gainpair/ui/PulseSet.h"
#include "widgets/HeaderBtnLAF.h"
#include "widgets/HelpPanel.h"
#include "widgets/HelpWindow.h"
#include "widgets/OrlintKnob.h"
#include "widgets/OrlintMeter.h"
#include "widgets/SmallTooltipLAF.h"
#include "widgets/SurfaceCache.h"
#include "widgets/TipZone.h"

#include <juce_audio_processors/juce_audio_processors.h>
#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>
#include <optional>

// Ovrel's window: the gain knob and its value, the compensation Undrel reports back, the input
// meter, link ID, bypass, and the role badge and letter while several instances share a link ID.
// Everything runs on the message thread and reads the processor's atomics from a 16 ms timer.
class OvrelAudioProcessorEditor : public juce::AudioProcessorEditor, public juce::Timer
{
public:
    using HelpPanel = ::HelpPanel;
    using HelpWindow = ::HelpWindow;
    using SmallTooltipLAF = ::SmallTooltipLAF;

    OvrelAudioProcessorEditor(OvrelAudioProcessor& owner, juce::AudioProcessorValueTreeState& state);
    ~OvrelAudioProcessorEditor() override;

    void mouseEnter(const juce::MouseEvent&) override {}
    void mouseExit(const juce::MouseEvent&) override {}
    void mouseDown(const juce::MouseEvent& e) override;
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
    struct BadgeColours
    {
        juce::Colour outline, fill;
        juce::String letter;
    };
    // The badge of a role; Alone has none (empty letter).
    static BadgeColours badgeFor(LinkRole role);

    static constexpr int minSide = 300;
    static constexpr int maxSide = 700;
    static constexpr int timerIntervalMs = 16;

    OvrelAudioProcessor& processor;
    juce::AudioProcessorValueTreeState& apvts;

    juce::Label linkIdLabel;
    juce::Label statusLabel;
    juce::Label gainCaption;
    juce::Label gainValueLabel;
    juce::Label compensationCaption;
    juce::Label compensationValueLabel;
    juce::Label instanceLetterLabel;
    // Over the painted badge and the letter, which takes no clicks: shows the role's tooltip there
    // and hands presses on to the editor, which claims the master role for those on the badge.
    TipZone roleTipZone;
    juce::ComboBox linkIdBox;
    OrlintKnob gainKnob;
    juce::ShapeButton bypassButton{"Bypass", juce::Colours::transparentBlack, juce::Colours::transparentBlack,
                                   juce::Colours::transparentBlack};
    OrlintMeter inputMeter;
    std::unique_ptr<juce::ComboBoxParameterAttachment> linkIdAttachment;
    std::unique_ptr<juce::SliderParameterAttachment> gainAttachment;
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
    juce::Rectangle<float> roleBadgeBounds;
    gainpair::PulseSet outPulses{0.0f};
    gainpair::PulseSet inPulses{-1.008f};

    // Opens the logo's product page; tests put in their own.
    gainpair::ProductLinks::Launcher openUrl = gainpair::ProductLinks::defaultBrowser();

private:
    SurfaceCache surface;

    // What the painted parts were last drawn from, so a tick repaints only what changed.
    struct PaintedState
    {
        bool bypass = false;
        bool badgeShown = false;
        LinkRole role = LinkRole::Alone;
        bool pulsesShown = false;
    };

    // What the instance letter was last set up from; it is set up again only when this changes.
    struct LetterState
    {
        bool multi = false;
        LinkRole role = LinkRole::Alone;
        char letter = 0;
        bool operator==(const LetterState&) const = default;
    };

    bool bypassOn() const;
    float gainDb() const;
    LinkRole role() const;
    float storedScale() const;
    void updateInstanceLetter(LinkRole current);
    void repaintWhatChanged(LinkRole current, bool bypass);
    void drawRoleBadge(juce::Graphics& g, LinkRole current);

    gainpair::EditorScaler scaler{*this};
    PaintedState painted;
    std::optional<LetterState> letterShown;
    gainpair::DbReadout gainReadout{gainValueLabel};
    gainpair::DbReadout compensationReadout{compensationValueLabel};

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(OvrelAudioProcessorEditor)
};
