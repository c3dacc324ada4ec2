#pragma once

#include "UndrelEditorTestSupport.h"
#include "gaineditor/GainEditorFaceTest.h"
#include "support/HostGivenSizes.h"
#include "widgets/KnobTestKit.h"

#include <vector>

// What tells Undrel's editor apart in the tests both gain editors pass.
struct UndrelEditorTraits
{
    using Processor = UndrelAudioProcessor;
    using Editor = UndrelAudioProcessorEditor;

    static constexpr const char* name = "Undrel";
    static constexpr const char* knobParameter = "trim";
    static constexpr const char* knobName = "Trim";

    static OrlintKnob& centreKnob(Editor& e) { return e.compensationKnob; }
    static std::vector<const juce::Component*> ownParts(Editor& e) { return {&e.trimKnob}; }

    // Worked out by hand from the layout rules: s = w / 300, values rounded half away from zero,
    // integer divisions truncated.
    static inline const GainEditorLayoutRow ownLayout[] = {
        {"meter", {236, 34, 60, 234}, {556, 34, 140, 634}},
        {"bypass", {12, 38, 36, 36}, {12, 38, 84, 84}},
        {"trim", {10, 154, 54, 110}, {10, 408, 126, 256}},
    };
    static juce::Rectangle<int> ownBounds(Editor& e, const juce::String& part)
    {
        if (part == "trim")
            return e.trimKnob.getBounds();
        return part == "meter" ? e.outputMeter.getBounds() : e.bypassButton.getBounds();
    }

    static constexpr GainEditorTextRow ownTexts[] = {
        {"titleZone", "Automatic gain compensation", "Compensacion automatica de ganancia"},
        {"compKnob", "Inverse compensation applied automatically", "Compensacion inversa aplicada automaticamente"},
        {"bypass", "Bypasses trim and compensation", "Desactiva trim y compensacion"},
        {"compName", "Compensation", "Compensacion"},
    };
    static juce::Component* ownPart(Editor& e, const juce::String& part)
    {
        return part == "compKnob" ? &e.compensationKnob : nullptr;
    }
    // The compensation knob's shown name.
    static juce::String ownText(Editor& e, const juce::String&)
    {
        return OrlintKnobProbe(e.compensationKnob).shownName();
    }

    static constexpr int helpLineCount = 22;
    static constexpr int helpEmptyLines[] = {5, 13, 20};
    static constexpr GainEditorHelpLine helpLines[] = {
        {0, "Undrel", "Undrel"},
        {1, "Receives the gain value from the Ovrel plugin", "Recibe el valor de ganancia del Ovrel y aplica"},
        {15, "Trim: Fine output adjustment (-12 to +12 dB)", "Trim: Ajuste fino de salida (-12 a +12 dB)"},
        {19, "Compensation: Final gain applied to the signal", "Compensation: Ganancia total aplicada a la senal"},
        {21, "Orlintz Engineer - Undrel v2.0.0", "Orlintz Engineer - Undrel v2.0.0"},
    };

    static void showEverything(Processor&) {}
    static void expectOwnPartsApart(Editor& e)
    {
        expectApart(e.trimKnob.getBounds(), e.outputMeter.getBounds());
        expectApart(e.trimKnob.getBounds(), e.bypassButton.getBounds());
    }
};
