#pragma once

#include "widgets/HelpPanel.h"
#include "widgets/HelpWindow.h"
#include "widgets/OrlintMeter.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <initializer_list>
#include <memory>

namespace gainpair
{
// How both gain editors dress the controls they have alike; each editor adds them, binds them and
// lays them out itself.
namespace GainEditorSetup
{
// How long the pointer rests on a control before its tip shows.
constexpr int tooltipDelayMs = 1600;

// "Link ID" caption and the box of IDs 1 to 50 in the shared combo look.
void linkIdControls(juce::Label& label, juce::ComboBox& box);

// The "?" button and the transparent zones over the painted logo and captions.
void headerButtons(juce::TextButton& help, std::initializer_list<juce::TextButton*> zones, juce::LookAndFeel& look);

// "Ovrel:" with its value in firstColour, and the compensation caption with its value in violet.
void valueLabels(juce::Label& firstCaption, juce::Label& firstValue, juce::Colour firstColour,
                 juce::Label& secondCaption, juce::Label& secondValue);

// The red bypass text near the bottom; clicks pass through it.
void statusLabel(juce::Label& label);

// The gain pair's meter: settings panel without overlay, adaptive peak inset, scale on the given side.
void meter(OrlintMeter& meter, int scaleSide, bool holdOn);

// An editor's going: hides and deletes its help window, deletes its tooltip window and clears the
// callbacks that point into it.
void closeHelpAndTips(std::unique_ptr<HelpWindow>& helpWindow, std::unique_ptr<juce::TooltipWindow>& tooltipWindow,
                      juce::Component& editor, juce::LookAndFeel& tooltipLook, juce::Button& helpButton,
                      HelpPanel& helpPanel, OrlintMeter& meter);

// Takes the editor's looks off its controls before the looks go.
void releaseLooks(std::initializer_list<juce::Component*> components);
} // namespace GainEditorSetup
} // namespace gainpair
