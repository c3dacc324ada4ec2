#pragma once

#include "widgets/GestureTexts.h"
#include "widgets/HelpPanel.h"
#include "widgets/HelpWindow.h"
#include "widgets/OrlintMeter.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <span>

namespace gainpair
{
// The texts of the gain editors in English and Spanish: most are alike in both plug-ins; the title
// and bypass tips are each plug-in's own.
namespace GainEditorTexts
{
struct OwnTips
{
    const char* titleEnglish;
    const char* titleSpanish;
    const char* bypassEnglish;
    const char* bypassSpanish;
};

// The controls whose texts change with the language.
struct Targets
{
    HelpPanel& helpPanel;
    HelpWindow* helpWindow;
    juce::Button& logoButton;
    juce::Label& compensationCaption;
    juce::SettableTooltipClient& titleTipZone;
    juce::SettableTooltipClient& linkTipZone;
    juce::SettableTooltipClient& knob;
    juce::SettableTooltipClient& bypassButton;
    juce::SettableTooltipClient& linkIdBox;
    OrlintMeter& meter;
    juce::SettableTooltipClient& helpButton;
};

// Brings the help panel, the help window's title, the logo's tip, the compensation caption and every
// tooltip into the language.
void apply(bool spanish, const juce::String& pluginName, const OwnTips& own, const Targets& targets);

using GestureTexts::joinLines;

// The help texts' "Shortcuts" section, alike in both plug-ins, with the empty line after it.
juce::String shortcutLines(bool spanish);

// A line of a help text in both languages.
struct HelpLine
{
    const char* english;
    const char* spanish;
};

// A plug-in's help text in one language: its name, its introduction, the shared shortcuts, its
// controls, and the signature with the name and version, with an empty line before the shortcuts
// and before the signature.
juce::String helpText(bool spanish, const juce::String& pluginName, std::span<const HelpLine> introduction,
                      std::span<const HelpLine> controls);

// A gain with one decimal and " dB"; a value read from shared memory may be anything, and a
// non-number shows as 0.
juce::String dbText(float db);
} // namespace GainEditorTexts
} // namespace gainpair
