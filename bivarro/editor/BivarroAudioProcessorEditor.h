#pragma once

#include "bivarro/editor/AnalyserWindow.h"
#include "bivarro/editor/BivarroEditorLinks.h"
#include "bivarro/editor/BivarroEditorPainter.h"
#include "bivarro/editor/BivarroEditorTexts.h"
#include "bivarro/editor/BivarroSettingSlots.h"
#include "bivarro/editor/BivoButton.h"
#include "bivarro/processor/BivarroAudioProcessor.h"
#include "widgets/HeaderBtnLAF.h"
#include "widgets/HelpPanel.h"
#include "widgets/HelpWindow.h"
#include "widgets/OrlintKnob.h"
#include "widgets/OrlintMeter.h"
#include "widgets/SmallTooltipLAF.h"

#include <juce_audio_processors/juce_audio_processors.h>
#include <juce_gui_basics/juce_gui_basics.h>

#include <array>
#include <functional>
#include <memory>

// Bivarro's editor: twenty knobs, two meters, thirteen toggles and the header buttons on a design
// grid of 216 by 464 units between a fixed header and footer. Everything that must outlive it lives
// in the processor's interface settings, read at construction and written back while it runs.
class BivarroAudioProcessorEditor : public juce::AudioProcessorEditor, public juce::Timer
{
public:
    // The help panel, its window and the tooltip look are the widgets' own; this editor's help
    // window never takes the keyboard from the host.
    using HelpPanel = ::HelpPanel;
    using HelpWindow = ::HelpWindow;
    using SmallTooltipLAF = ::SmallTooltipLAF;

    // A grey veil over the body while bypassed; it never takes a click.
    class BypassOverlay : public juce::Component
    {
    public:
        ~BypassOverlay() override;
        void mouseDown(const juce::MouseEvent& e) override;
        bool hitTest(int x, int y) override;
        void paint(juce::Graphics& g) override;

        bool active = false;
    };

    static constexpr int minWidth = 300;
    static constexpr int maxWidth = 540;
    static constexpr int minHeight = 725;
    static constexpr int maxHeight = 1304;
    static constexpr double aspectRatio = 0.41379310344827586; // 12 / 29
    static constexpr int gridWidth = 216;
    static constexpr int gridHeight = 464;
    static constexpr int headerPx = 30;
    static constexpr int footerPx = 28;
    static constexpr int tooltipDelayMs = 500;
    static constexpr const char* productPageUrl = "https://orlintz.example/plugins/bivarro";

    explicit BivarroAudioProcessorEditor(BivarroAudioProcessor&);
    ~BivarroAudioProcessorEditor() override;

    void mouseDown(const juce::MouseEvent& e) override;
    void paint(juce::Graphics& g) override;
    void resized() override;
    void timerCallback() override;

    // Every language-dependent text of the editor, the help panel and an open analyser window;
    // stores nothing in the processor.
    void setLanguageSpanish(bool spanish);
    void syncMeterParams(float attackMs, float releaseMs, float rmsWindowMs, float brightness);

    // The size an editor opens at for a stored width: the width within limits, the height from the
    // aspect ratio within limits.
    static juce::Rectangle<int> initialBounds(int storedWidth);

    // Opens the product page from the logo; tests replace it so that no browser starts.
    std::function<void(const juce::URL&)> openProductPage = [](const juce::URL& url) { url.launchInDefaultBrowser(); };

private:
    friend struct BivarroEditorProbe;
    friend struct BivarroControlTables;

    void sizeFromProcessor();
    void configureKnobs();
    void attachKnobs();
    void installTextFunctions();
    void reattachKnobs();
    void setUpMeter(OrlintMeter& meter, OrlintMeter& other, int scaleSide, const juce::String& label);
    void setUpHeaderButton(juce::TextButton& button, const juce::String& tooltip);
    void connectLinks();
    void mirrorAllpass();
    void mirrorSwitches();
    // The "Graphic" button's handler: creates the analyser window at the first switch-on, then
    // shows and hides that same window.
    void setAnalyserOn(bool on);
    // The help panel's "Tooltips" switch: the tooltip window exists exactly while tooltips are on.
    void setTooltipsShown(bool on);
    void restoreLanguageAndTooltips();

    BivarroAudioProcessor& audioProcessor;

    OrlintKnob gainLKnob, panLKnob, delayLKnob, apFcLKnob, apPhaseLKnob, apQLKnob;
    OrlintKnob gainRKnob, panRKnob, delayRKnob, apFcRKnob, apPhaseRKnob, apQRKnob;
    BivoButton orderLButton, orderRButton, linkAllButton, inverseLinkAllButton;
    OrlintKnob widthKnob, asymmetryKnob, rotationKnob, trimOutKnob;
    OrlintKnob midGainKnob, sideGainKnob, monoMakerFreqKnob, monoMakerIntKnob;
    OrlintMeter meterL, meterR;
    BivoButton polarityLButton, polarityRButton, muteLButton, muteMidButton, muteSideButton, muteRButton;
    BivoButton monoButton, bypassButton, graphicButton;
    juce::TextButton slotAButton, slotBButton, slotCButton, copyToAButton, helpButton;
    HeaderBtnLAF headerButtonLaf;
    std::array<std::unique_ptr<juce::AudioProcessorValueTreeState::SliderAttachment>, 20> attachments;

    int sectionDividerY = 0;
    int headerHeight = 0;
    int footerHeight = 0;
    bool fullyBuilt = false;
    juce::Rectangle<int> logoBounds;
    BivarroEditorLinks links{audioProcessor};
    BivarroSettingSlots slots{
        audioProcessor, links, slotAButton, slotBButton, slotCButton, copyToAButton, [this] { reattachKnobs(); }};
    BivarroEditorPainter painter{
        {apFcLKnob, apPhaseLKnob, apFcRKnob, apPhaseRKnob, monoMakerFreqKnob, monoMakerIntKnob}, links};
    BypassOverlay bypassOverlay;
    std::unique_ptr<AnalyserWindow> analyserWindow;
    HelpPanel helpPanel{BivarroEditorTexts::helpText(false), BivarroEditorTexts::helpText(true)};
    std::unique_ptr<HelpWindow> helpWindow;
    // Declared before the tooltip window, which draws with it.
    SmallTooltipLAF tooltipLaf;
    std::unique_ptr<juce::TooltipWindow> tooltipWindow;
    bool tooltipsShown = false;
    // The language the texts are in; written only by setLanguageSpanish.
    bool spanishShown = false;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(BivarroAudioProcessorEditor)
};
