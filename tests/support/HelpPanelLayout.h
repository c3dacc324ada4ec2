#pragma once

#include "widgets/HelpPanel.h"

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
