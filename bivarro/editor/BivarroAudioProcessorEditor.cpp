#include "bivarro/editor/BivarroAudioProcessorEditor.h"

#include "bivarro/editor/OCols.h"
#include "bivarro/processor/BivarroParameters.h"
#include "widgets/OrzFonts.h"
#include "widgets/OrzSig.h"

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

//==============================================================================
void BivarroAudioProcessorEditor::HeaderBtnLAF::drawButtonBackground(juce::Graphics& g, juce::Button& button,
                                                                     const juce::Colour& backgroundColour,
                                                                     bool isMouseOverButton, bool isButtonDown)
{
    auto fill = backgroundColour;
    if (isButtonDown)
        fill = fill.darker(0.2f);
    else if (isMouseOverButton)
        fill = fill.brighter(0.1f);
    g.setColour(fill);
    g.fillRoundedRectangle(0.5f, 0.5f, (float)juce::jmax(button.getWidth() - 1, 0),
                           (float)juce::jmax(button.getHeight() - 1, 0), 2.0f);
}

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
    orderLButton.onToggle = [this](bool) { toggleOrder(ID::apOrder2L); };
    orderRButton.onToggle = [this](bool) { toggleOrder(ID::apOrder2R); };
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

    monoButton.onToggle = [this](bool on) { writeSwitch(ID::mono, on); };
    bypassButton.onToggle = [this](bool on) { writeSwitch(ID::bypass, on); };
    graphicButton.onToggle = [this](bool on) { setAnalyserOn(on); };

    attachKnobs();
    installTextFunctions();

    // Each switch writes its own parameter; a linked partner follows through the link handlers.
    const struct
    {
        BivoButton* button;
        const char* parameterId;
    } pairedSwitches[] = {{&polarityLButton, ID::polarityL}, {&polarityRButton, ID::polarityR},
                          {&muteLButton, ID::muteL},         {&muteRButton, ID::muteR},
                          {&muteMidButton, ID::muteMid},     {&muteSideButton, ID::muteSide}};
    for (const auto& s : pairedSwitches)
    {
        const juce::String id(s.parameterId);
        s.button->onToggle = [this, id](bool on) { writeSwitch(id, on); };
    }

    startTimer(16);

    const struct
    {
        OrlintKnob* a;
        OrlintKnob* b;
        Link link;
    } pairs[numPairs] = {{&gainLKnob, &gainRKnob, Gain},
                         {&delayLKnob, &delayRKnob, Delay},
                         {&apFcLKnob, &apFcRKnob, Freq},
                         {&apPhaseLKnob, &apPhaseRKnob, Phase},
                         {&apQLKnob, &apQRKnob, Q},
                         {&panLKnob, &panRKnob, Pan},
                         {&midGainKnob, &sideGainKnob, MidSide},
                         {&asymmetryKnob, &rotationKnob, AsymRot}};
    for (int i = 0; i < numPairs; ++i)
    {
        auto& pair = linkPairs[(size_t)i];
        pair.compA = pair.knobA = pairs[i].a;
        pair.compB = pair.knobB = pairs[i].b;
        pair.link = &linkStates[(size_t)pairs[i].link];
        pair.refA = pairs[i].a->getValue();
        pair.refB = pairs[i].b->getValue();
    }

    addAndMakeVisible(bypassOverlay);
    bypassOverlay.setAlwaysOnTop(true);
    bypassOverlay.setInterceptsMouseClicks(false, false);

    const OrlintKnob* linkOrder[16] = {&gainLKnob,     &gainRKnob,    &delayLKnob,   &delayRKnob,
                                       &apFcLKnob,     &apFcRKnob,    &apPhaseLKnob, &apPhaseRKnob,
                                       &panLKnob,      &panRKnob,     &midGainKnob,  &sideGainKnob,
                                       &asymmetryKnob, &rotationKnob, &apQLKnob,     &apQRKnob};
    for (size_t i = 0; i < lastLinkValues.size(); ++i)
        lastLinkValues[i] = linkOrder[i]->getValue();

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

// The order buttons always look on; a click flips the channel's order whatever they show.
void BivarroAudioProcessorEditor::toggleOrder(const juce::String& parameterId)
{
    writeSwitch(parameterId, !switchIsOn(parameterId));
}

//==============================================================================
void BivarroAudioProcessorEditor::timerCallback()
{
    meterL.pushLevels(audioProcessor.peakDbL.load(), audioProcessor.rmsDbL.load());
    meterR.pushLevels(audioProcessor.peakDbR.load(), audioProcessor.rmsDbR.load());

    storeLinkStates();
    audioProcessor.settings.analyserOpen.store(analyserWindow != nullptr && analyserWindow->isVisible());

    mirrorSwitches();
}

// The switches follow their parameters (host automation, restored states); a control is repainted
// only when its look changed, so an idle editor draws nothing.
void BivarroAudioProcessorEditor::mirrorSwitches()
{
    const auto setLook = [](BivoButton& b, bool on, const juce::String& label, juce::Colour accent)
    {
        if (b.isOn == on && b.labelText == label && b.accentColour == accent)
            return;
        b.isOn = on;
        b.labelText = label;
        b.accentColour = accent;
        b.repaint();
    };

    const struct
    {
        BivoButton* button;
        const char* orderId;
        const char* phaseId;
    } orders[] = {{&orderLButton, ID::apOrder2L, ID::apPhaseL}, {&orderRButton, ID::apOrder2R, ID::apPhaseR}};
    for (const auto& o : orders)
    {
        const bool second = switchIsOn(o.orderId);
        const auto* phase = audioProcessor.apvts.getRawParameterValue(o.phaseId);
        const bool active = phase != nullptr && phase->load() > 0.1f;
        const auto accent = !active ? OCols::textDim : (second ? OCols::violet : OCols::accentHi);
        setLook(*o.button, true, second ? "2nd" : "1st", accent);
    }

    const struct
    {
        BivoButton* button;
        const char* parameterId;
    } switches[] = {{&polarityLButton, ID::polarityL}, {&polarityRButton, ID::polarityR}, {&muteLButton, ID::muteL},
                    {&muteRButton, ID::muteR},         {&muteMidButton, ID::muteMid},     {&muteSideButton, ID::muteSide},
                    {&monoButton, ID::mono},           {&bypassButton, ID::bypass}};
    for (const auto& s : switches)
        setLook(*s.button, switchIsOn(s.parameterId), s.button->labelText, s.button->accentColour);

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
    backgroundCache = {};
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

    const float scale = g.getInternalContext().getPhysicalPixelScaleFactor();
    const int imageWidth = juce::roundToInt((float)getWidth() * scale);
    const int imageHeight = juce::roundToInt((float)getHeight() * scale);
    if (!backgroundCache.isValid() || backgroundCache.getWidth() != imageWidth ||
        backgroundCache.getHeight() != imageHeight)
    {
        backgroundCache = juce::Image(juce::Image::RGB, juce::jmax(imageWidth, 1), juce::jmax(imageHeight, 1), false);
        juce::Graphics cacheGraphics(backgroundCache);
        cacheGraphics.addTransform(juce::AffineTransform::scale(scale));
        paintBackground(cacheGraphics);
    }
    g.drawImageTransformed(backgroundCache, juce::AffineTransform::scale(1.0f / scale));

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
