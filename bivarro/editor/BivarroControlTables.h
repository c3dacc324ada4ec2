#pragma once

#include "bivarro/editor/BivarroEditorLinks.h"
#include "bivarro/editor/BivoButton.h"
#include "widgets/OrlintKnob.h"

#include <array>

class BivarroAudioProcessorEditor;

// The editor's control tables: what binds its knobs and toggle pairs to their parameters and links,
// and the texts a language switch gives them.
struct BivarroControlTables
{
    using Editor = BivarroAudioProcessorEditor;

    // How a knob is bound: its member, parameter, name, range, double-click value, drag settings
    // and tooltip.
    struct Knob
    {
        OrlintKnob Editor::*knob;
        const char* parameterId;
        const char* name;
        double minimum, maximum, interval, defaultValue;
        bool proportionalDrag;
        float fontScale;
        double dragStep;
        const char* tooltip;
    };

    // A knob pair: its knobs, parameters, link entry and the index of knob A in the links' reference
    // values.
    struct KnobPair
    {
        OrlintKnob Editor::*a;
        OrlintKnob Editor::*b;
        const char* idA;
        const char* idB;
        BivarroEditorLinks::Link link;
        size_t lastA;
    };

    struct ButtonPair
    {
        BivoButton Editor::*a;
        BivoButton Editor::*b;
        const char* idA;
        const char* idB;
        BivarroEditorLinks::Link link;
    };

    // A text of one control in both languages.
    template <typename Control> struct LanguageRow
    {
        Control Editor::*control;
        const char* english;
        const char* spanish;
    };

    // A button's tooltip in both languages; most also carry the link gestures' note.
    struct ButtonTip
    {
        BivoButton Editor::*button;
        const char* english;
        const char* spanish;
        bool withLinkHelp;
    };

    // In member order, which is also the order of the attachments.
    static const std::array<Knob, 20>& knobs();
    // In the order of the links' pairs.
    static const std::array<KnobPair, BivarroEditorLinks::numPairs>& knobPairs();
    static const std::array<ButtonPair, 4>& buttonPairs();

    // What a language switch renames and retitles.
    static const std::array<LanguageRow<OrlintKnob>, 9>& knobNames();
    static const std::array<LanguageRow<BivoButton>, 3>& buttonLabels();
    static const std::array<ButtonTip, 13>& buttonTips();
};
