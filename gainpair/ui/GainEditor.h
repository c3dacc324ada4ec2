#pragma once

#include "gainpair/common/GainPairEditorSettings.h"
#include "gainpair/ui/DbReadout.h"
#include "gainpair/ui/EditorScaler.h"
#include "gainpair/ui/GainEditorLayout.h"
#include "gainpair/ui/GainEditorTexts.h"
#include "gainpair/ui/ProductLinks.h"
#include "widgets/HeaderBtnLAF.h"
#include "widgets/HelpPanel.h"
#include "widgets/HelpWindow.h"
#include "widgets/OrlintKnob.h"
#include "widgets/OrlintMeter.h"
#include "widgets/SmallTooltipLAF.h"
#include "widgets/SurfaceCache.h"

#include <juce_audio_processors/juce_audio_processors.h>
#include <juce_gui_basics/juce_gui_basics.h>

#include <atomic>
#include <memory>

namespace gainpair
{
// What both gain editors are: the header with logo, title, link ID and help button; the knob the user
// turns; the bypass button and its lamp; the rows of Ovrel's gain and the compensation with the status
// text below the knob; the meter and its settings; help window, tooltips and language; the editor's
// scale and its stored width. Ovrel's and Undrel's editors add what only they show, place their meter
// and bypass, and fill in each tick. Everything runs on the message thread and reads the processor's
// atomics from a 16 ms timer.
class GainEditor : public juce::AudioProcessorEditor, public juce::Timer
{
public:
    using HelpPanel = ::HelpPanel;
    using HelpWindow = ::HelpWindow;
    using SmallTooltipLAF = ::SmallTooltipLAF;

    // What sets the two editors' shared parts apart.
    struct Face
    {
        // The title, and what the logo opens and tells.
        const char* name;
        const juce::String& helpEnglish;
        const juce::String& helpSpanish;
        GainEditorTexts::OwnTips tips;
        // The knob the user turns.
        const char* knobParameter;
        const char* knobName;
        double knobMinimum, knobMaximum, knobInterval;
        // The meter's scale: 0 on its left, 1 on its right.
        int meterScaleSide;
    };

    GainEditor(juce::AudioProcessor& owner, juce::AudioProcessorValueTreeState& state,
               GainPairEditorSettings& editorSettings, const std::atomic<float>* bypassParameter, const Face& face);
    ~GainEditor() override;

    void paint(juce::Graphics& g) override;
    void resized() override;
    void timerCallback() override;
    // The host's own display scale, which uiScale is composed with rather than fought.
    void setScaleFactor(float newScale) override;

    void setTooltipsEnabled(bool on);
    virtual void setLanguageSpanish(bool spanish);
    void syncMeterParams(float attackMs, float releaseMs, float rmsWindowMs, float brightness);

    static constexpr int minSide = 300;
    static constexpr int maxSide = 700;
    static constexpr int timerIntervalMs = 16;

    juce::AudioProcessorValueTreeState& apvts;

    juce::Label linkIdLabel;
    juce::ComboBox linkIdBox;
    OrlintKnob knob;
    juce::ShapeButton bypassButton{"Bypass", juce::Colours::transparentBlack, juce::Colours::transparentBlack,
                                   juce::Colours::transparentBlack};
    juce::Label statusLabel;
    OrlintMeter meter;
    HeaderBtnLAF headerButtonLaf;
    juce::TextButton helpButton{"?"};
    juce::TextButton logoButton;
    juce::TextButton titleTipZone;
    juce::TextButton linkTipZone;
    // Ovrel's gain: its own in Ovrel, the received one in Undrel.
    juce::Label gainCaption;
    juce::Label gainValueLabel;
    juce::Label compensationCaption;
    juce::Label compensationValueLabel;
    std::unique_ptr<juce::ComboBoxParameterAttachment> linkIdAttachment;
    std::unique_ptr<juce::SliderParameterAttachment> knobAttachment;
    std::unique_ptr<juce::ButtonParameterAttachment> bypassAttachment;
    HelpPanel helpPanel;
    std::unique_ptr<HelpWindow> helpWindow;
    SmallTooltipLAF tooltipLaf;
    bool tooltipsShown = false;
    std::unique_ptr<juce::TooltipWindow> tooltipWindow;

    // Opens the logo's product page; tests put in their own.
    ProductLinks::Launcher openUrl = ProductLinks::defaultBrowser();

protected:
    // The last step of an editor's constructor: lays it out, restores tooltips, language, scale and
    // width, and starts the timer.
    void open();

    bool bypassOn() const;
    void showValues(float gainDb, float compensationDb);

    // Places the meter, the bypass button and the editor's own parts; the rest is placed already.
    virtual void layOut(const GainEditorLayout& layout) = 0;
    // The editor's part of a tick: levels, values, status and its own parts; the scale is followed
    // and what changed is repainted after it.
    virtual void showProcessorState() = 0;
    virtual juce::Colour lampColour() const = 0;
    // Whether any pulse is drawn now, so that the pulses' line is repainted while one is.
    virtual bool pulsesInSight() const = 0;

private:
    // What the painted parts were last drawn from, so a tick repaints only what changed.
    struct PaintedState
    {
        juce::Colour lamp;
        bool pulsesShown = false;
    };

    float storedScale() const;
    void repaintWhatChanged();

    GainPairEditorSettings& settings;
    const std::atomic<float>* const bypassParam;
    const Face face;
    SurfaceCache surface;
    EditorScaler scaler{*this};
    DbReadout gainReadout{gainValueLabel};
    DbReadout compensationReadout{compensationValueLabel};
    PaintedState painted;
    // Where the big knob sits, which the cards and the pulses' line follow.
    juce::Rectangle<int> knobBounds;
    // Layout waits for the editor's own parts; the width is stored once construction has finished.
    bool readyToLayOut = false;
    bool fullyBuilt = false;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(GainEditor)
};
} // namespace gainpair
