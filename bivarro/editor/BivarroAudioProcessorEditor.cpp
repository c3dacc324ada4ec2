#include "bivarro/editor/BivarroAudioProcessorEditor.h"

#include "bivarro/editor/OCols.h"
#include "bivarro/processor/BivarroParameters.h"
#include "widgets/GestureTexts.h"
#include "widgets/OrzFonts.h"
#include "widgets/OrzSig.h"

#include <algorithm>
#include <cmath>

namespace OCols = Bivarro::OCols;
namespace ID = BivarroParameters::ID;

using Editor = BivarroAudioProcessorEditor;

namespace
{
const juce::String infinitySign = juce::String::fromUTF8("\xe2\x88\x9e");

// A stored link state is trusted only within -1..1; anything else would be drawn one way and
// followed another.
int validLinkState(int stored)
{
    return stored >= -1 && stored <= 1 ? stored : 0;
}

// A text of one control in both languages.
template <typename Control> struct LanguageRow
{
    Control BivarroAudioProcessorEditor::*control;
    const char* english;
    const char* spanish;
};
} // namespace

const std::array<Editor::KnobSpec, 20>& BivarroAudioProcessorEditor::knobSpecs()
{
    // In member order, which is also the order of the attachments.
    static const std::array<KnobSpec, 20> specs{{
        {&Editor::gainLKnob, ID::gainL, "Gain", -100.0, 48.0, 0.1, 0.0, false, 1.0f, 0.0, "Gain L (-inf to +48 dB)"},
        {&Editor::panLKnob, ID::panL, "Pan", 0.0, 100.0, 0.1, 0.0, false, 1.0f, 0.0, "Pan L (0=left, 100=right)"},
        {&Editor::delayLKnob, ID::delayL, "Delay", 0.0, 50.0, 0.01, 0.0, false, 1.0f, 0.0, "Delay L (0-50 ms)"},
        {&Editor::apFcLKnob, ID::apFcL, "Freq", 1.0, 20000.0, 0.0, 1000.0, true, 0.85f, 0.0,
         "All-pass freq L (1 Hz-20 kHz)"},
        {&Editor::apPhaseLKnob, ID::apPhaseL, "Phase", 0.0, 180.0, 0.1, 0.0, false, 0.85f, 0.0,
         "All-pass phase L (0-180 deg)"},
        {&Editor::apQLKnob, ID::apQL, "Q", 0.1, 20.0, 0.01, 1.0, false, 0.85f, 0.0,
         "All-pass Q L (0.1-20, 2nd order only)"},
        {&Editor::gainRKnob, ID::gainR, "Gain", -100.0, 48.0, 0.1, 0.0, false, 1.0f, 0.0, "Gain R (-inf to +48 dB)"},
        {&Editor::panRKnob, ID::panR, "Pan", -100.0, 0.0, 0.1, 0.0, false, 1.0f, 0.0, "Pan R (-100=left, 0=right)"},
        {&Editor::delayRKnob, ID::delayR, "Delay", 0.0, 50.0, 0.01, 0.0, false, 1.0f, 0.0, "Delay R (0-50 ms)"},
        {&Editor::apFcRKnob, ID::apFcR, "Freq", 1.0, 20000.0, 0.0, 1000.0, true, 0.85f, 0.0,
         "All-pass freq R (1 Hz-20 kHz)"},
        {&Editor::apPhaseRKnob, ID::apPhaseR, "Phase", 0.0, 180.0, 0.1, 0.0, false, 0.85f, 0.0,
         "All-pass phase R (0-180 deg)"},
        {&Editor::apQRKnob, ID::apQR, "Q", 0.1, 20.0, 0.01, 1.0, false, 0.85f, 0.0,
         "All-pass Q R (0.1-20, 2nd order only)"},
        {&Editor::widthKnob, ID::width, "Width", 0.0, 500.0, 0.1, 100.0, false, 1.0f, 0.0,
         "Stereo width (0%=mono, 100%=normal, 500%=max)"},
        {&Editor::asymmetryKnob, ID::asymmetry, "Asymmetry", -90.0, 90.0, 0.1, 0.0, false, 1.0f, 0.0,
         "Asymmetry (-90 to +90 deg)"},
        {&Editor::rotationKnob, ID::rotation, "Rotation", -45.0, 45.0, 0.1, 0.0, false, 1.0f, 0.0,
         "Rotation (-45 to +45 deg)"},
        {&Editor::trimOutKnob, ID::trimOut, "Trim Out", -48.0, 24.0, 0.1, 0.0, false, 1.0f, 0.0,
         "Trim out (-48 to +24 dB)"},
        {&Editor::midGainKnob, ID::midGain, "Mid", -48.0, 24.0, 0.1, 0.0, false, 1.0f, 0.0, "Mid gain (-48 to +24 dB)"},
        {&Editor::sideGainKnob, ID::sideGain, "Side", -48.0, 24.0, 0.1, 0.0, false, 1.0f, 0.0,
         "Side gain (-48 to +24 dB)"},
        {&Editor::monoMakerFreqKnob, ID::monoMakerFreq, "Freq", 10.0, 4000.0, 0.0, 10.0, true, 0.85f, 0.0,
         "Bass Mono: crossover frequency (10-4000 Hz)"},
        {&Editor::monoMakerIntKnob, ID::monoMakerInt, "Intensity", 0.0, 100.0, 1.0, 0.0, false, 0.85f, 1.0,
         "Bass Mono: intensity (0%=off, 100%=full mono below freq)"},
    }};
    return specs;
}

const std::array<Editor::PairSpec, Editor::numPairs>& BivarroAudioProcessorEditor::pairSpecs()
{
    // In the order of linkPairs; lastA indexes lastLinkValues, whose next entry is knob B's.
    static const std::array<PairSpec, numPairs> specs{{
        {&Editor::gainLKnob, &Editor::gainRKnob, ID::gainL, ID::gainR, Gain, 0},
        {&Editor::delayLKnob, &Editor::delayRKnob, ID::delayL, ID::delayR, Delay, 2},
        {&Editor::apFcLKnob, &Editor::apFcRKnob, ID::apFcL, ID::apFcR, Freq, 4},
        {&Editor::apPhaseLKnob, &Editor::apPhaseRKnob, ID::apPhaseL, ID::apPhaseR, Phase, 6},
        {&Editor::apQLKnob, &Editor::apQRKnob, ID::apQL, ID::apQR, Q, 14},
        {&Editor::panLKnob, &Editor::panRKnob, ID::panL, ID::panR, Pan, 8},
        {&Editor::midGainKnob, &Editor::sideGainKnob, ID::midGain, ID::sideGain, MidSide, 10},
        {&Editor::asymmetryKnob, &Editor::rotationKnob, ID::asymmetry, ID::rotation, AsymRot, 12},
    }};
    return specs;
}

const std::array<Editor::ButtonPairSpec, 4>& BivarroAudioProcessorEditor::buttonPairSpecs()
{
    static const std::array<ButtonPairSpec, 4> specs{{
        {&Editor::orderLButton, &Editor::orderRButton, ID::apOrder2L, ID::apOrder2R, Ord},
        {&Editor::polarityLButton, &Editor::polarityRButton, ID::polarityL, ID::polarityR, Pol},
        {&Editor::muteLButton, &Editor::muteRButton, ID::muteL, ID::muteR, MuteL},
        {&Editor::muteMidButton, &Editor::muteSideButton, ID::muteMid, ID::muteSide, MuteSid},
    }};
    return specs;
}

//==============================================================================
BivarroAudioProcessorEditor::BypassOverlay::~BypassOverlay() = default;

void BivarroAudioProcessorEditor::BypassOverlay::mouseDown(const juce::MouseEvent& e)
{
    if (auto* parent = getParentComponent())
        parent->mouseDown(e.getEventRelativeTo(parent));
}

bool BivarroAudioProcessorEditor::BypassOverlay::hitTest(int, int)
{
    return false;
}

void BivarroAudioProcessorEditor::BypassOverlay::paint(juce::Graphics& g)
{
    if (active)
        g.fillAll(juce::Colour(0x88333333));
}

//==============================================================================
BivarroAudioProcessorEditor::BivarroAudioProcessorEditor(BivarroAudioProcessor& p)
    : juce::AudioProcessorEditor(p), audioProcessor(p), orderLButton("1st", OCols::accentHi),
      orderRButton("1st", OCols::accentHi), linkAllButton("Lnk", OCols::accentHi),
      inverseLinkAllButton("Lnk", juce::Colour(0xff9b59b6)), polarityLButton("Polarity L", OCols::accentHi),
      polarityRButton("Polarity R", OCols::accentHi), muteLButton("Mute L", OCols::colL),
      muteMidButton("Mute M", OCols::accentHi), muteSideButton("Mute S", OCols::accentHi),
      muteRButton("Mute R", OCols::colR), monoButton("Mono", OCols::accentHi), bypassButton("Bypass", OCols::accentHi),
      graphicButton("Graphic", OCols::accentHi)
{
    setResizable(true, true);
    setResizeLimits(minWidth, minHeight, maxWidth, maxHeight);
    getConstrainer()->setFixedAspectRatio(aspectRatio);
    sizeFromProcessor();

    linkStates[Gain] = validLinkState(audioProcessor.settings.linkGain.load());
    linkStates[Delay] = validLinkState(audioProcessor.settings.linkDelay.load());
    linkStates[Freq] = validLinkState(audioProcessor.settings.linkFreq.load());
    linkStates[Phase] = validLinkState(audioProcessor.settings.linkPhase.load());
    linkStates[Pol] = validLinkState(audioProcessor.settings.linkPol.load());
    linkStates[Pan] = validLinkState(audioProcessor.settings.linkPan.load());
    linkStates[MidSide] = validLinkState(audioProcessor.settings.linkMidSide.load());
    linkStates[AsymRot] = validLinkState(audioProcessor.settings.linkAsymRot.load());
    linkStates[Q] = validLinkState(audioProcessor.settings.linkQ.load());
    linkStates[Ord] = validLinkState(audioProcessor.settings.linkOrd.load());
    linkStates[MuteL] = validLinkState(audioProcessor.settings.linkMuteL.load());
    linkStates[MuteSid] = validLinkState(audioProcessor.settings.linkMuteSid.load());

    configureKnobs();

    for (auto* b : {&orderLButton, &orderRButton})
    {
        addAndMakeVisible(*b);
        b->isOn = true;
    }
    addAndMakeVisible(linkAllButton);
    addAndMakeVisible(inverseLinkAllButton);
    linkAllButton.tooltipText = "Link/Unlink all APF parameters (Freq, Phase, Q, Order)";
    inverseLinkAllButton.tooltipText = "Inverted link all APF parameters (Freq, Phase, Q, Order)";
    orderLButton.tooltipText = "APF order: 1st (shelf) / 2nd (bell)";
    orderRButton.tooltipText = "APF order: 1st (shelf) / 2nd (bell)";

    setUpMeter(meterL, meterR, 0, "L");
    setUpMeter(meterR, meterL, 1, "R");
    for (auto* m : {&meterL, &meterR})
        m->setHoldEnabled(audioProcessor.settings.meterHold.load());

    const struct
    {
        BivoButton* button;
        const char* tooltip;
    } lowerButtons[] = {{&polarityLButton, "Invert L polarity"},
                        {&polarityRButton, "Invert R polarity"},
                        {&muteLButton, "Mute L"},
                        {&muteRButton, "Mute R"},
                        {&muteMidButton, "Mute Mid"},
                        {&muteSideButton, "Mute Side"},
                        {&monoButton, "Mono (L+R sum)"},
                        {&bypassButton, "Bypass"},
                        {&graphicButton, "Open/close Analyser"}};
    for (const auto& b : lowerButtons)
    {
        addAndMakeVisible(*b.button);
        b.button->tooltipText = b.tooltip;
    }

    setUpHeaderButton(slotAButton, "Slot A");
    setUpHeaderButton(slotBButton, "Slot B");
    setUpHeaderButton(slotCButton, "Slot C");
    setUpHeaderButton(copyToAButton, "Copy current settings to slot A");
    setUpHeaderButton(helpButton, "Help & shortcuts");
    slotAButton.setButtonText("A");
    slotBButton.setButtonText("B");
    slotCButton.setButtonText("C");
    copyToAButton.setButtonText("Copy A");
    helpButton.setButtonText("?");
    slotAButton.setColour(juce::TextButton::buttonColourId, OCols::accentHi);
    slotAButton.setColour(juce::TextButton::textColourOffId, juce::Colour(0xff000000));
    updateSlotButtons();
    slotAButton.onClick = [this] { switchToSlot(0); };
    slotBButton.onClick = [this] { switchToSlot(1); };
    slotCButton.onClick = [this] { switchToSlot(2); };
    copyToAButton.onClick = [this] { copyToSlotA(); };
    helpButton.onClick = [this]
    { HelpWindow::toggle(helpWindow, helpPanel, *this, tooltipsShown, HelpWindow::Focus::never); };

    monoButton.onToggle = [this](bool on) { writeSwitch(ID::mono, on); };
    bypassButton.onToggle = [this](bool on) { writeSwitch(ID::bypass, on); };
    graphicButton.onToggle = [this](bool on) { setAnalyserOn(on); };

    attachKnobs();
    installTextFunctions();

    startTimer(16);

    for (size_t i = 0; i < (size_t)numPairs; ++i)
    {
        const auto& spec = pairSpecs()[i];
        auto& pair = linkPairs[i];
        pair.compA = pair.knobA = &(this->*spec.a);
        pair.compB = pair.knobB = &(this->*spec.b);
        pair.link = &linkStates[(size_t)spec.link];
        pair.refA = pair.knobA->getValue();
        pair.refB = pair.knobB->getValue();
    }

    helpPanel.onTooltipsToggled = [this](bool on) { setTooltipsShown(on); };
    helpPanel.onLanguageToggled = [this](bool spanish)
    {
        setLanguageSpanish(spanish);
        audioProcessor.settings.languageSpanish.store(spanish);
    };
    restoreLanguageAndTooltips();

    addAndMakeVisible(bypassOverlay);
    bypassOverlay.setAlwaysOnTop(true);
    bypassOverlay.setInterceptsMouseClicks(false, false);

    const OrlintKnob* linkOrder[16] = {&gainLKnob,     &gainRKnob,    &delayLKnob,   &delayRKnob,
                                       &apFcLKnob,     &apFcRKnob,    &apPhaseLKnob, &apPhaseRKnob,
                                       &panLKnob,      &panRKnob,     &midGainKnob,  &sideGainKnob,
                                       &asymmetryKnob, &rotationKnob, &apQLKnob,     &apQRKnob};
    for (size_t i = 0; i < lastLinkValues.size(); ++i)
        lastLinkValues[i] = linkOrder[i]->getValue();
    settledRestores = audioProcessor.stateRestoresDone.load();
    installLinkHandlers();

    fullyBuilt = true;
    sizeFromProcessor();

    if (audioProcessor.settings.analyserOpen.load())
    {
        graphicButton.isOn = true;
        graphicButton.repaint();
        graphicButton.onToggle(true);
    }
}

BivarroAudioProcessorEditor::~BivarroAudioProcessorEditor()
{
    stopTimer();
    SmallTooltipLAF::switchWindow(tooltipWindow, *this, tooltipLaf, false, tooltipDelayMs);
    helpPanel.onTooltipsToggled = nullptr;
    helpPanel.onLanguageToggled = nullptr;
    if (helpWindow != nullptr)
    {
        // The window lets go of the panel, which is this editor's.
        helpWindow->setVisible(false);
        helpWindow.reset();
    }

    audioProcessor.settings.analyserOpen.store(analyserWindow != nullptr && analyserWindow->isVisible());
    analyserWindow.reset();

    // A gesture still open must reach the host while the attachments exist.
    for (const auto& spec : knobSpecs())
        (this->*spec.knob).finishGestures();

    for (auto* b : {&slotAButton, &slotBButton, &slotCButton, &copyToAButton, &helpButton})
        b->onClick = nullptr;
    for (auto* b :
         {&orderLButton, &orderRButton, &linkAllButton, &inverseLinkAllButton, &polarityLButton, &polarityRButton,
          &muteLButton, &muteMidButton, &muteSideButton, &muteRButton, &monoButton, &bypassButton, &graphicButton})
    {
        b->onToggle = nullptr;
        b->onShiftDoubleClick = nullptr;
        b->onAltDoubleClick = nullptr;
    }
    for (auto* b : {&slotAButton, &slotBButton, &slotCButton, &copyToAButton, &helpButton})
        b->setLookAndFeel(nullptr);

    const int slot = audioProcessor.settings.activeSlot.load();
    if (slot >= 0 && slot <= 2)
    {
        const juce::ScopedLock lock(audioProcessor.slotLock);
        audioProcessor.slots[(size_t)slot] = audioProcessor.apvts.copyState();
    }

    storeLinkStates();
}

//==============================================================================
juce::Rectangle<int> BivarroAudioProcessorEditor::initialBounds(int storedWidth)
{
    const int w = juce::jlimit(minWidth, maxWidth, storedWidth);
    const int h = juce::jlimit(minHeight, maxHeight, juce::roundToInt((double)w / aspectRatio));
    return {0, 0, w, h};
}

void BivarroAudioProcessorEditor::sizeFromProcessor()
{
    const auto b = initialBounds(audioProcessor.settings.editorWidth.load());
    setSize(b.getWidth(), b.getHeight());
}

void BivarroAudioProcessorEditor::configureKnobs()
{
    for (const auto& spec : knobSpecs())
    {
        auto& knob = this->*spec.knob;
        knob.setParamName(spec.name);
        knob.setRange(spec.minimum, spec.maximum, spec.interval);
        knob.setDoubleClickReturnValue(true, spec.defaultValue);
        knob.proportionalDrag = spec.proportionalDrag;
        knob.fontScale = spec.fontScale;
        knob.dragStep = spec.dragStep;
        knob.continuousDrag = false;
        knob.setTooltip(spec.tooltip);
    }
    for (auto* k : {&gainLKnob, &gainRKnob})
    {
        k->textFromValueFunction = gainTextFromValue;
        k->valueFromTextFunction = gainValueFromText;
    }
    for (const auto& spec : knobSpecs())
        addAndMakeVisible(this->*spec.knob);
}

void BivarroAudioProcessorEditor::attachKnobs()
{
    for (size_t i = 0; i < attachments.size(); ++i)
    {
        const auto& spec = knobSpecs()[i];
        attachments[i] = std::make_unique<juce::AudioProcessorValueTreeState::SliderAttachment>(
            audioProcessor.apvts, spec.parameterId, this->*spec.knob);
    }
}

// An attachment installs the parameter's own text functions, so these go in after it.
void BivarroAudioProcessorEditor::installTextFunctions()
{
    for (auto* k : {&gainLKnob, &gainRKnob})
    {
        k->textFromValueFunction = gainTextFromValue;
        k->valueFromTextFunction = gainValueFromText;
    }
    for (auto* k : {&apFcLKnob, &apFcRKnob, &monoMakerFreqKnob})
    {
        k->textFromValueFunction = freqTextFromValue;
        k->valueFromTextFunction = freqValueFromText;
    }
    apFcLKnob.setSkewFactorFromMidPoint(1000.0);
    apFcRKnob.setSkewFactorFromMidPoint(1000.0);
    monoMakerFreqKnob.setSkewFactorFromMidPoint(500.0);
}

void BivarroAudioProcessorEditor::setUpMeter(OrlintMeter& meter, OrlintMeter& other, int scaleSide,
                                             const juce::String& label)
{
    meter.setScaleSide(scaleSide);
    meter.setChannelLabel(label);
    addAndMakeVisible(meter);

    const juce::Component::SafePointer<BivarroAudioProcessorEditor> safe(this);
    meter.onSettingsChanged = [safe](float attackMs, float releaseMs, float rmsWindowMs, float brightness)
    {
        if (safe != nullptr)
            safe->syncMeterParams(attackMs, releaseMs, rmsWindowMs, brightness);
    };
    meter.onHoldChanged = [safe, &other](bool on)
    {
        if (safe == nullptr)
            return;
        safe->audioProcessor.settings.meterHold.store(on);
        if (other.isHoldEnabled() != on)
            other.setHoldEnabled(on);
    };
}

void BivarroAudioProcessorEditor::setUpHeaderButton(juce::TextButton& button, const juce::String& tooltip)
{
    addAndMakeVisible(button);
    button.setLookAndFeel(&headerButtonLaf);
    button.setColour(juce::TextButton::buttonColourId, OCols::btnOff);
    button.setColour(juce::TextButton::textColourOffId, OCols::btnOffTxt);
    button.setColour(juce::TextButton::textColourOnId, juce::Colour(0xff000000));
    button.setColour(juce::TextButton::buttonOnColourId, OCols::accentHi);
    button.setTooltip(tooltip);
}

void BivarroAudioProcessorEditor::updateSlotButtons()
{
    const int active = audioProcessor.settings.activeSlot.load();
    juce::TextButton* slotButtons[] = {&slotAButton, &slotBButton, &slotCButton};
    for (int i = 0; i < 3; ++i)
    {
        auto& b = *slotButtons[i];
        const bool isActive = i == active;
        b.setColour(juce::TextButton::buttonColourId, isActive ? OCols::accentHi : OCols::btnOff);
        b.setColour(juce::TextButton::textColourOffId, isActive ? juce::Colour(0xff000000) : OCols::btnOffTxt);
        b.setColour(juce::TextButton::textColourOnId, juce::Colour(0xff000000));
        b.setColour(juce::TextButton::buttonOnColourId, OCols::accentHi);
        b.repaint();
    }
    copyToAButton.setVisible(active != 0);
    copyToAButton.repaint();
}

// The slot that was in use keeps the live settings; the live state becomes the chosen slot's tree.
// The knobs take the loaded values without running link follow-ups, which would rewrite a linked
// partner's loaded value and with it the slot's own data.
void BivarroAudioProcessorEditor::switchToSlot(int index)
{
    {
        const juce::ScopedValueSetter<bool> guard(linkGuard, true);
        {
            const juce::ScopedLock lock(audioProcessor.slotLock);
            auto& slots = audioProcessor.slots;
            if (slots[(size_t)index].isValid())
            {
                const int active = audioProcessor.settings.activeSlot.load();
                if (active >= 0 && active <= 2)
                    slots[(size_t)active] = audioProcessor.apvts.copyState();
                audioProcessor.settings.activeSlot.store(index);
                audioProcessor.apvts.replaceState(slots[(size_t)index]);
            }
        }
        reattachKnobs();
    }
    resyncAllLinkReferences();
    updateSlotButtons();
}

void BivarroAudioProcessorEditor::copyToSlotA()
{
    {
        const juce::ScopedLock lock(audioProcessor.slotLock);
        if (audioProcessor.settings.activeSlot.load() != 0)
            audioProcessor.slots[0] = audioProcessor.apvts.copyState();
    }
    updateSlotButtons();
}

void BivarroAudioProcessorEditor::reattachKnobs()
{
    // A wheel gesture still open must end while its attachment exists.
    for (const auto& spec : knobSpecs())
        (this->*spec.knob).finishGestures();
    for (auto& a : attachments)
        a.reset();
    attachKnobs();
    installTextFunctions();
}

void BivarroAudioProcessorEditor::syncMeterParams(float attackMs, float releaseMs, float rmsWindowMs, float brightness)
{
    meterL.applySettings(attackMs, releaseMs, rmsWindowMs, brightness);
    meterR.applySettings(attackMs, releaseMs, rmsWindowMs, brightness);
}

void BivarroAudioProcessorEditor::storeLinkStates()
{
    audioProcessor.settings.linkGain.store(linkStates[Gain]);
    audioProcessor.settings.linkDelay.store(linkStates[Delay]);
    audioProcessor.settings.linkFreq.store(linkStates[Freq]);
    audioProcessor.settings.linkPhase.store(linkStates[Phase]);
    audioProcessor.settings.linkPan.store(linkStates[Pan]);
    audioProcessor.settings.linkMidSide.store(linkStates[MidSide]);
    audioProcessor.settings.linkAsymRot.store(linkStates[AsymRot]);
    audioProcessor.settings.linkQ.store(linkStates[Q]);
    audioProcessor.settings.linkOrd.store(linkStates[Ord]);
    audioProcessor.settings.linkPol.store(linkStates[Pol]);
    audioProcessor.settings.linkMuteL.store(linkStates[MuteL]);
    audioProcessor.settings.linkMuteSid.store(linkStates[MuteSid]);
}

//==============================================================================
// One complete gesture per click, so that hosts record touch automation and undo steps.
void BivarroAudioProcessorEditor::writeSwitch(const juce::String& parameterId, bool on)
{
    if (auto* parameter = audioProcessor.apvts.getParameter(parameterId))
    {
        parameter->beginChangeGesture();
        parameter->setValueNotifyingHost(on ? 1.0f : 0.0f);
        parameter->endChangeGesture();
    }
}

bool BivarroAudioProcessorEditor::switchIsOn(const juce::String& parameterId) const
{
    const auto* raw = audioProcessor.apvts.getRawParameterValue(parameterId);
    return raw != nullptr && raw->load() > 0.5f;
}

// The order buttons always look on; a click flips the channel's order whatever they show, and a
// linked partner channel follows.
void BivarroAudioProcessorEditor::toggleOrder(BivoButton& button, const juce::String& parameterId, BivoButton& other,
                                              const juce::String& otherId)
{
    const bool second = !switchIsOn(parameterId);
    writeSwitch(parameterId, second);
    button.isOn = true;
    button.repaint();
    applyLinkBtn(linkStates[Ord], second, other, otherId);
}

//==============================================================================
void BivarroAudioProcessorEditor::installLinkHandlers()
{
    const juce::Component::SafePointer<BivarroAudioProcessorEditor> safe(this);
    for (int i = 0; i < numPairs; ++i)
    {
        auto& pair = linkPairs[(size_t)i];
        const bool isPan = i == PanPair;
        for (const bool isA : {true, false})
        {
            auto& knob = isA ? *pair.knobA : *pair.knobB;
            knob.onValueChange = [this, i, isA] { followKnob(i, isA); };
            knob.onLinkToggled = [this, i, isPan](bool) { toggleKnobLink(i, isPan ? -1 : 1); };
            knob.onInvertLinkToggled = [this, i, isPan](bool) { toggleKnobLink(i, isPan ? 1 : -1); };
            knob.onResetToDefault = [this, i, isA] { resetPartner(i, isA); };
            knob.onDragStart = [safe, i, isA]
            {
                if (safe == nullptr)
                    return;
                auto& p = safe->linkPairs[(size_t)i];
                (isA ? p.refA : p.refB) = (isA ? p.knobA : p.knobB)->getValue();
            };
            // Particles on their way go on; those not yet started are dropped.
            knob.onDragEnd = [safe, i]
            {
                if (safe == nullptr)
                    return;
                auto& p = safe->linkPairs[(size_t)i];
                p.forwardPending = 0;
                p.backwardPending = 0;
            };
        }
    }

    for (const auto& spec : buttonPairSpecs())
    {
        auto& a = this->*spec.a;
        auto& b = this->*spec.b;
        const auto link = spec.link;
        for (auto* button : {&a, &b})
        {
            button->onShiftDoubleClick = [this, link] { toggleButtonLink(link, 1); };
            button->onAltDoubleClick = [this, link] { toggleButtonLink(link, -1); };
        }
        const juce::String idA(spec.idA), idB(spec.idB);
        if (link == Ord)
        {
            a.onToggle = [this, &a, &b, idA, idB](bool) { toggleOrder(a, idA, b, idB); };
            b.onToggle = [this, &a, &b, idA, idB](bool) { toggleOrder(b, idB, a, idA); };
            continue;
        }
        a.onToggle = [this, &b, idA, idB, link](bool on)
        {
            writeSwitch(idA, on);
            applyLinkBtn(linkStates[(size_t)link], on, b, idB);
        };
        b.onToggle = [this, &a, idA, idB, link](bool on)
        {
            writeSwitch(idB, on);
            applyLinkBtn(linkStates[(size_t)link], on, a, idA);
        };
    }

    linkAllButton.onToggle = [this](bool) { linkAllpass(1); };
    inverseLinkAllButton.onToggle = [this](bool) { linkAllpass(-1); };
}

bool BivarroAudioProcessorEditor::followUpsHeld() const
{
    return linkGuard || audioProcessor.stateRestoresBegun.load() != settledRestores;
}

void BivarroAudioProcessorEditor::followKnob(int pairIndex, bool fromA)
{
    auto& pair = linkPairs[(size_t)pairIndex];
    const auto& spec = pairSpecs()[(size_t)pairIndex];
    countParticles(pair, fromA);
    // A restore's values arrive as they were saved; the references are taken once they all arrived.
    if (followUpsHeld())
        return;

    auto& source = fromA ? *pair.knobA : *pair.knobB;
    auto& partner = fromA ? *pair.knobB : *pair.knobA;
    const juce::String partnerId(fromA ? spec.idB : spec.idA);
    auto& sourceLast = lastLinkValues[spec.lastA + (fromA ? 0 : 1)];
    if (pairIndex == PanPair)
        applyLinkPan(*pair.link, source, partner, partnerId, sourceLast);
    else
        applyLink(*pair.link, source, partner, partnerId, sourceLast);
}

void BivarroAudioProcessorEditor::applyLink(int link, OrlintKnob& source, OrlintKnob& partner,
                                            const juce::String& partnerId, double& sourceLast)
{
    if (link == 0 || linkGuard)
        return;
    const juce::ScopedValueSetter<bool> guard(linkGuard, true);
    const double v = source.getValue();
    const double d = v - sourceLast;
    sourceLast = v;
    movePartner(partner, partnerId, partner.getValue() + (link == 1 ? d : -d));
}

// The pan knobs have mirrored ranges; the partner moves by the same share of its own range.
void BivarroAudioProcessorEditor::applyLinkPan(int link, OrlintKnob& source, OrlintKnob& partner,
                                               const juce::String& partnerId, double& sourceLast)
{
    if (link == 0 || linkGuard)
        return;
    const juce::ScopedValueSetter<bool> guard(linkGuard, true);
    const double v = source.getValue();
    const double r = source.getMaximum() - source.getMinimum();
    const double f = r > 0.0 ? (v - sourceLast) / r : 0.0;
    const double d = (partner.getMaximum() - partner.getMinimum()) * f;
    sourceLast = v;
    movePartner(partner, partnerId, partner.getValue() + (link == 1 ? d : -d));
}

// Called with linkGuard set. The host hears the partner's change as a gesture of its own.
void BivarroAudioProcessorEditor::movePartner(OrlintKnob& partner, const juce::String& partnerId, double target)
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

void BivarroAudioProcessorEditor::applyLinkBtn(int link, bool state, BivoButton& partner, const juce::String& partnerId)
{
    if (link == 0)
        return;
    const bool s = link == 1 ? state : !state;
    partner.isOn = s;
    partner.repaint();
    writeSwitch(partnerId, s);
}

// The knob that was reset moves too, through the partner's own follow-up.
void BivarroAudioProcessorEditor::resetPartner(int pairIndex, bool partnerIsB)
{
    auto& pair = linkPairs[(size_t)pairIndex];
    if (*pair.link == 0)
        return;
    const auto& spec = pairSpecs()[(size_t)pairIndex];
    auto& partner = partnerIsB ? *pair.knobB : *pair.knobA;
    const double def = partner.getDoubleClickReturnValue();
    auto* parameter = audioProcessor.apvts.getParameter(partnerIsB ? spec.idB : spec.idA);
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
void BivarroAudioProcessorEditor::toggleKnobLink(int pairIndex, int state)
{
    auto& entry = *linkPairs[(size_t)pairIndex].link;
    entry = entry == state ? 0 : state;
    resyncLinkReferences(pairIndex);
    repaint();
}

void BivarroAudioProcessorEditor::toggleButtonLink(Link link, int state)
{
    auto& entry = linkStates[(size_t)link];
    entry = entry == state ? 0 : state;
    repaint();
}

void BivarroAudioProcessorEditor::linkAllpass(int state)
{
    const Link entries[] = {Freq, Phase, Q, Ord};
    const bool allSet = std::all_of(std::begin(entries), std::end(entries),
                                    [this, state](Link l) { return linkStates[(size_t)l] == state; });
    for (const auto l : entries)
        linkStates[(size_t)l] = allSet ? 0 : state;
    for (const int pair : {FreqPair, PhasePair, QPair})
        resyncLinkReferences(pair);

    auto& own = state == 1 ? linkAllButton : inverseLinkAllButton;
    auto& other = state == 1 ? inverseLinkAllButton : linkAllButton;
    own.isOn = !allSet;
    other.isOn = false;
    own.repaint();
    other.repaint();
    repaint();
}

void BivarroAudioProcessorEditor::resyncLinkReferences(int pairIndex)
{
    const auto& spec = pairSpecs()[(size_t)pairIndex];
    lastLinkValues[spec.lastA] = (this->*spec.a).getValue();
    lastLinkValues[spec.lastA + 1] = (this->*spec.b).getValue();
}

void BivarroAudioProcessorEditor::resyncAllLinkReferences()
{
    for (int i = 0; i < numPairs; ++i)
    {
        resyncLinkReferences(i);
        auto& pair = linkPairs[(size_t)i];
        pair.refA = pair.knobA->getValue();
        pair.refB = pair.knobB->getValue();
    }
}

double& BivarroAudioProcessorEditor::lastLinkValueOf(const OrlintKnob& knob)
{
    for (const auto& spec : pairSpecs())
    {
        if (&(this->*spec.a) == &knob)
            return lastLinkValues[spec.lastA];
        if (&(this->*spec.b) == &knob)
            return lastLinkValues[spec.lastA + 1];
    }
    jassertfalse;
    static double unused = 0.0;
    return unused;
}

//==============================================================================
int BivarroAudioProcessorEditor::LinkPair::particlesFor(double distance, double interval)
{
    // A knob without an interval (the all-pass frequency knobs) counts every change as a big one.
    if (!(interval > 0.0))
        return 5;
    if (distance < 0.5 * interval)
        return 0;
    return (int)juce::jlimit(1.0, 5.0, std::round(distance / interval));
}

namespace
{
constexpr float particleStep = 0.007f;
constexpr float particleSpacing = 0.12f;

// One direction of a pair: start a pending particle at start when a slot is free and the timer ran
// out, then move every live one by step and keep those still on the line, in order.
void advanceDirection(int& count, std::array<float, Editor::LinkPair::maxParticles>& pos, int& pending,
                      float& spawnTimer, float start, float step)
{
    if (pending >= 1)
    {
        spawnTimer -= particleStep;
        if (count < Editor::LinkPair::maxParticles && spawnTimer <= 0.0f)
        {
            pos[(size_t)count++] = start;
            --pending;
            spawnTimer = particleSpacing;
        }
    }
    int kept = 0;
    for (int k = 0; k < count; ++k)
    {
        const float p = pos[(size_t)k] + step;
        if (step > 0.0f ? p < 1.0f : p > 0.0f)
            pos[(size_t)kept++] = p;
    }
    count = kept;
}
} // namespace

bool BivarroAudioProcessorEditor::LinkPair::advance()
{
    if (link == nullptr || *link == 0)
    {
        const bool changed = forwardCount > 0 || backwardCount > 0;
        forwardCount = backwardCount = forwardPending = backwardPending = 0;
        return changed;
    }
    bool changed = false;
    if (forwardCount > 0 || forwardPending > 0)
    {
        changed = true;
        advanceDirection(forwardCount, forwardPos, forwardPending, forwardSpawnTimer, 0.0f, particleStep);
    }
    if (backwardCount > 0 || backwardPending > 0)
    {
        changed = true;
        advanceDirection(backwardCount, backwardPos, backwardPending, backwardSpawnTimer, 1.0f, -particleStep);
    }
    return changed;
}

// A knob change of a linked pair launches particles towards the partner, more for a bigger step.
void BivarroAudioProcessorEditor::countParticles(LinkPair& pair, bool fromA)
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

//==============================================================================
void BivarroAudioProcessorEditor::timerCallback()
{
    meterL.pushLevels(audioProcessor.peakDbL.load(), audioProcessor.rmsDbL.load());
    meterR.pushLevels(audioProcessor.peakDbR.load(), audioProcessor.rmsDbR.load());

    storeLinkStates();
    settleRestores();
    advanceParticles();
    audioProcessor.settings.analyserOpen.store(analyserWindow != nullptr && analyserWindow->isVisible());

    mirrorKnobLinkLooks();
    mirrorAllpass();
    // Bass mono counts as active from an intensity above 0.5 %.
    monoMakerFreqKnob.setAlpha(switchIsOn(ID::monoMakerInt) ? 1.0f : 0.3f);
    mirrorSwitches();
}

// The knob changes of a restore made on another thread were posted to this thread before it
// finished; a message posted now runs after all of them.
void BivarroAudioProcessorEditor::settleRestores()
{
    const unsigned done = audioProcessor.stateRestoresDone.load();
    if (settlePending || done == settledRestores || audioProcessor.stateRestoresBegun.load() != done)
        return;
    settlePending = true;
    const juce::Component::SafePointer<BivarroAudioProcessorEditor> safe(this);
    juce::MessageManager::callAsync(
        [safe, done]
        {
            if (safe == nullptr)
                return;
            safe->settledRestores = done;
            safe->settlePending = false;
            safe->resyncAllLinkReferences();
        });
}

void BivarroAudioProcessorEditor::advanceParticles()
{
    bool changed = false;
    for (auto& pair : linkPairs)
        changed = pair.advance() || changed;
    if (changed)
        repaint();
}

// The pan pair's gestures give it the opposite numbers, and its looks follow the gestures.
void BivarroAudioProcessorEditor::mirrorKnobLinkLooks()
{
    for (const int i : {GainPair, DelayPair, FreqPair, PhasePair, PanPair, MidSidePair, AsymRotPair, QPair})
    {
        const auto& pair = linkPairs[(size_t)i];
        const int goldState = i == PanPair ? -1 : 1;
        const bool linked = *pair.link == goldState;
        const bool inverse = *pair.link == -goldState;
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

void BivarroAudioProcessorEditor::mirrorAllpass()
{
    const struct
    {
        BivoButton* order;
        OrlintKnob* q;
        OrlintKnob* freq;
        const char* orderId;
        const char* phaseId;
    } channels[] = {{&orderLButton, &apQLKnob, &apFcLKnob, ID::apOrder2L, ID::apPhaseL},
                    {&orderRButton, &apQRKnob, &apFcRKnob, ID::apOrder2R, ID::apPhaseR}};
    for (const auto& c : channels)
    {
        const bool second = switchIsOn(c.orderId);
        const auto* phase = audioProcessor.apvts.getRawParameterValue(c.phaseId);
        const bool active = phase != nullptr && phase->load() > 0.1f;
        const auto accent = !active ? OCols::textDim : (second ? OCols::violet : OCols::accentHi);
        const juce::String label(second ? "2nd" : "1st");
        if (!c.order->isOn || c.order->labelText != label || c.order->accentColour != accent)
        {
            c.order->isOn = true;
            c.order->labelText = label;
            c.order->accentColour = accent;
            c.order->repaint();
        }
        c.q->setEnabled(second && active);
        c.q->setAlpha(second && active ? 1.0f : 0.3f);
        // The highlight is the knob's own look, so the knob shows it only when repainted.
        if (c.q->highlight != second)
        {
            c.q->highlight = second;
            c.q->repaint();
        }
        c.freq->setAlpha(active ? 1.0f : 0.3f);
    }
}

// The switches follow their parameters (host automation, restored states); a control is repainted
// only when its look changed, so an idle editor draws nothing.
void BivarroAudioProcessorEditor::mirrorSwitches()
{
    const auto setOn = [](BivoButton& b, bool on)
    {
        if (b.isOn == on)
            return;
        b.isOn = on;
        b.repaint();
    };

    setOn(polarityLButton, switchIsOn(ID::polarityL));
    setOn(polarityRButton, switchIsOn(ID::polarityR));

    for (const Link l : {Pol, MuteL, MuteSid, Ord})
    {
        const auto& spec = *std::find_if(buttonPairSpecs().begin(), buttonPairSpecs().end(),
                                         [l](const ButtonPairSpec& s) { return s.link == l; });
        const int state = linkStates[(size_t)l];
        const auto colour = state == 0 ? juce::Colour(0x00000000) : (state == -1 ? OCols::violet : OCols::accentHi);
        for (auto* b : {&(this->*spec.a), &(this->*spec.b)})
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
    setOn(linkAllButton, allAre(1));
    setOn(inverseLinkAllButton, allAre(-1));

    const struct
    {
        BivoButton* button;
        const char* parameterId;
    } switches[] = {{&muteLButton, ID::muteL},       {&muteRButton, ID::muteR}, {&muteMidButton, ID::muteMid},
                    {&muteSideButton, ID::muteSide}, {&monoButton, ID::mono},   {&bypassButton, ID::bypass}};
    for (const auto& s : switches)
        setOn(*s.button, switchIsOn(s.parameterId));

    const bool bypassed = switchIsOn(ID::bypass);
    if (bypassOverlay.active != bypassed)
    {
        bypassOverlay.active = bypassed;
        bypassOverlay.repaint();
    }
}

//==============================================================================
void BivarroAudioProcessorEditor::resized()
{
    const int W = getWidth();
    const int H = getHeight();

    if (fullyBuilt && W >= minWidth && W <= maxWidth && H >= minHeight && H <= maxHeight)
        audioProcessor.settings.editorWidth.store(W);

    headerHeight = headerPx;
    footerHeight = footerPx;

    const int b = (W - 20) / 2;
    helpButton.setBounds(W - 22, 7, 18, 16);
    slotBButton.setBounds(b, 7, 20, 16);
    slotAButton.setBounds(b - 23, 7, 20, 16);
    slotCButton.setBounds(b + 23, 7, 20, 16);
    copyToAButton.setBounds(b + 46, 7, 40, 16);

    const float e = (float)W / (float)gridWidth;
    const float h = (float)(H - headerPx - footerPx) / (float)gridHeight;
    const auto ex = [e](float k) { return juce::roundToInt(e * k); };
    const auto ey = [h](float k) { return juce::roundToInt(h * k); };

    const struct
    {
        juce::Component* component;
        float x, y, w, h;
    } cells[] = {
        {&gainLKnob, 8, 14, 46, 62},
        {&panLKnob, 8, 64, 46, 62},
        {&delayLKnob, 8, 114, 46, 62},
        {&apFcLKnob, 16, 168, 28, 38},
        {&orderLButton, 8, 214, 16, 12},
        {&linkAllButton, 8, 228, 16, 12},
        {&apQLKnob, 26, 206, 28, 38},
        {&apPhaseLKnob, 16, 244, 28, 38},
        {&polarityLButton, 8, 292, 46, 14},
        {&muteLButton, 8, 307, 46, 14},
        {&gainRKnob, 162, 14, 46, 62},
        {&panRKnob, 162, 64, 46, 62},
        {&delayRKnob, 162, 114, 46, 62},
        {&apFcRKnob, 170, 168, 28, 38},
        {&orderRButton, 162, 214, 16, 12},
        {&inverseLinkAllButton, 162, 228, 16, 12},
        {&apQRKnob, 180, 206, 28, 38},
        {&apPhaseRKnob, 170, 244, 28, 38},
        {&polarityRButton, 162, 292, 46, 14},
        {&muteRButton, 162, 307, 46, 14},
        {&meterL, 64, 2, 42, 320},
        {&meterR, 110, 2, 42, 320},
        {&bypassButton, 8, 328, 96, 14},
        {&graphicButton, 112, 328, 96, 14},
        {&monoMakerFreqKnob, 8, 344, 38, 62},
        {&widthKnob, 62, 344, 38, 62},
        {&asymmetryKnob, 116, 344, 38, 62},
        {&rotationKnob, 170, 344, 38, 62},
        {&monoMakerIntKnob, 8, 394, 38, 62},
        {&midGainKnob, 62, 394, 38, 62},
        {&sideGainKnob, 116, 394, 38, 62},
        {&trimOutKnob, 170, 394, 38, 62},
        {&muteMidButton, 8, 446, 61.3f, 14},
        {&monoButton, 77.3f, 446, 61.3f, 14},
        {&muteSideButton, 146.6f, 446, 61.3f, 14},
    };
    for (const auto& c : cells)
    {
        c.component->setBounds(ex(c.x), headerPx + ey(c.y), ex(c.w), ey(c.h));

        // The Q knob overlaps the phase knob's square: the phase knob stays inside its bounds and
        // the Q knob is drawn above it.
        if (c.component == &apPhaseLKnob || c.component == &apPhaseRKnob)
        {
            c.component->setPaintingIsUnclipped(false);
            (c.component == &apPhaseLKnob ? apQLKnob : apQRKnob).toFront(false);
        }
    }

    sectionDividerY = headerPx + ey(325.0f);
    bypassOverlay.setBounds(0, headerPx, W, H - headerPx - footerPx);
    surface.invalidate();
}

//==============================================================================
void BivarroAudioProcessorEditor::mouseDown(const juce::MouseEvent& e)
{
    if (logoBounds.contains(e.getPosition()) && openProductPage)
        openProductPage(juce::URL(productPageUrl));
}

juce::Point<float> BivarroAudioProcessorEditor::linkPoint(const juce::Component& knob)
{
    const auto r = knob.getBounds().toFloat();
    return {r.getX() + 0.5f * r.getWidth(), r.getY() + 0.35f * r.getHeight()};
}

// Gold for linked, violet for inversely linked; the pan pair's looks follow its gestures, which
// give it the opposite numbers.
juce::Colour BivarroAudioProcessorEditor::linkColour(int pair) const
{
    const int state = *linkPairs[(size_t)pair].link;
    const int goldState = pair == PanPair ? -1 : 1;
    return state == goldState ? OCols::accentHi : OCols::violet;
}

// The surface under the controls changes only with the size, but the meters ask for their part of it
// on every tick: it is drawn once per size into an image, and only the link lines and particles are
// drawn anew.
void BivarroAudioProcessorEditor::paint(juce::Graphics& g)
{
    logoBounds = {4, (headerHeight - 18) / 2, 20, 18};

    surface.draw(g, getWidth(), getHeight(), [this](juce::Graphics& sg) { paintBackground(sg); });

    paintLinkLines(g);
    paintLinkParticles(g);
}

void BivarroAudioProcessorEditor::paintBackground(juce::Graphics& g)
{
    const int W = getWidth();
    const int H = getHeight();
    const float wf = (float)W;
    const float hf = (float)H;
    const int hh = headerHeight;
    const int fh = footerHeight;
    const int dy = sectionDividerY;
    const float e = wf / (float)gridWidth;
    const auto ex = [e](float k) { return juce::roundToInt(e * k); };

    g.setGradientFill(juce::ColourGradient(OrzSig::bgTop, wf / 2.0f, 0.0f, OrzSig::bgBottom, wf / 2.0f, hf, false));
    g.fillRect(0, 0, W, H);

    juce::ColourGradient vignette(juce::Colours::transparentBlack, wf / 2.0f, 0.78f * hf / 2.0f,
                                  juce::Colours::black.withAlpha((juce::uint8)0x8c), wf / 2.0f, hf, true);
    vignette.addColour(0.52, juce::Colours::transparentBlack);
    g.setGradientFill(vignette);
    g.fillRect(0, 0, W, H);

    g.setGradientFill(juce::ColourGradient(OCols::headerDark, 0.0f, 0.0f, OCols::bgDarker, 0.0f, (float)hh, false));
    g.fillRect(0, 0, W, hh);
    g.setColour(OCols::accent);
    g.fillRect(0, hh - 2, W, 2);

    const juce::Rectangle<int> logoBadge{4, (hh - 18) / 2, 20, 18};
    const auto logo = logoBadge.toFloat();
    g.setGradientFill(juce::ColourGradient(OCols::accentHi.brighter(0.3f), logo.getX(), logo.getY(),
                                           OCols::accent.darker(0.4f), logo.getRight(), logo.getBottom(), false));
    g.fillRoundedRectangle(logo, 3.0f);
    g.setColour(juce::Colours::black.withAlpha((juce::uint8)0x99));
    g.setFont(OrzFonts::font(8.5f, true));
    g.drawText("Orz", logoBadge, juce::Justification::centred, false);

    g.setColour(OCols::textLt);
    g.setFont(OrzFonts::font(11.5f, true));
    g.drawText("Bivarro", juce::Rectangle<int>(28, 0, 92, hh), juce::Justification::centredLeft, false);

    g.setColour(OCols::headerDark);
    g.fillRect(0, H - fh, W, fh);
    g.setColour(OCols::accent.withAlpha((juce::uint8)0x59));
    g.fillRect(0, H - fh, W, 1);

    g.setColour(OCols::textMid.withAlpha((juce::uint8)0xcc));
    g.setFont(OrzFonts::font(10.5f));
    g.drawText("v2.0.0", juce::Rectangle<int>(4, H - fh, 40, fh), juce::Justification::centredLeft, false);
    g.setColour(OCols::textDim);
    g.drawText("Orlintz Engineer", juce::Rectangle<int>(0, H - fh + 14, W, 13), juce::Justification::centred, false);

    const int column = ex(62.0f);
    g.setColour(OCols::border);
    g.drawLine((float)column, (float)hh, (float)column, (float)dy, 0.5f);
    g.drawLine((float)(W - column), (float)hh, (float)(W - column), (float)dy, 0.5f);

    g.setColour(OCols::accent.withAlpha((juce::uint8)0x80));
    g.fillRect(0, dy, W, 1);
    g.setColour(OCols::bg);
    g.fillRect(0, dy + 1, W, H - dy - fh - 1);

    g.setFont(OrzFonts::font(9.0f, true));
    g.setColour(OCols::colL);
    g.drawText("L", juce::Rectangle<int>(0, hh + 2, column, 12), juce::Justification::centred, false);
    g.setColour(OCols::colR);
    g.drawText("R", juce::Rectangle<int>(W - column, hh + 2, column, 12), juce::Justification::centred, false);

    const auto allpassCardHeight = [](const juce::Component& fc, const juce::Component& phase)
    { return (phase.getY() - fc.getY()) + 10 + juce::roundToInt(0.92f * (float)phase.getHeight()); };
    const int cardWidth = ex(46.0f) + 10;
    const juce::Rectangle<int> cards[] = {
        {ex(8.0f) - 5, apFcLKnob.getY() - 5, cardWidth, allpassCardHeight(apFcLKnob, apPhaseLKnob)},
        {ex(162.0f) - 5, apFcRKnob.getY() - 5, cardWidth, allpassCardHeight(apFcRKnob, apPhaseRKnob)},
        {monoMakerFreqKnob.getX() - 4, monoMakerFreqKnob.getY() - 1, monoMakerFreqKnob.getWidth() + 8,
         (monoMakerIntKnob.getY() - monoMakerFreqKnob.getY()) + monoMakerIntKnob.getWidth() + 11},
    };
    for (const auto& card : cards)
        OrzSig::drawElevatedCard(g, card.toFloat(), 0.0f, 0.0f);
}

void BivarroAudioProcessorEditor::paintLinkLines(juce::Graphics& g)
{
    for (const int pair : {GainPair, DelayPair, FreqPair, PhasePair, PanPair, MidSidePair, AsymRotPair, QPair})
    {
        const auto& p = linkPairs[(size_t)pair];
        if (p.link == nullptr || *p.link == 0)
            continue;
        const auto a = linkPoint(*p.compA);
        const auto b = linkPoint(*p.compB);
        g.setColour(linkColour(pair).withAlpha((juce::uint8)0x80));
        g.drawLine(a.x, a.y, b.x, b.y, 1.5f);
    }
}

void BivarroAudioProcessorEditor::paintLinkParticles(juce::Graphics& g)
{
    for (int i = 0; i < numPairs; ++i)
    {
        const auto& p = linkPairs[(size_t)i];
        if ((p.forwardCount == 0 && p.backwardCount == 0) || p.link == nullptr || *p.link == 0)
            continue;
        const auto colour = linkColour(i);
        const auto a = linkPoint(*p.compA);
        const auto b = linkPoint(*p.compB);
        for (int k = 0; k < p.forwardCount; ++k)
            paintLinkParticle(g, a, b, colour, p.forwardPos[(size_t)k], 1);
        for (int k = 0; k < p.backwardCount; ++k)
            paintLinkParticle(g, a, b, colour, p.backwardPos[(size_t)k], -1);
    }
}

// A dot with a short tail behind it on its way: forward particles run from A to B, backward ones
// from B to A.
void BivarroAudioProcessorEditor::paintLinkParticle(juce::Graphics& g, juce::Point<float> a, juce::Point<float> b,
                                                    juce::Colour colour, float t, int direction)
{
    const auto at = [a, b](float s) { return juce::Point<float>(a.x + s * (b.x - a.x), a.y + s * (b.y - a.y)); };
    const auto pos = at(t);
    const auto tail = at(direction > 0 ? juce::jmax(t - 0.06f, 0.0f) : juce::jmin(t + 0.06f, 1.0f));

    juce::Path path;
    path.startNewSubPath(tail);
    path.lineTo(pos);
    g.setColour(colour.withAlpha((juce::uint8)0x4c));
    g.strokePath(path, juce::PathStrokeType(0.6f, juce::PathStrokeType::curved, juce::PathStrokeType::rounded));

    g.setColour(colour.withAlpha((juce::uint8)0xe6));
    g.fillEllipse(pos.x - 1.0f, pos.y - 1.0f, 2.0f, 2.0f);
    g.setColour(juce::Colours::white.withAlpha((juce::uint8)0x8c));
    g.fillEllipse(pos.x - 0.45f, pos.y - 0.45f, 0.9f, 0.9f);
}

//==============================================================================
juce::String BivarroAudioProcessorEditor::gainTextFromValue(double value)
{
    if (value <= -99.9)
        return "-" + infinitySign;
    return juce::String(value, 1);
}

double BivarroAudioProcessorEditor::gainValueFromText(const juce::String& text)
{
    if (text.containsIgnoreCase("inf") || text.contains(infinitySign))
        return -100.0;
    return text.getDoubleValue();
}

juce::String BivarroAudioProcessorEditor::freqTextFromValue(double value)
{
    // The knob shows what its float parameter hands back, whose conversion to and from the normalised
    // position is not exactly invertible: 999.95 returns as 999.94989. Six significant digits give the
    // value as it was set.
    if (value > 0.0 && std::isfinite(value))
    {
        const auto scale = std::pow(10.0, 5 - (int)std::floor(std::log10(value)));
        value = std::round(value * scale) / scale;
    }
    if (value >= 999.95)
        return juce::String(value / 1000.0, 1) + "k";
    return juce::String(juce::roundToInt(value));
}

double BivarroAudioProcessorEditor::freqValueFromText(const juce::String& text)
{
    if (text.endsWithIgnoreCase("k"))
        return text.dropLastCharacters(1).getDoubleValue() * 1000.0;
    return text.getDoubleValue();
}

void BivarroAudioProcessorEditor::setAnalyserOn(bool on)
{
    if (!on)
    {
        if (analyserWindow != nullptr)
            analyserWindow->setVisible(false);
        return;
    }

    if (analyserWindow == nullptr)
    {
        analyserWindow = std::make_unique<AnalyserWindow>(audioProcessor);
        // The close button only mirrors the window's state; it must not run the toggle handler.
        analyserWindow->onClose = [this]
        {
            graphicButton.isOn = false;
            graphicButton.repaint();
        };
        analyserWindow->setAnalyserSpanish(audioProcessor.settings.languageSpanish.load());
    }
    analyserWindow->showBeside(getTopLevelComponent()->getScreenBounds());
}

// An editor opening in Spanish shows the longer caption on its tooltip switch until the language
// is next switched from the panel.
void BivarroAudioProcessorEditor::restoreLanguageAndTooltips()
{
    if (audioProcessor.settings.languageSpanish.load())
    {
        helpPanel.setSpanish(true);
        helpPanel.tooltipsToggle.setButtonText("Mostrar Tooltips");
        setLanguageSpanish(true);
    }
    if (audioProcessor.settings.tooltipsEnabled.load())
    {
        helpPanel.tooltipsToggle.setToggleState(true, juce::dontSendNotification);
        tooltipsShown = true;
        SmallTooltipLAF::switchWindow(tooltipWindow, *this, tooltipLaf, true, tooltipDelayMs);
    }
}

void BivarroAudioProcessorEditor::setTooltipsShown(bool on)
{
    tooltipsShown = on;
    SmallTooltipLAF::switchWindow(tooltipWindow, *this, tooltipLaf, on, tooltipDelayMs);
    audioProcessor.settings.tooltipsEnabled.store(on);
}

void BivarroAudioProcessorEditor::setLanguageSpanish(bool spanish)
{
    spanishShown = spanish;
    helpPanel.espanolToggle.setToggleState(spanish, juce::dontSendNotification);
    helpPanel.textView.setText(BivarroEditorTexts::helpText(spanish), false);
    if (helpWindow != nullptr)
        helpWindow->setName(HelpWindow::titleFor(spanish));
    if (analyserWindow != nullptr)
        analyserWindow->setAnalyserSpanish(spanish);

    const auto pick = [spanish](const char* english, const char* spanishText)
    { return juce::String::fromUTF8(spanish ? spanishText : english); };

    const LanguageRow<OrlintKnob> names[] = {{&Editor::apPhaseLKnob, "Phase", "Fase"},
                                             {&Editor::apPhaseRKnob, "Phase", "Fase"},
                                             {&Editor::asymmetryKnob, "Asymmetry", "Asimetria"},
                                             {&Editor::rotationKnob, "Rotation", "Rotacion"},
                                             {&Editor::widthKnob, "Width", "Ancho"},
                                             {&Editor::apFcLKnob, "Freq", "Frec"},
                                             {&Editor::apFcRKnob, "Freq", "Frec"},
                                             {&Editor::monoMakerFreqKnob, "Freq", "Frec"},
                                             {&Editor::monoMakerIntKnob, "Intens", "Intens"}};
    for (const auto& n : names)
        (this->*n.control).setParamName(pick(n.english, n.spanish));

    const LanguageRow<BivoButton> labels[] = {{&Editor::polarityLButton, "Polarity L", "Polaridad L"},
                                              {&Editor::polarityRButton, "Polarity R", "Polaridad R"},
                                              {&Editor::graphicButton, "Graphic", "Grafico"}};
    for (const auto& l : labels)
    {
        auto& button = this->*l.control;
        button.labelText = pick(l.english, l.spanish);
        button.repaint();
    }

    const auto& knobHelp = GestureTexts::knob(spanish);
    const auto& linkHelp = BivarroEditorTexts::linkHelp(spanish);
    const auto knobAndLink = knobHelp + "\n" + linkHelp;
    for (auto* k :
         {&gainLKnob, &gainRKnob, &panLKnob, &panRKnob, &delayLKnob, &delayRKnob, &apFcLKnob, &apFcRKnob, &apPhaseLKnob,
          &apPhaseRKnob, &apQLKnob, &apQRKnob, &midGainKnob, &sideGainKnob, &asymmetryKnob, &rotationKnob})
        k->setTooltip(knobAndLink);
    widthKnob.setTooltip(knobHelp);
    trimOutKnob.setTooltip(knobHelp);
    monoMakerFreqKnob.setTooltip(
        pick("Bass Mono: crossover frequency (10-4000 Hz)\n", "Bass Mono: frecuencia de cruce (10-4000 Hz)\n") +
        knobHelp);
    monoMakerIntKnob.setTooltip(pick("Bass Mono: intensity (0%=off, 100%=full mono below freq)\n",
                                     "Bass Mono: intensidad (0%=off, 100%=mono total bajo freq)\n") +
                                knobHelp);

    const struct
    {
        BivoButton Editor::*button;
        const char* english;
        const char* spanish;
        bool withLinkHelp;
    } buttonTips[] = {
        {&Editor::orderLButton, "APF order: 1st (shelf) / 2nd (bell)\n", "Orden APF: 1er (shelf) / 2do (bell)\n", true},
        {&Editor::orderRButton, "APF order: 1st (shelf) / 2nd (bell)\n", "Orden APF: 1er (shelf) / 2do (bell)\n", true},
        {&Editor::linkAllButton, "Link/Unlink all APF parameters (Freq, Phase, Q, Order)",
         "Enlazar/Desenlazar todos los par\xc3\xa1metros APF (Freq, Phase, Q, Orden)", false},
        {&Editor::inverseLinkAllButton, "Inverted link all APF parameters (Freq, Phase, Q, Order)",
         "Enlace invertido de todos los par\xc3\xa1metros APF (Freq, Phase, Q, Orden)", false},
        {&Editor::polarityLButton, "Invert polarity L\n", "Invertir polaridad L\n", true},
        {&Editor::polarityRButton, "Invert polarity R\n", "Invertir polaridad R\n", true},
        {&Editor::muteLButton, "Mute L\n", "Silenciar L\n", true},
        {&Editor::muteRButton, "Mute R\n", "Silenciar R\n", true},
        {&Editor::muteMidButton, "Mute mid\n", "Silenciar mid\n", true},
        {&Editor::muteSideButton, "Mute side\n", "Silenciar side\n", true},
        {&Editor::monoButton, "Mono (L+R sum)", "Mono (suma L+R)", false},
        {&Editor::bypassButton, "Bypass", "Bypass", false},
        {&Editor::graphicButton, "Open/close analyser", "Abrir/cerrar analyser", false},
    };
    for (const auto& t : buttonTips)
        (this->*t.button).tooltipText = pick(t.english, t.spanish) + (t.withLinkHelp ? linkHelp : juce::String());

    meterL.tooltipText = GestureTexts::meter(spanish);
    meterR.tooltipText = GestureTexts::meter(spanish);

    slotAButton.setTooltip("Slot A");
    slotBButton.setTooltip("Slot B");
    slotCButton.setTooltip("Slot C");
    copyToAButton.setTooltip(pick("Copy current settings to slot A", "Copiar configuracion actual al slot A"));
    helpButton.setTooltip(pick("Open help panel", "Abrir panel de ayuda"));
}
