#include "widgets/WindowPlacement.h"

namespace
{
// Start of a span of the given length inside [low, high), its start preferred when it is longer.
int pulledInside(int start, int length, int low, int high)
{
    return juce::jmax(low, juce::jmin(start, high - length));
}
} // namespace

juce::Point<int> WindowPlacement::beside(juce::Rectangle<int> editor, int windowWidth, int windowHeight,
                                         juce::Rectangle<int> area, Side preferred)
{
    const int leftX = editor.getX() - windowWidth - gap;
    const int rightX = editor.getRight() + gap;
    const int centredY = editor.getY() + (editor.getHeight() - windowHeight) / 2;
    const int y = pulledInside(centredY, windowHeight, area.getY(), area.getBottom());

    const auto fits = [&](int x) { return x >= area.getX() && x + windowWidth <= area.getRight(); };
    const int own = preferred == Side::left ? leftX : rightX;
    const int other = preferred == Side::left ? rightX : leftX;
    if (fits(own))
        return {own, y};
    if (fits(other))
        return {other, y};
    return {pulledInside(rightX, windowWidth, area.getX(), area.getRight()), y};
}

juce::Point<int> WindowPlacement::besideOnDisplay(juce::Rectangle<int> editor, int windowWidth, int windowHeight,
                                                  Side preferred)
{
    if (const auto* display = juce::Desktop::getInstance().getDisplays().getDisplayForRect(editor))
        return beside(editor, windowWidth, windowHeight, display->userArea, preferred);

    const int centredY = editor.getY() + (editor.getHeight() - windowHeight) / 2;
    return {preferred == Side::left ? editor.getX() - windowWidth - gap : editor.getRight() + gap, centredY};
}
