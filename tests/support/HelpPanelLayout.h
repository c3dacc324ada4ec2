#pragma once

#include "support/EditorSnapshots.h"
#include "widgets/HelpPanel.h"
#include "widgets/HelpWindow.h"

#include <gtest/gtest.h>

// The help panel's layout at a few sizes: the text above a strip of at most 84 px holding the two
// switches, everything shrinking to nothing in a tiny panel.
inline void expectHelpPanelLayout(HelpPanel& panel)
{
    const struct
    {
        int w, h;
        juce::Rectangle<int> text, tooltips, espanol;
    } cases[] = {
        {340, 400, {8, 8, 324, 296}, {8, 308, 324, 24}, {8, 336, 324, 24}},
        {200, 120, {8, 8, 184, 16}, {8, 28, 184, 24}, {8, 56, 184, 24}},
        {100, 60, {8, 8, 84, 0}, {8, 8, 84, 24}, {8, 36, 84, 16}},
        {40, 30, {8, 8, 24, 0}, {8, 8, 24, 14}, {8, 22, 24, 0}},
        {10, 10, {8, 8, 0, 0}, {8, 8, 0, 0}, {8, 8, 0, 0}},
    };
    for (const auto& c : cases)
    {
        panel.setSize(c.w, c.h);
        EXPECT_EQ(panel.textView.getBounds(), c.text) << c.w << "x" << c.h;
        EXPECT_EQ(panel.tooltipsToggle.getBounds(), c.tooltips) << c.w << "x" << c.h;
        EXPECT_EQ(panel.espanolToggle.getBounds(), c.espanol) << c.w << "x" << c.h;
    }
}

// The panel inside a help window as the help button shows it: all of the window below the title
// bar, so that its text and switches get their full size.
inline void expectPanelFillsHelpWindow(const HelpWindow& window, const HelpPanel& panel)
{
    EXPECT_EQ(window.getWidth(), 340);
    EXPECT_EQ(window.getHeight(), 426);
    EXPECT_EQ(window.getContentComponent(), &panel);
    EXPECT_EQ(panel.getBounds(), juce::Rectangle<int>(0, 26, 340, 400));
    EXPECT_EQ(panel.textView.getBounds(), juce::Rectangle<int>(8, 8, 324, 296));
    EXPECT_EQ(panel.tooltipsToggle.getBounds(), juce::Rectangle<int>(8, 308, 324, 24));
    EXPECT_EQ(panel.espanolToggle.getBounds(), juce::Rectangle<int>(8, 336, 324, 24));

    // Drawn, the panel reaches the window's sides and bottom.
    auto& shown = const_cast<HelpWindow&>(window);
    const auto image = shown.createComponentSnapshot(shown.getLocalBounds(), true, 1.0f);
    for (const auto p : {juce::Point<int>(0, 26), juce::Point<int>(339, 26), juce::Point<int>(0, 425),
                         juce::Point<int>(339, 425), juce::Point<int>(170, 425)})
        EXPECT_EQ(image.getPixelAt(p.x, p.y), HelpPanel::background) << p.toString();
}

// Pictures of a help window as the help button shows it, at display scales 1 and 2.
inline void writeHelpWindowSnapshots(HelpWindow& window, const juce::String& name)
{
    writePng(window.createComponentSnapshot(window.getLocalBounds(), true, 1.0f), name);
    writePng(window.createComponentSnapshot(window.getLocalBounds(), true, 2.0f), name + "-x2");
}

// Where the help button opens the window for an editor at a few places on its display: left of it,
// vertically centred, where there is room; otherwise right of it; moved up or down onto the display
// near its edges. `press` is the help button's action, `window` the editor's help window.
template <typename Press, typename Window>
void expectHelpWindowStaysOnDisplay(juce::Component& editor, Press press, Window window)
{
    const auto* display = juce::Desktop::getInstance().getDisplays().getPrimaryDisplay();
    ASSERT_NE(display, nullptr);
    const auto area = display->userArea;
    const int h = editor.getHeight();
    const struct
    {
        const char* where;
        juce::Point<int> editorAt;
        bool left;
        bool centred;
        int y; // the window's top when not centred on the editor
    } cases[] = {
        {"room on the left", area.getTopLeft() + juce::Point<int>(400, 200), true, true, 0},
        {"at the left edge", area.getTopLeft() + juce::Point<int>(0, 200), false, true, 0},
        {"too close to the left edge", area.getTopLeft() + juce::Point<int>(343, 200), false, true, 0},
        {"just room on the left", area.getTopLeft() + juce::Point<int>(344, 200), true, true, 0},
        {"above the top", area.getTopLeft() + juce::Point<int>(400, -h / 2), true, false, area.getY()},
        {"below the bottom", {area.getX() + 400, area.getBottom() - h / 4}, true, false, area.getBottom() - 426},
    };
    for (const auto& c : cases)
    {
        editor.setTopLeftPosition(c.editorAt);
        press();
        auto* w = window();
        ASSERT_NE(w, nullptr);
        ASSERT_TRUE(w->isVisible()) << c.where;
        const auto r = editor.getScreenBounds();
        EXPECT_EQ(w->getX(), c.left ? r.getX() - 344 : r.getRight() + 4) << c.where;
        EXPECT_EQ(w->getY(), c.centred ? r.getY() + (r.getHeight() - 426) / 2 : c.y) << c.where;
        EXPECT_TRUE(area.contains(w->getBounds())) << c.where << " " << w->getBounds().toString();
        press();
        EXPECT_FALSE(w->isVisible()) << c.where;
    }
}
