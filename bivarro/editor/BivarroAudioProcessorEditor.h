#pragma once

#include "bivarro/editor/AnalyserWindow.h"
#include "bivarro/editor/BivarroEditorTexts.h"
#include "bivarro/editor/BivoButton.h"
#include "bivarro/processor/BivarroAudioProcessor.h"
#include "widgets/HeaderBtnLAF.h"
#include "widgets/HelpPanel.h"
#include "widgets/HelpWindow.h"
#include "widgets/OrlintKnob.h"
#include "widgets/OrlintMeter.h"
#include "widgets/SmallTooltipLAF.h"
#include "widgets/SurfaceCache.h"

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

    // One linkable knob pair: its two knobs, its link state and the particles along its line.
    struct LinkPair
    {
        static constexpr int maxParticles = 12;

        juce::Component* compA = nullptr;
        juce::Component* compB = nullptr;
        OrlintKnob* knobA = nullptr;
        OrlintKnob* knobB = nullptr;
        int* link = nullptr;
        int forwardCount = 0;
        std::array<float, maxParticles> forwardPos{};
        int forwardPending = 0;
        float forwardSpawnTimer = 0.0f;
        int backwardCount = 0;
        std::array<float, maxParticles> backwardPos{};
        int backwardPending = 0;
        float backwardSpawnTimer = 0.0f;
        double refA = 0.0;
        double refB = 0.0;

        // One tick of the particles: starts a pending one when its timer allows, moves the live ones
        // and drops those that arrived; an unlinked pair loses them all. True when anything moved.
        bool advance();
        // How many particles a knob change of this distance launches (0 for none), for a knob of
        // this interval.
        static int particlesFor(double distance, double interval);
    };

    // Indices of linkStates.
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

    // Indices of linkPairs.
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
    void updateSlotButtons();
    void reattachKnobs();
    void switchToSlot(int index);
    void copyToSlotA();

    // Link follow-ups: move the partner by the source's change since sourceLast and tell the host.
    void applyLink(int link, OrlintKnob& source, OrlintKnob& partner, const juce::String& partnerId,
                   double& sourceLast);
    void applyLinkPan(int link, OrlintKnob& source, OrlintKnob& partner, const juce::String& partnerId,
                      double& sourceLast);
    void applyLinkBtn(int link, bool state, BivoButton& partner, const juce::String& partnerId);

    // The size an editor opens at for a stored width: the width within limits, the height from the
    // aspect ratio within limits.
    static juce::Rectangle<int> initialBounds(int storedWidth);

    static juce::String gainTextFromValue(double value);
    static double gainValueFromText(const juce::String& text);
    static juce::String freqTextFromValue(double value);
    static double freqValueFromText(const juce::String& text);

    // Opens the product page from the logo; tests replace it so that no browser starts.
    std::function<void(const juce::URL&)> openProductPage = [](const juce::URL& url) { url.launchInDefaultBrowser(); };

private:
    friend struct BivarroEditorProbe;

    // How a knob is bound: its member, parameter, name, range, double-click value, drag settings
    // and tooltip.
    struct KnobSpec
    {
        OrlintKnob BivarroAudioProcessorEditor::*knob;
        const char* parameterId;
        const char* name;
        double minimum, maximum, interval, defaultValue;
        bool proportionalDrag;
        float fontScale;
        double dragStep;
        const char* tooltip;
    };
    static const std::array<KnobSpec, 20>& knobSpecs();

    // A knob pair: its knobs, parameters, link entry and the index of knob A in lastLinkValues.
    struct PairSpec
    {
        OrlintKnob BivarroAudioProcessorEditor::*a;
        OrlintKnob BivarroAudioProcessorEditor::*b;
        const char* idA;
        const char* idB;
        Link link;
        size_t lastA;
    };
    static const std::array<PairSpec, numPairs>& pairSpecs();

    struct ButtonPairSpec
    {
        BivoButton BivarroAudioProcessorEditor::*a;
        BivoButton BivarroAudioProcessorEditor::*b;
        const char* idA;
        const char* idB;
        Link link;
    };
    static const std::array<ButtonPairSpec, 4>& buttonPairSpecs();

    void sizeFromProcessor();
    void configureKnobs();
    void attachKnobs();
    void installTextFunctions();
    void setUpMeter(OrlintMeter& meter, OrlintMeter& other, int scaleSide, const juce::String& label);
    void setUpHeaderButton(juce::TextButton& button, const juce::String& tooltip);
    void storeLinkStates();
    void writeSwitch(const juce::String& parameterId, bool on);
    bool switchIsOn(const juce::String& parameterId) const;
    void toggleOrder(BivoButton& button, const juce::String& parameterId, BivoButton& other,
                     const juce::String& otherId);
    void installLinkHandlers();
    void followKnob(int pair, bool fromA);
    void countParticles(LinkPair& pair, bool fromA);
    void movePartner(OrlintKnob& partner, const juce::String& partnerId, double target);
    void resetPartner(int pair, bool partnerIsB);
    void toggleKnobLink(int pair, int state);
    void toggleButtonLink(Link link, int state);
    void linkAllpass(int state);
    void resyncLinkReferences(int pair);
    void resyncAllLinkReferences();
    double& lastLinkValueOf(const OrlintKnob& knob);
    bool followUpsHeld() const;
    void settleRestores();
    void advanceParticles();
    void mirrorKnobLinkLooks();
    void mirrorAllpass();
    void mirrorSwitches();
    void paintBackground(juce::Graphics& g);
    void paintLinkLines(juce::Graphics& g);
    void paintLinkParticles(juce::Graphics& g);
    void paintLinkParticle(juce::Graphics& g, juce::Point<float> a, juce::Point<float> b, juce::Colour colour, float t,
                           int direction);
    juce::Colour linkColour(int pair) const;
    static juce::Point<float> linkPoint(const juce::Component& knob);
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
    // Everything painted under the controls but the link lines and particles; redrawn after a layout.
    SurfaceCache surface;

    bool linkGuard = false;
    std::array<LinkPair, numPairs> linkPairs;
    // gainL, gainR, delayL, delayR, apFcL, apFcR, apPhaseL, apPhaseR, panL, panR, midGain, sideGain,
    // asymmetry, rotation, apQL, apQR.
    std::array<double, 16> lastLinkValues{0.0, 0.0, 0.0, 0.0, 1000.0, 1000.0, 0.0, 0.0,
                                          0.0, 0.0, 0.0, 0.0, 0.0,    0.0,    1.0, 1.0};
    std::array<int, numLinks> linkStates{};
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

    // Knob changes that a host restore brings through the attachments must not run follow-ups. A
    // restore made on another thread reaches the knobs later, on this thread; the restores up to
    // settledRestores have arrived and the pairs' references were taken from their values.
    unsigned settledRestores = 0;
    bool settlePending = false;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(BivarroAudioProcessorEditor)
};
