#pragma once

#include "widgets/HelpPanel.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>

// A desktop window around an editor's help panel. Its close button only hides it; the editor
// deletes it when the editor goes.
class HelpWindow : public juce::DocumentWindow
{
public:
    // Whether the window takes the keyboard. A window that never does ignores key presses, is
    // brought to the front without focus and looks the same active or not, so typing keeps going
    // to the host.
    enum class Focus
    {
        takes,
        never
    };

    HelpWindow(HelpPanel& panel, Focus focus);
    ~HelpWindow() override;

    juce::BorderSize<int> getBorderThickness() const override;
    void activeWindowStatusChanged() override;
    int getDesktopWindowStyleFlags() const override;
    void closeButtonPressed() override;

    static juce::String titleFor(bool spanish) { return spanish ? "Ayuda" : "Help"; }

    // The help button's action: creates the window on first use, then hides it when shown, or
    // shows it beside the editor (left where there is room) with the panel brought in line with the
    // current settings.
    static void toggle(std::unique_ptr<HelpWindow>& window, HelpPanel& panel, juce::Component& editor,
                       bool tooltipsShown, Focus focus);

    static constexpr int titleBarHeight = 26;
    static const juce::Colour background;

private:
    const Focus focus;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(HelpWindow)
};
