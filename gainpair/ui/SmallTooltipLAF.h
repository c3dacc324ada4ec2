#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>

namespace gainpair
{
// Small dark tooltips of at most three lines.
class SmallTooltipLAF : public juce::LookAndFeel_V4
{
public:
    ~SmallTooltipLAF() override = default;

    void drawTooltip(juce::Graphics& g, const juce::String& text, int width, int height) override;

    static constexpr int delayMs = 1600;

    // Creates the editor's tooltip window when on and there is none, or takes its look away and
    // destroys it when off.
    static void switchWindow(std::unique_ptr<juce::TooltipWindow>& window, juce::Component& parent,
                             juce::LookAndFeel& look, bool on);
};
} // namespace gainpair
