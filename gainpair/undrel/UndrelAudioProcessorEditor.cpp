#include "gainpair/undrel/UndrelAudioProcessorEditor.h"

#include "gainpair/ui/GainEditorFrame.h"
#include "gainpair/ui/GainEditorLayout.h"
#include "gainpair/ui/GainEditorTexts.h"

#include <cmath>

namespace
{
namespace Texts = gainpair::GainEditorTexts;

const juce::Colour pulseColour{0xff9b59b6};
const juce::Colour red{0xffff3333};
const juce::Colour orange{0xffff8800};
const juce::Colour green{0xff6abf69};

const Texts::OwnTips ownTips{"Automatic gain compensation", "Compensacion automatica de ganancia",
                             "Bypasses trim and compensation", "Desactiva trim y compensacion"};

const Texts::HelpLine helpIntroduction[] = {
    {"Receives the gain value from the Ovrel plugin", "Recibe el valor de ganancia del Ovrel y aplica"},
    {"and automatically applies the inverse compensation.", "automaticamente la compensacion inversa."},
    {"The Trim knob adds fine adjustment on top.", "El knob Trim permite un ajuste fino adicional."},
    {"Both plugins must share the same Link ID.", "Ambos plugins deben compartir el mismo Link ID."},
};

const Texts::HelpLine helpControls[] = {
    {"Controls", "Controles"},
    {"Trim: Fine output adjustment (-12 to +12 dB)", "Trim: Ajuste fino de salida (-12 a +12 dB)"},
    {"Bypass: Bypasses trim and compensation", "Bypass: Desactiva trim y compensacion"},
    {"Link ID: Connect with Ovrel plugin", "Link ID: Enlaza plugins con el mismo ID"},
    {"Ovrel: Value being compensated", "Ovrel: Valor que se compensa"},
    {"Compensation: Final gain applied to the signal", "Compensation: Ganancia total aplicada a la senal"},
};
} // namespace

const juce::String& UndrelAudioProcessorEditor::helpTextEnglish()
{
    static const juce::String text = Texts::helpText(false, "Undrel", helpIntroduction, helpControls);
    return text;
}

const juce::String& UndrelAudioProcessorEditor::helpTextSpanish()
{
    static const juce::String text = Texts::helpText(true, "Undrel", helpIntroduction, helpControls);
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
    : gainpair::GainEditor(owner, state, owner.editorSettings, owner.bypassParam,
                           {"Undrel", helpTextEnglish(), helpTextSpanish(), ownTips, GainPairParameterIds::trim, "Trim",
                            -12.0, 12.0, 0.1, 1}),
      processor(owner)
{
    // Display only: the timer turns it, and a disabled knob refuses every gesture.
    compensationKnob.plainTypedEntry = true;
    compensationKnob.setRange(-48.0, 48.0, 0.01);
    compensationKnob.setParamName("Compensation");
    compensationKnob.setEnabled(false);
    compensationKnob.setAlpha(1.0f);
    compensationKnob.invertLinked = true;
    compensationKnob.setInterceptsMouseClicks(true, false);
    addAndMakeVisible(compensationKnob);

    // The gain already received is no change: nothing runs at opening.
    pulses.startFrom(receivedGain());

    open();
}

bool UndrelAudioProcessorEditor::receivedBypassOn() const
{
    return processor.receivedBypass.load(std::memory_order_acquire);
}

float UndrelAudioProcessorEditor::receivedGain() const
{
    return processor.receivedGainDb.load(std::memory_order_acquire);
}

juce::Colour UndrelAudioProcessorEditor::lampColour() const
{
    return lampColourFor(bypassOn(), receivedBypassOn());
}

bool UndrelAudioProcessorEditor::pulsesInSight() const
{
    return pulses.inSight();
}

void UndrelAudioProcessorEditor::layOut(const gainpair::GainEditorLayout& layout)
{
    const int w = getWidth();
    const int k = layout.bypassSide;
    outputMeter.setBounds(layout.meterAt(w - layout.meterWidth - 4));
    bypassButton.setBounds(12, 38, k, k);
    compensationKnob.setBounds(layout.knob);

    const int trimSide = gainpair::GainEditorLayout::R(54.0f * layout.s);
    const int trimHeight =
        trimSide + gainpair::GainEditorLayout::R(46.0f * layout.s) + gainpair::GainEditorLayout::R(10.0f * layout.s);
    trimKnob.setBounds(10, getHeight() - trimHeight - 36, trimSide, trimHeight);
}

void UndrelAudioProcessorEditor::showProcessorState()
{
    const float g = receivedGain();
    const bool rb = receivedBypassOn();
    const bool own = bypassOn();
    const float shown = rb || !std::isfinite(g) ? 0.0f : g;

    showValues(shown, processor.appliedGainDb.load(std::memory_order_acquire));
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

    pulses.follow(g);
    pulses.step();
}

void UndrelAudioProcessorEditor::paintOverChildren(juce::Graphics& g)
{
    // From the left edge to the knob's centre.
    const auto target = gainpair::GainEditorFrame::pulseTarget(compensationKnob.getBounds());
    gainpair::GainEditorFrame::paintPulses(g, pulses, {0.0f, target.y}, target, pulseColour);
}

void UndrelAudioProcessorEditor::setLanguageSpanish(bool isSpanish)
{
    gainpair::GainEditor::setLanguageSpanish(isSpanish);
    // The knob named in the language, and its tip (the trim knob took the shared knob tip).
    compensationKnob.setParamName(isSpanish ? "Compensacion" : "Compensation");
    compensationKnob.setTooltip(isSpanish ? "Compensacion inversa aplicada automaticamente"
                                          : "Inverse compensation applied automatically");
}
