#include "bivarroeditor/EditorFixture.h"

namespace
{
using EditorLayout = EditorFixture;

struct Cell
{
    const char* name;
    float x, y, w, h;
};

// The design grid: 216 by 464 units between the 30 px header and the 28 px footer.
const Cell grid[] = {
    {"gainLKnob", 8, 14, 46, 62},
    {"panLKnob", 8, 64, 46, 62},
    {"delayLKnob", 8, 114, 46, 62},
    {"apFcLKnob", 16, 168, 28, 38},
    {"orderLButton", 8, 214, 16, 12},
    {"linkAllButton", 8, 228, 16, 12},
    {"apQLKnob", 26, 206, 28, 38},
    {"apPhaseLKnob", 16, 244, 28, 38},
    {"polarityLButton", 8, 292, 46, 14},
    {"muteLButton", 8, 307, 46, 14},
    {"gainRKnob", 162, 14, 46, 62},
    {"panRKnob", 162, 64, 46, 62},
    {"delayRKnob", 162, 114, 46, 62},
    {"apFcRKnob", 170, 168, 28, 38},
    {"orderRButton", 162, 214, 16, 12},
    {"inverseLinkAllButton", 162, 228, 16, 12},
    {"apQRKnob", 180, 206, 28, 38},
    {"apPhaseRKnob", 170, 244, 28, 38},
    {"polarityRButton", 162, 292, 46, 14},
    {"muteRButton", 162, 307, 46, 14},
    {"meterL", 64, 2, 42, 320},
    {"meterR", 110, 2, 42, 320},
    {"bypassButton", 8, 328, 96, 14},
    {"graphicButton", 112, 328, 96, 14},
    {"monoMakerFreqKnob", 8, 344, 38, 62},
    {"widthKnob", 62, 344, 38, 62},
    {"asymmetryKnob", 116, 344, 38, 62},
    {"rotationKnob", 170, 344, 38, 62},
    {"monoMakerIntKnob", 8, 394, 38, 62},
    {"midGainKnob", 62, 394, 38, 62},
    {"sideGainKnob", 116, 394, 38, 62},
    {"trimOutKnob", 170, 394, 38, 62},
    {"muteMidButton", 8, 446, 61.3f, 14},
    {"monoButton", 77.3f, 446, 61.3f, 14},
    {"muteSideButton", 146.6f, 446, 61.3f, 14},
};

juce::Rectangle<int> fromGrid(const Cell& c, int width, int height)
{
    const float e = (float)width / 216.0f;
    const float h = (float)(height - 58) / 464.0f;
    return {juce::roundToInt(e * c.x), 30 + juce::roundToInt(h * c.y), juce::roundToInt(e * c.w),
            juce::roundToInt(h * c.h)};
}

struct SizeCase
{
    int stored, width, height;
};
} // namespace

TEST_F(EditorLayout, OpensAtTheStoredWidthWithinLimits)
{
    const SizeCase cases[] = {{380, 380, 918}, {300, 300, 725},  {450, 450, 1088}, {540, 540, 1304},
                              {250, 300, 725}, {600, 540, 1304}, {-5, 300, 725}};
    for (const auto& c : cases)
    {
        close();
        processor.settings.editorWidth = c.stored;
        open();
        EXPECT_EQ(editor->getWidth(), c.width) << c.stored;
        EXPECT_EQ(editor->getHeight(), c.height) << c.stored;
        EXPECT_EQ(processor.settings.editorWidth.load(), c.stored) << "construction stores nothing";
        EXPECT_TRUE(probe->fullyBuilt());
    }
}

TEST_F(EditorLayout, IsResizableWithinItsLimitsAndAspect)
{
    EXPECT_TRUE(editor->isResizable());
    auto* constrainer = editor->getConstrainer();
    ASSERT_NE(constrainer, nullptr);
    EXPECT_EQ(constrainer->getMinimumWidth(), 300);
    EXPECT_EQ(constrainer->getMaximumWidth(), 540);
    EXPECT_EQ(constrainer->getMinimumHeight(), 725);
    EXPECT_EQ(constrainer->getMaximumHeight(), 1304);
    EXPECT_NEAR(constrainer->getFixedAspectRatio(), 12.0 / 29.0, 1.0e-12);

    // Through the constrainer, as the corner resizer and hosts go.
    editor->setBoundsConstrained({0, 0, 1000, 3000});
    EXPECT_LE(editor->getWidth(), 540);
    EXPECT_LE(editor->getHeight(), 1304);
    editor->setBoundsConstrained({0, 0, 100, 200});
    EXPECT_GE(editor->getWidth(), 300);
    EXPECT_GE(editor->getHeight(), 725);
}

TEST_F(EditorLayout, EveryControlSitsOnTheGridAtTheMinimumDefaultAndMaximumWidths)
{
    for (const int width : {300, 380, 540})
    {
        close();
        processor.settings.editorWidth = width;
        open();
        const int height = editor->getHeight();
        for (const auto& c : grid)
            EXPECT_EQ(probe->component(c.name).getBounds(), fromGrid(c, width, height)) << width << " " << c.name;
        EXPECT_EQ(probe->sectionDividerY(), 30 + juce::roundToInt((float)(height - 58) / 464.0f * 325.0f));
        EXPECT_EQ(probe->headerHeight(), 30);
        EXPECT_EQ(probe->footerHeight(), 28);
        EXPECT_EQ(probe->component("bypassOverlay").getBounds(), juce::Rectangle<int>(0, 30, width, height - 58));
    }
}

TEST_F(EditorLayout, KnownRectanglesAtThreeSizes)
{
    const struct
    {
        int width;
        const char* name;
        juce::Rectangle<int> bounds;
    } cases[] = {
        {380, "gainLKnob", {14, 56, 81, 115}},        {380, "apQLKnob", {46, 412, 49, 70}},
        {380, "meterL", {113, 34, 74, 593}},          {380, "bypassButton", {14, 638, 169, 26}},
        {380, "muteSideButton", {258, 857, 108, 26}}, {380, "slotAButton", {157, 7, 20, 16}},
        {380, "slotBButton", {180, 7, 20, 16}},       {380, "slotCButton", {203, 7, 20, 16}},
        {380, "copyToAButton", {226, 7, 40, 16}},     {380, "helpButton", {358, 7, 18, 16}},
        {300, "gainLKnob", {11, 50, 64, 89}},         {300, "meterR", {153, 33, 58, 460}},
        {540, "gainLKnob", {20, 68, 115, 166}},       {540, "monoButton", {193, 1228, 153, 38}},
    };
    const std::pair<int, int> dividers[] = {{380, 632}, {300, 497}, {540, 903}};
    for (const auto& [width, divider] : dividers)
    {
        close();
        processor.settings.editorWidth = width;
        open();
        EXPECT_EQ(probe->sectionDividerY(), divider) << width;
        for (const auto& c : cases)
        {
            if (c.width == width)
            {
                EXPECT_EQ(probe->component(c.name).getBounds(), c.bounds) << width << " " << c.name;
            }
        }
    }
}

TEST_F(EditorLayout, TheQKnobsLieAboveThePhaseKnobs)
{
    for (const auto& [q, phase] : {std::pair{"apQLKnob", "apPhaseLKnob"}, std::pair{"apQRKnob", "apPhaseRKnob"}})
    {
        EXPECT_GT(editor->getIndexOfChildComponent(&probe->component(q)),
                  editor->getIndexOfChildComponent(&probe->component(phase)));
        EXPECT_FALSE(probe->component(phase).isPaintingUnclipped());
    }
}

TEST_F(EditorLayout, StoresItsWidthOnlyAfterConstructionAndWithinLimits)
{
    editor->setSize(450, 1088);
    EXPECT_EQ(processor.settings.editorWidth.load(), 450);
    close();
    open();
    EXPECT_EQ(editor->getWidth(), 450);
    EXPECT_EQ(editor->getHeight(), 1088);

    // A host that ignores the limits gets a layout, but the size is not remembered.
    for (const auto& [w, h] : {std::pair{600, 1400}, std::pair{299, 725}, std::pair{400, 700}, std::pair{540, 1305}})
    {
        editor->setSize(w, h);
        EXPECT_EQ(processor.settings.editorWidth.load(), 450) << w << "x" << h;
        EXPECT_EQ(probe->component("gainLKnob").getBounds(), fromGrid(grid[0], w, h));
    }
    editor->setSize(300, 725);
    EXPECT_EQ(processor.settings.editorWidth.load(), 300);
}
