#include "widgets/WindowPlacement.h"

#include <gtest/gtest.h>

namespace
{
using Side = WindowPlacement::Side;
} // namespace

// A 340 x 426 window beside an editor on a display's usable area, which need not start at 0 (a
// second display, a panel along the top).
TEST(WindowPlacement, BesideTheEditorWhereItFitsOtherwiseOnTheDisplay)
{
    const juce::Rectangle<int> primary{0, 0, 1280, 1024};
    const juce::Rectangle<int> second{1280, 40, 1024, 728};
    const struct
    {
        const char* where;
        juce::Rectangle<int> area;
        juce::Rectangle<int> editor;
        Side preferred;
        juce::Point<int> expected;
    } cases[] = {
        {"room on the left", primary, {600, 200, 300, 300}, Side::left, {256, 137}},
        {"just room on the left", primary, {344, 200, 300, 300}, Side::left, {0, 137}},
        {"no room on the left", primary, {343, 200, 300, 300}, Side::left, {647, 137}},
        {"at the left edge", primary, {0, 200, 300, 300}, Side::left, {304, 137}},
        {"off the left edge", primary, {-100, 200, 300, 300}, Side::left, {204, 137}},
        {"no room either side", primary, {300, 200, 700, 700}, Side::left, {940, 337}},
        {"near the top", primary, {600, 0, 300, 300}, Side::left, {256, 0}},
        {"above the top", primary, {600, -250, 300, 300}, Side::left, {256, 0}},
        {"near the bottom", primary, {600, 900, 300, 100}, Side::left, {256, 598}},
        {"room on the right", primary, {100, 50, 380, 522}, Side::right, {484, 98}},
        {"just room on the right", primary, {556, 50, 380, 522}, Side::right, {940, 98}},
        {"no room on the right", primary, {557, 50, 380, 522}, Side::right, {213, 98}},
        {"at the right edge", primary, {900, 50, 380, 522}, Side::right, {556, 98}},
        {"no room on the right either", primary, {200, 50, 900, 522}, Side::right, {940, 98}},
        {"second display, room on the left", second, {1700, 150, 300, 300}, Side::left, {1356, 87}},
        {"second display, at its left edge", second, {1290, 150, 300, 300}, Side::left, {1594, 87}},
        {"second display, above its top", second, {1700, 30, 300, 300}, Side::left, {1356, 40}},
        {"second display, at its bottom", second, {1700, 600, 300, 300}, Side::left, {1356, 342}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(WindowPlacement::beside(c.editor, 340, 426, c.area, c.preferred), c.expected) << c.where;
}

// A window larger than the display keeps its top-left corner on it, where its title bar is.
TEST(WindowPlacement, AWindowLargerThanTheDisplayKeepsItsTopLeftOnIt)
{
    const juce::Rectangle<int> small{100, 50, 800, 400};
    EXPECT_EQ(WindowPlacement::beside({300, 100, 300, 300}, 900, 500, small, Side::right), juce::Point<int>(100, 50));
    EXPECT_EQ(WindowPlacement::beside({300, 100, 300, 300}, 900, 500, small, Side::left), juce::Point<int>(100, 50));
}
