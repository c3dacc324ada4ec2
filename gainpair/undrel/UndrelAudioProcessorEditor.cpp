#include "gainpair/undrel/UndrelAudioProcessorEditor.h"

#include "gainpair/ui/EditorScale.h"
#include "gainpair/ui/GainEditorFrame.h"
#include "gainpair/ui/GainEditorLayout.h"
#include "gainpair/ui/GainEditorSetup.h"
#include "gainpair/ui/GainEditorTexts.h"

#include <cmath>

namespace
{
namespace Texts = gainpair::GainEditorTexts;

const juce::Colour receivedColour{0xffdaa520};
const juce::Colour pulseColour{0xff9b59b6};
const juce::Colour red{0xffff3333};
const juce::Colour orange{0xffff8800};
const juce::Colour green{0xff6abf69};

const Texts::OwnTips ownTips{"Automatic gain compensation", "Compensacion automatica de ganancia",
                             "Bypasses trim and compensation", "Desactiva trim y compensacion"};
} // namespace

const juce::String& UndrelAudioProcessorEditor::helpTextEnglish()
{
    static const juce::String text =
        Texts::joinLines({
            "Undrel",
            "Receives the gain value from the Ovrel plugin",
            "and automatically applies the inverse compensation.",
            "The Trim knob adds fine adjustment on top.",
            "Both plugins must share the same Link ID.",
            "",
        }) +
        Texts::shortcutLines(false) +
        Texts::joinLines({"Controls", "Trim: Fine output adjustment (-12 to +12 dB)",
                          "Bypass: Bypasses trim and compensation", "Link ID: Connect with Ovrel plugin",
                          "Ovrel: Value being compensated", "Compensation: Final gain applied to the signal", "",
                          "Orlintz Engineer - Undrel v2.0.0"});
    return text;
}

const juce::String& UndrelAudioProcessorEditor::helpTextSpanish()
{
    static const juce::String text =
        Texts::joinLines({
            "Undrel",
            "Recibe el valor de ganancia del Ovrel y aplica",
            "automaticamente la compensacion inversa.",
            "El knob Trim permite un ajuste fino adicional.",
            "Ambos plugins deben compartir el mismo Link ID.",
            "",
        }) +
        Texts::shortcutLines(true) +
        Texts::joinLines({"Controles", "Trim: Ajuste fino de salida (-12 a +12 dB)",
                          "Bypass: Desactiva trim y compensacion", "Link ID: Enlaza plugins con el mismo ID",
                          "Ovrel: Valor que se compensa", "Compensation: Ganancia total aplicada a la senal", "",
                          "Orlintz Engineer - Undrel v2.0.0"});
    return text;
}

UndrelAudioProcessorEditor::Status UndrelAudioProcessorEditor::statusFor(bool ownBypass, bool receivedBypass)
{
    if (ownBypass && receivedBypass)
        return {"Bypassed\nGain + Compensation + Trim", red};
    if (ownBypass)
        return {"Bypassed\nTrim", orange};
    if (receivedBypass)
        return {"Bypassed\nGain + Compensation", red};
    return {};
}

juce::Colour UndrelAudioProcessorEditor::lampColourFor(bool ownBypass, bool receivedBypass)
{
    if (ownBypass && receivedBypass)
        return red;
    return ownBypass || receivedBypass ? orange : green;
}

UndrelAudioProcessorEditor::UndrelAudioProcessorEditor(UndrelAudioProcessor& owner,
                                                       juce::AudioProcessorValueTreeState& state)
    : juce::AudioProcessorEditor(owner), processor(owner), apvts(state)
{
    setResizable(true, true);
    setResizeLimits(minSide, minSide, maxSide, maxSide);
    getConstrainer()->setFixedAspectRatio(1.0);

    gainpair::GainEditorSetup::linkIdControls(linkIdLabel, linkIdBox);
    gainpair::GainEditorSetup::valueLabels(receivedCaption, receivedValueLabel, receivedColour, compensationCaption,
                                           compensationValueLabel);
    gainpair::GainEditorSetup::statusLabel(statusLabel);
    for (juce::Component* c :
         std::initializer_list<juce::Component*>{&linkIdLabel, &linkIdBox, &receivedCaption, &receivedValueLabel,
                                                 &compensationCaption, &compensationValueLabel, &statusLabel})
        addAndMakeVisible(*c);
    if (auto* p = apvts.getParameter(GainPairParameterIds::linkId))
        linkIdAttachment = std::make_unique<juce::ComboBoxParameterAttachment>(*p, linkIdBox, apvts.undoManager);

    // Display only: the timer turns it, and a disabled knob refuses every gesture.
    compensationKnob.plainTypedEntry = true;
    compensationKnob.setRange(-48.0, 48.0, 0.01);
    compensationKnob.setParamName("Compensation");
    compensationKnob.setEnabled(false);
    compensationKnob.setAlpha(1.0f);
    compensationKnob.invertLinked = true;
    compensationKnob.setInterceptsMouseClicks(true, false);
    addAndMakeVisible(compensationKnob);

    trimKnob.plainTypedEntry = true;
    trimKnob.setRange(-12.0, 12.0, 0.1);
    trimKnob.setDoubleClickReturnValue(true, 0.0);
    trimKnob.setParamName("Trim");
    addAndMakeVisible(trimKnob);
    if (auto* p = apvts.getParameter(GainPairParameterIds::trim))
    {
        trimAttachment = std::make_unique<juce::SliderParameterAttachment>(*p, trimKnob, apvts.undoManager);
    }

    bypassButton.setShape(gainpair::GainEditorFrame::powerSymbol(), false, true, true);
    bypassButton.setClickingTogglesState(true);
    addAndMakeVisible(bypassButton);
    if (auto* p = apvts.getParameter(GainPairParameterIds::bypass))
        bypassAttachment = std::make_unique<juce::ButtonParameterAttachment>(*p, bypassButton, apvts.undoManager);

    gainpair::GainEditorSetup::meter(outputMeter, 1,
                                     processor.editorSettings.meterHold.load(std::memory_order_acquire));
    outputMeter.onSettingsChanged = [this](float attack, float release, float rmsWindow, float brightness)
    { syncMeterParams(attack, release, rmsWindow, brightness); };
    outputMeter.onHoldChanged = [this](bool on)
    { processor.editorSettings.meterHold.store(on, std::memory_order_release); };
    addAndMakeVisible(outputMeter);

    helpButton.onClick = [this]
    { HelpWindow::toggle(helpWindow, helpPanel, *this, tooltipsShown, HelpWindow::Focus::takes); };
    logoButton.onClick = [this]
    {
        if (openUrl)
            openUrl(gainpair::ProductLinks::productPage("Undrel"));
    };
    gainpair::GainEditorSetup::headerButtons(helpButton, {&logoButton, &titleTipZone, &linkTipZone}, headerButtonLaf);
    for (auto* button : {&helpButton, &logoButton, &titleTipZone, &linkTipZone})
        addAndMakeVisible(*button);

    helpPanel.onTooltipsToggled = [this](bool on) { setTooltipsEnabled(on); };
    helpPanel.onLanguageToggled = [this](bool on) { setLanguageSpanish(on); };

    setTooltipsEnabled(processor.editorSettings.tooltipsOn.load(std::memory_order_acquire));
    setLanguageSpanish(processor.editorSettings.isSpanish.load(std::memory_order_acquire));

    const float scale = storedScale();
    if (!juce::exactlyEqual(scale, 1.0f))
        scaler.apply(scale);

    fullyBuilt = true;

    // The gain already received is no change: nothing runs at opening.
    pulses.startFrom(receivedGain());

    const int side =
        juce::jlimit(minSide, maxSide, processor.editorSettings.editorWidth.load(std::memory_order_acquire));
    setBounds(getX(), getY(), side, side);

    painted.lamp = lampColourFor(bypassOn(), receivedBypassOn());
    startTimer(timerIntervalMs);
}

UndrelAudioProcessorEditor::~UndrelAudioProcessorEditor()
{
    stopTimer();
    // A gesture still open must reach the host while the attachment exists.
    trimKnob.finishGestures();
    gainpair::GainEditorSetup::closeHelpAndTips(helpWindow, tooltipWindow, *this, tooltipLaf, helpButton, helpPanel,
                                                outputMeter);
    gainpair::GainEditorSetup::releaseLooks({&linkIdBox, &helpButton, &logoButton, &titleTipZone, &linkTipZone});
}

bool UndrelAudioProcessorEditor::bypassOn() const
{
    return processor.bypassParam != nullptr && processor.bypassParam->load(std::memory_order_acquire) > 0.5f;
}

bool UndrelAudioProcessorEditor::receivedBypassOn() const
{
    return processor.receivedBypass.load(std::memory_order_acquire);
}

float UndrelAudioProcessorEditor::receivedGain() const
{
    return processor.receivedGainDb.load(std::memory_order_acquire);
}

float UndrelAudioProcessorEditor::storedScale() const
{
    return gainpair::EditorScale::usable(processor.editorSettings.uiScale.load(std::memory_order_acquire));
}

void UndrelAudioProcessorEditor::setScaleFactor(float newScale)
{
    juce::AudioProcessorEditor::setScaleFactor(scaler.takeHostScale(newScale));
    scaler.reapply(storedScale());
}

void UndrelAudioProcessorEditor::resized()
{
    surface.invalidate();
    const int w = getWidth();
    if (fullyBuilt)
        processor.editorSettings.editorWidth.store(gainpair::GainEditorLayout::sideFor(w, getHeight()),
                                                   std::memory_order_release);

    const gainpair::GainEditorLayout layout(w, getHeight());
    const int k = layout.bypassSide;
    layout.placeHeader(helpButton, linkIdLabel, linkIdBox, logoButton, titleTipZone, linkTipZone);
    outputMeter.setBounds(layout.meterAt(w - layout.meterWidth - 4));
    bypassButton.setBounds(12, 38, k, k);
    compensationKnob.setBounds(layout.knob);
    layout.placeValues(receivedCaption, receivedValueLabel, compensationCaption, compensationValueLabel);
    statusLabel.setBounds(layout.status);

    const int trimSide = gainpair::GainEditorLayout::R(54.0f * layout.s);
    const int trimHeight =
        trimSide + gainpair::GainEditorLayout::R(46.0f * layout.s) + gainpair::GainEditorLayout::R(10.0f * layout.s);
    trimKnob.setBounds(10, getHeight() - trimHeight - 36, trimSide, trimHeight);
}

void UndrelAudioProcessorEditor::timerCallback()
{
    const float g = receivedGain();
    const bool rb = receivedBypassOn();
    const bool own = bypassOn();
    const float shown = rb || !std::isfinite(g) ? 0.0f : g;

    receivedReadout.show(shown);
    compensationReadout.show(processor.appliedGainDb.load(std::memory_order_acquire));
    compensationKnob.setValue(-shown, juce::dontSendNotification);

    const int bypasses = (own ? 2 : 0) + (rb ? 1 : 0);
    if (bypasses != statusShownFor)
    {
        statusShownFor = bypasses;
        const auto status = statusFor(own, rb);
        statusLabel.setText(status.text, juce::dontSendNotification);
        if (status.text.isNotEmpty())
            statusLabel.setColour(juce::Label::textColourId, status.colour);
    }

    outputMeter.pushLevels(processor.outputPeakDb.load(std::memory_order_acquire),
                           processor.outputRmsDb.load(std::memory_order_acquire));

    scaler.follow(storedScale());

    pulses.follow(g);
    pulses.step();

    repaintWhatChanged(lampColourFor(own, rb));
}

void UndrelAudioProcessorEditor::repaintWhatChanged(juce::Colour lamp)
{
    // Labels, knobs and meter repaint themselves when their contents change; the editor repaints only
    // the parts it paints itself.
    if (lamp != painted.lamp)
        repaint(bypassButton.getBounds().expanded(4));

    // A pulse below phase 0 is not drawn yet, so the strip waits until one can be seen.
    bool pulsesShown = false;
    for (int i = 0; i < pulses.count(); ++i)
        pulsesShown = pulsesShown || pulses.phase(i) >= 0.0f;
    if (pulsesShown || painted.pulsesShown)
        repaint(gainpair::GainEditorFrame::pulseStrip(compensationKnob.getBounds(), getWidth()));

    painted = {lamp, pulsesShown};
}

void UndrelAudioProcessorEditor::paint(juce::Graphics& g)
{
    // Surface and cards change only with the layout; the meter asks for its part on every tick.
    surface.draw(g, getWidth(), getHeight(),
                 [this](juce::Graphics& sg)
                 {
                     gainpair::GainEditorFrame::paint(sg, getWidth(), getHeight(), "Undrel");
                     gainpair::GainEditorFrame::paintCards(sg, compensationKnob.getBounds(),
                                                           receivedCaption.getBounds(), receivedValueLabel.getWidth());
                 });
    // Stroking the symbol costs even where it is clipped away, as when only the meter is repainted.
    if (g.clipRegionIntersects(bypassButton.getBounds().expanded(4)))
        gainpair::GainEditorFrame::paintLamp(g, bypassButton.getPosition(),
                                             gainpair::GainEditorLayout::scaleFor(getWidth(), getHeight()),
                                             lampColourFor(bypassOn(), receivedBypassOn()));
}

void UndrelAudioProcessorEditor::paintOverChildren(juce::Graphics& g)
{
    // From the left edge to the knob's centre; pulses still below phase 0 are not drawn yet.
    const auto target = gainpair::GainEditorFrame::pulseTarget(compensationKnob.getBounds());
    for (int i = 0; i < pulses.count(); ++i)
        if (pulses.phase(i) >= 0.0f)
            gainpair::GainEditorFrame::paintPulse(g, pulses.phase(i), {0.0f, target.y}, target, pulseColour);
}

void UndrelAudioProcessorEditor::setTooltipsEnabled(bool on)
{
    tooltipsShown = on;
    processor.editorSettings.tooltipsOn.store(on, std::memory_order_release);
    SmallTooltipLAF::switchWindow(tooltipWindow, *this, tooltipLaf, on, gainpair::GainEditorSetup::tooltipDelayMs);
}

void UndrelAudioProcessorEditor::setLanguageSpanish(bool isSpanish)
{
    processor.editorSettings.isSpanish.store(isSpanish, std::memory_order_release);
    Texts::apply(isSpanish, "Undrel", ownTips,
                 {helpPanel, helpWindow.get(), logoButton, compensationCaption, titleTipZone, linkTipZone, trimKnob,
                  bypassButton, linkIdBox, outputMeter, helpButton});
    // The knob named in the language, and its tip (the trim knob took the shared knob tip).
    compensationKnob.setParamName(isSpanish ? "Compensacion" : "Compensation");
    compensationKnob.setTooltip(isSpanish ? "Compensacion inversa aplicada automaticamente"
                                          : "Inverse compensation applied automatically");
}

void UndrelAudioProcessorEditor::syncMeterParams(float attackMs, float releaseMs, float rmsWindowMs, float brightness)
{
    outputMeter.applySettings(attackMs, releaseMs, rmsWindowMs, brightness);
}
