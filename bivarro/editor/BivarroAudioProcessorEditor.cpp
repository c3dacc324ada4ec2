#include "bivarro/editor/BivarroAudioProcessorEditor.h"

#include "bivarro/editor/BivarroControlTables.h"
#include "bivarro/editor/BivarroSwitches.h"
#include "bivarro/editor/OCols.h"
#include "bivarro/processor/BivarroParameters.h"
#include "widgets/GestureTexts.h"

namespace OCols = Bivarro::OCols;
namespace ID = BivarroParameters::ID;

using Tables = BivarroControlTables;

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
    slots.updateSlotButtons();
    slots.connectButtons();
    helpButton.onClick = [this]
    { HelpWindow::toggle(helpWindow, helpPanel, *this, tooltipsShown, HelpWindow::Focus::never); };

    monoButton.onToggle = [this](bool on) { BivarroSwitches::write(audioProcessor.apvts, ID::mono, on); };
    bypassButton.onToggle = [this](bool on) { BivarroSwitches::write(audioProcessor.apvts, ID::bypass, on); };
    graphicButton.onToggle = [this](bool on) { setAnalyserOn(on); };

    attachKnobs();
    installTextFunctions();

    startTimer(16);

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

    connectLinks();

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
    for (const auto& row : Tables::knobs())
        (this->*row.knob).finishGestures();

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

    slots.storeLiveState();
    links.storeStates();
}

// The links follow the knobs from the values they show once attached.
void BivarroAudioProcessorEditor::connectLinks()
{
    links.onLinksChanged = [this] { repaint(); };
    for (size_t i = 0; i < Tables::knobPairs().size(); ++i)
    {
        const auto& row = Tables::knobPairs()[i];
        links.connectKnobPair((BivarroEditorLinks::Pair)i, this->*row.a, this->*row.b, row.idA, row.idB, row.link,
                              row.lastA);
    }
    links.takeReferences();
    for (const auto& row : Tables::buttonPairs())
        links.connectButtonPair(row.link, this->*row.a, this->*row.b, row.idA, row.idB);
    links.connectLinkAllButtons(linkAllButton, inverseLinkAllButton);
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
    for (const auto& row : Tables::knobs())
    {
        auto& knob = this->*row.knob;
        knob.setParamName(row.name);
        knob.setRange(row.minimum, row.maximum, row.interval);
        knob.setDoubleClickReturnValue(true, row.defaultValue);
        knob.proportionalDrag = row.proportionalDrag;
        knob.fontScale = row.fontScale;
        knob.dragStep = row.dragStep;
        knob.continuousDrag = false;
        knob.setTooltip(row.tooltip);
    }
    for (auto* k : {&gainLKnob, &gainRKnob})
    {
        k->textFromValueFunction = BivarroEditorTexts::gainTextFromValue;
        k->valueFromTextFunction = BivarroEditorTexts::gainValueFromText;
    }
    for (const auto& row : Tables::knobs())
        addAndMakeVisible(this->*row.knob);
}

void BivarroAudioProcessorEditor::attachKnobs()
{
    for (size_t i = 0; i < attachments.size(); ++i)
    {
        const auto& row = Tables::knobs()[i];
        attachments[i] = std::make_unique<juce::AudioProcessorValueTreeState::SliderAttachment>(
            audioProcessor.apvts, row.parameterId, this->*row.knob);
    }
}

// An attachment installs the parameter's own text functions, so these go in after it.
void BivarroAudioProcessorEditor::installTextFunctions()
{
    for (auto* k : {&gainLKnob, &gainRKnob})
    {
        k->textFromValueFunction = BivarroEditorTexts::gainTextFromValue;
        k->valueFromTextFunction = BivarroEditorTexts::gainValueFromText;
    }
    for (auto* k : {&apFcLKnob, &apFcRKnob, &monoMakerFreqKnob})
    {
        k->textFromValueFunction = BivarroEditorTexts::freqTextFromValue;
        k->valueFromTextFunction = BivarroEditorTexts::freqValueFromText;
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

void BivarroAudioProcessorEditor::reattachKnobs()
{
    // A wheel gesture still open must end while its attachment exists.
    for (const auto& row : Tables::knobs())
        (this->*row.knob).finishGestures();
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

//==============================================================================
void BivarroAudioProcessorEditor::timerCallback()
{
    meterL.pushLevels(audioProcessor.peakDbL.load(), audioProcessor.rmsDbL.load());
    meterR.pushLevels(audioProcessor.peakDbR.load(), audioProcessor.rmsDbR.load());

    links.storeStates();
    links.settleRestores();
    if (links.advanceParticles())
        repaint();
    audioProcessor.settings.analyserOpen.store(analyserWindow != nullptr && analyserWindow->isVisible());

    links.mirrorKnobLooks();
    mirrorAllpass();
    // Bass mono counts as active from an intensity above 0.5 %.
    monoMakerFreqKnob.setAlpha(BivarroSwitches::isOn(audioProcessor.apvts, ID::monoMakerInt) ? 1.0f : 0.3f);
    links.mirrorButtonLooks();
    mirrorSwitches();
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
        const bool second = BivarroSwitches::isOn(audioProcessor.apvts, c.orderId);
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
    const auto isOn = [this](const char* parameterId)
    { return BivarroSwitches::isOn(audioProcessor.apvts, parameterId); };
    const auto setOn = [](BivoButton& b, bool on)
    {
        if (b.isOn == on)
            return;
        b.isOn = on;
        b.repaint();
    };

    const struct
    {
        BivoButton* button;
        const char* parameterId;
    } switches[] = {{&polarityLButton, ID::polarityL}, {&polarityRButton, ID::polarityR},
                    {&muteLButton, ID::muteL},         {&muteRButton, ID::muteR},
                    {&muteMidButton, ID::muteMid},     {&muteSideButton, ID::muteSide},
                    {&monoButton, ID::mono},           {&bypassButton, ID::bypass}};
    for (const auto& s : switches)
        setOn(*s.button, isOn(s.parameterId));

    const bool bypassed = isOn(ID::bypass);
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
    painter.invalidate();
}

//==============================================================================
void BivarroAudioProcessorEditor::mouseDown(const juce::MouseEvent& e)
{
    if (logoBounds.contains(e.getPosition()) && openProductPage)
        openProductPage(juce::URL(productPageUrl));
}

void BivarroAudioProcessorEditor::paint(juce::Graphics& g)
{
    logoBounds = BivarroEditorPainter::logoBadge(headerHeight);
    painter.paint(g, {getWidth(), getHeight(), headerHeight, footerHeight, sectionDividerY,
                      (float)getWidth() / (float)gridWidth});
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

    for (const auto& n : Tables::knobNames())
        (this->*n.control).setParamName(pick(n.english, n.spanish));

    for (const auto& l : Tables::buttonLabels())
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

    for (const auto& t : Tables::buttonTips())
        (this->*t.button).tooltipText = pick(t.english, t.spanish) + (t.withLinkHelp ? linkHelp : juce::String());

    meterL.tooltipText = GestureTexts::meter(spanish);
    meterR.tooltipText = GestureTexts::meter(spanish);

    slotAButton.setTooltip("Slot A");
    slotBButton.setTooltip("Slot B");
    slotCButton.setTooltip("Slot C");
    copyToAButton.setTooltip(pick("Copy current settings to slot A", "Copiar configuracion actual al slot A"));
    helpButton.setTooltip(pick("Open help panel", "Abrir panel de ayuda"));
}
