#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// Where a desktop window opens beside an editor: on its own side of the editor, 4 px away and
// vertically centred on it, for as long as the whole window then lies on the editor's display;
// otherwise on the other side, and failing both right of the editor, pulled onto the display.
// Near the display's top or bottom it is moved up or down onto it.
class WindowPlacement
{
public:
    enum class Side
    {
        left,
        right
    };

    // The window's top-left corner for an editor and a display's usable area, all in screen
    // coordinates.
    static juce::Point<int> beside(juce::Rectangle<int> editor, int windowWidth, int windowHeight,
                                   juce::Rectangle<int> area, Side preferred);

    // The same on the display that shows most of the editor; without one, on the preferred side.
    static juce::Point<int> besideOnDisplay(juce::Rectangle<int> editor, int windowWidth, int windowHeight,
                                            Side preferred);

    static constexpr int gap = 4;
};
