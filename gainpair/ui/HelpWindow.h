#pragma once

#include "gainpair/ui/HelpPanel.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>

namespace gainpair
{
// A desktop window around an editor's help panel. Its close button only hides it; the editor
// deletes it when the editor goes.
class HelpWindow : public juce::DocumentWindow
{
public:
    explicit HelpWindow(HelpPanel& panel);
    ~HelpWindow() override;

    void closeButtonPressed() override;

    static juce::String titleFor(bool spanish) { return spanish ? "Ayuda" : "Help"; }

    // The help button's action: creates the window on first use, then hides it when shown, or
    // shows it left of the editor with the panel brought in line with the current settings.
    static void toggle(std::unique_ptr<HelpWindow>& window, HelpPanel& panel, juce::Component& editor,
                       bool tooltipsShown);

    static constexpr int titleBarHeight = 26;
    static const juce::Colour background;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(HelpWindow)
};
} // namespace gainpair
