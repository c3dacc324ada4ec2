#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>

// Small dark tooltips. A tip's own line breaks start new lines, so a tip of more lines than the
// fitting allows is still drawn whole.
class SmallTooltipLAF : public juce::LookAndFeel_V4
{
public:
    ~SmallTooltipLAF() override = default;

    void drawTooltip(juce::Graphics& g, const juce::String& text, int width, int height) override;

    // Creates the editor's tooltip window, showing tips after delayMs of hovering, when on and there
    // is none; takes its look away and destroys it when off.
    static void switchWindow(std::unique_ptr<juce::TooltipWindow>& window, juce::Component& parent,
                             juce::LookAndFeel& look, bool on, int delayMs);
};
