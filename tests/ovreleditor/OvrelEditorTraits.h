#pragma once

#include "OvrelEditorTestSupport.h"
#include "gaineditor/GainEditorFaceTest.h"
#include "support/HostGivenSizes.h"

#include <vector>

// What tells Ovrel's editor apart in the tests both gain editors pass.
struct OvrelEditorTraits
{
    using Processor = OvrelAudioProcessor;
    using Editor = OvrelAudioProcessorEditor;

    static constexpr const char* name = "Ovrel";
    static constexpr const char* knobParameter = "gain";
    static constexpr const char* knobName = "Gain";

    static OrlintKnob& centreKnob(Editor& e) { return e.gainKnob; }
    static std::vector<const juce::Component*> ownParts(Editor& e) { return {&e.instanceLetterLabel}; }

    // Worked out by hand from the layout rules: s = w / 300, values rounded half away from zero,
    // integer divisions truncated.
    static inline const GainEditorLayoutRow ownLayout[] = {
        {"meter", {4, 34, 60, 234}, {4, 34, 140, 634}},
        {"bypass", {248, 38, 36, 36}, {600, 38, 84, 84}},
        {"badge", {252, 78, 32, 26}, {609, 126, 75, 61}},
        {"letter", {252, 108, 36, 14}, {609, 212, 79, 14}},
    };
    static juce::Rectangle<int> ownBounds(Editor& e, const juce::String& part)
    {
        if (part == "badge")
            return e.roleBadgeBounds.toNearestInt();
        if (part == "letter")
            return e.instanceLetterLabel.getBounds();
        return part == "meter" ? e.inputMeter.getBounds() : e.bypassButton.getBounds();
    }

    static constexpr GainEditorTextRow ownTexts[] = {
        {"titleZone", "Input gain with automatic compensation", "Ganancia de entrada con compensacion automatica"},
        {"bypass", "Bypasses gain and compensation", "Desactiva la ganancia y la compensacion"},
    };
    static juce::Component* ownPart(Editor&, const juce::String&) { return nullptr; }
    static juce::String ownText(Editor&, const juce::String&) { return {}; }

    static constexpr int helpLineCount = 23;
    static constexpr int helpEmptyLines[] = {6, 14, 21};
    static constexpr GainEditorHelpLine helpLines[] = {
        {0, "Ovrel", "Ovrel"},
        {22, "Orlintz Engineer - Ovrel v2.0.0", "Orlintz Engineer - Ovrel v2.0.0"},
    };

    static void showEverything(Processor& p)
    {
        p.linkRole.store(static_cast<int>(LinkRole::Master));
        p.multiInstance.store(true);
        p.instanceLetter.store('A');
    }
    static void expectOwnPartsApart(Editor& e)
    {
        expectApart(e.inputMeter.getBounds(), e.gainCaption.getBounds());
        expectApart(e.roleBadgeBounds.toNearestInt(), e.gainValueLabel.getBounds());
    }
};
