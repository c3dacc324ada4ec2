#pragma once

#include "support/GainEditorTest.h"
#include "support/GainEditorTextRows.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <gtest/gtest.h>

#include <vector>

// A part of a gain editor and where it sits at the smallest and the largest size.
struct GainEditorLayoutRow
{
    const char* name;
    juce::Rectangle<int> at300, at700;
};

// A line of a help text, by its index, in both languages.
struct GainEditorHelpLine
{
    int index;
    const char* english;
    const char* spanish;
};

// The tests that both gain editors pass alike, run once per product. Traits names the product's
// processor and editor and gives what tells its editor apart:
//   name, knobParameter, knobName: the product, and the parameter and name of the knob the user turns;
//   centreKnob(e): the big knob; ownParts(e): the parts that only this editor has, which must stay clear
//   of the big knob;
//   ownLayout, ownBounds(e, name): where those parts sit;
//   ownTexts, ownPart(e, name), ownText(e, name): the editor's own texts and where they show;
//   helpLineCount, helpEmptyLines, helpLines: the help texts' shape;
//   showEverything(proc), expectOwnPartsApart(e): the state the host-size pictures show, and what
//   must not overlap in it.
template <typename Traits>
class GainEditorFaceTest : public GainEditorTest<typename Traits::Processor, typename Traits::Editor>
{
protected:
    using Editor = typename Traits::Editor;

    // The part that shows a text row's tooltip, or none for a row of another text.
    static juce::Component* partNamed(Editor& e, const juce::String& name)
    {
        const std::pair<const char*, juce::Component*> shared[] = {
            {"titleZone", &e.titleTipZone}, {"linkZone", &e.linkTipZone}, {"knob", &e.knob},
            {"bypass", &e.bypassButton},    {"linkBox", &e.linkIdBox},    {"meter", &e.meter},
            {"help", &e.helpButton}};
        for (const auto& [partName, part] : shared)
            if (name == partName)
                return part;
        return Traits::ownPart(e, name);
    }
};
