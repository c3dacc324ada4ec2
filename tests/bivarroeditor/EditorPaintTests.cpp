#include "bivarroeditor/EditorFixture.h"
#include "support/EditorSnapshots.h"
#include "widgets/KnobTestKit.h"

namespace
{
using EditorPaint = EditorFixture;
using E = BivarroEditorLinks;

int brightness(juce::Colour c)
{
    return c.getRed() + c.getGreen() + c.getBlue();
}

void expectNear(juce::Colour actual, juce::uint32 expected, int tolerance, const std::string& what)
{
    const juce::Colour e(expected);
    EXPECT_NEAR(actual.getRed(), e.getRed(), tolerance) << what << " " << actual.toDisplayString(true);
    EXPECT_NEAR(actual.getGreen(), e.getGreen(), tolerance) << what << " " << actual.toDisplayString(true);
    EXPECT_NEAR(actual.getBlue(), e.getBlue(), tolerance) << what << " " << actual.toDisplayString(true);
}

bool isGold(juce::Colour c)
{
    return c.getRed() > c.getBlue() + 40 && c.getGreen() > c.getBlue() + 20;
}

bool isViolet(juce::Colour c)
{
    return c.getBlue() > c.getGreen() + 20 && c.getRed() > c.getGreen();
}

} // namespace

// At the default 380 by 918: header 0..29, divider row 632, lower fill 633..889, footer 890..917.
TEST_F(EditorPaint, HeaderFooterAndSectionsAtTheDefaultSize)
{
    ASSERT_EQ(editor->getWidth(), 380);
    const auto img = render();

    expectNear(img.getPixelAt(300, 1), 0xff171717, 2, "header top");
    expectNear(img.getPixelAt(300, 26), 0xff212121, 2, "header bottom");
    expectNear(img.getPixelAt(300, 28), 0xffb8860b, 1, "header rule");
    expectNear(img.getPixelAt(300, 29), 0xffb8860b, 1, "header rule");

    expectNear(img.getPixelAt(300, 905), 0xff171717, 1, "footer");
    // The footer rule: the accent at alpha 0x59 over the footer.
    expectNear(img.getPixelAt(300, 890), juce::Colour(0xff171717).overlaidWith(juce::Colour(0x59b8860b)).getARGB(), 2,
               "footer rule");

    const auto divider = img.getPixelAt(300, 632);
    EXPECT_TRUE(isGold(divider)) << divider.toDisplayString(true);
    expectNear(img.getPixelAt(300, 666), 0xff242424, 0, "lower section between the button row and the knobs");
    expectNear(img.getPixelAt(300, 633), 0xff242424, 0, "lower section under the divider");

    // The column separators: a faint grey line beside the darker background.
    const auto column = [&img](int x)
    { return juce::jmax(brightness(img.getPixelAt(x, 300)), brightness(img.getPixelAt(x - 1, 300))); };
    EXPECT_GT(column(109), brightness(img.getPixelAt(104, 300)) + 6);
    EXPECT_GT(column(271), brightness(img.getPixelAt(276, 300)) + 6);
    EXPECT_LE(std::abs(brightness(img.getPixelAt(109, 700)) - brightness(img.getPixelAt(104, 700))), 1);
}

TEST_F(EditorPaint, BackgroundDarkensDownwardsAndToTheCorners)
{
    const auto img = render();
    // Between the meters, under the link lines' rows, nothing but background.
    EXPECT_GT(brightness(img.getPixelAt(190, 40)), brightness(img.getPixelAt(190, 600)));
    EXPECT_GT(brightness(img.getPixelAt(190, 360)), brightness(img.getPixelAt(2, 620)));
}

TEST_F(EditorPaint, LogoBadgeHeaderButtonsAndLogoClicks)
{
    const auto img = render();
    EXPECT_EQ(probe->logoBounds(), juce::Rectangle<int>(4, 6, 20, 18));
    const auto topLeft = img.getPixelAt(6, 8);
    const auto bottomRight = img.getPixelAt(21, 21);
    EXPECT_TRUE(isGold(topLeft)) << topLeft.toDisplayString(true);
    EXPECT_TRUE(isGold(bottomRight)) << bottomRight.toDisplayString(true);
    EXPECT_GT(brightness(topLeft), brightness(bottomRight) + 100) << "light gold to dark gold";
    expectNear(img.getPixelAt(2, 15), 0xff1a1a1a, 4, "left of the badge");

    expectNear(img.getPixelAt(158, 15), 0xffdaa520, 0, "active slot A");
    expectNear(img.getPixelAt(181, 15), 0xff2a2a2a, 0, "slot B");

    const auto clickAt = [this](int x, int y)
    {
        const auto pos = juce::Point<float>((float)x, (float)y);
        const auto now = juce::Time::getCurrentTime();
        editor->mouseDown(juce::MouseEvent(juce::Desktop::getInstance().getMainMouseSource(), pos, knobtest::none, 1.0f,
                                           0.0f, 0.0f, 0.0f, 0.0f, editor.get(), editor.get(), now, pos, now, 1,
                                           false));
    };
    clickAt(4, 6);
    ASSERT_EQ(openedPages.size(), 1u);
    EXPECT_EQ(openedPages[0], juce::String(BivarroAudioProcessorEditor::productPageUrl));
    clickAt(23, 23);
    EXPECT_EQ(openedPages.size(), 2u);
    clickAt(24, 15);
    clickAt(4, 24);
    clickAt(60, 15);
    EXPECT_EQ(openedPages.size(), 2u) << "outside the badge, and on the title, nothing opens";
}

TEST_F(EditorPaint, CardsLieBehindTheAllPassAndBassMonoGroups)
{
    const auto img = render();
    // The cards' gold outlines: the all-pass cards from x 9 and 280, the bass-mono card from x 10.
    const auto hasGoldEdge = [&img](int x0, int x1, int y)
    {
        for (int x = x0; x <= x1; ++x)
            if (img.getPixelAt(x, y).getRed() > img.getPixelAt(x, y).getBlue() + 15)
                return true;
        return false;
    };
    const int apFcY = probe->component("apFcLKnob").getY();
    EXPECT_TRUE(hasGoldEdge(8, 12, apFcY + 40)) << "left all-pass card";
    EXPECT_TRUE(hasGoldEdge(278, 283, apFcY + 40)) << "right all-pass card";
    EXPECT_TRUE(hasGoldEdge(9, 13, 750)) << "bass-mono card";
    EXPECT_FALSE(hasGoldEdge(60, 66, 750)) << "no card under the width knob";
}

TEST_F(EditorPaint, LinkLinesAndParticlesTakeTheirPairsColours)
{
    // Between the meters (x 187..193) the gain and pan lines cross open background.
    const int gainY = juce::roundToInt(56.0f + 0.35f * 115.0f);
    const int panY = juce::roundToInt(149.0f + 0.35f * 115.0f);
    ASSERT_EQ(probe->component("panLKnob").getY(), 149);
    const auto at = [this](int y) { return render().getPixelAt(190, y); };

    const auto plainGain = at(gainY);
    EXPECT_FALSE(isGold(plainGain) || isViolet(plainGain)) << "no link, no line";

    const struct
    {
        int link, state, y;
        bool gold;
    } cases[] = {
        {E::Gain, 1, gainY, true}, {E::Gain, -1, gainY, false}, {E::Pan, 1, panY, false}, {E::Pan, -1, panY, true}};
    for (const auto& c : cases)
    {
        probe->linkStates().fill(0);
        probe->linkStates()[(size_t)c.link] = c.state;
        const auto p = at(c.y);
        EXPECT_TRUE(c.gold ? isGold(p) : isViolet(p)) << c.link << " " << c.state << " " << p.toDisplayString(true);
    }

    // A particle half-way along the gain line: a bright dot with a white core over the line.
    probe->linkStates().fill(0);
    probe->linkStates()[E::Gain] = 1;
    const auto line = at(gainY);
    auto& pair = probe->pair(E::GainPair);
    pair.forwardCount = 1;
    pair.forwardPos[0] = 0.5f;
    const auto dot = at(gainY);
    EXPECT_GT(brightness(dot), brightness(line) + 60) << dot.toDisplayString(true);

    // Unlinked pairs draw neither line nor particles, whatever the counters say.
    probe->linkStates()[E::Gain] = 0;
    EXPECT_EQ(at(gainY), plainGain);
}

TEST_F(EditorPaint, SnapshotsAtTheMinimumDefaultAndMaximumWidths)
{
    for (const int width : {300, 380, 540})
    {
        close();
        processor.settings.editorWidth = width;
        processor.peakDbL = -6.0f;
        processor.rmsDbL = -12.0f;
        processor.peakDbR = -18.0f;
        processor.rmsDbR = -24.0f;
        open();
        for (int i = 0; i < 40; ++i)
            probe->tick();
        knobtest::runMessageLoop(50);
        const auto img = render();
        EXPECT_EQ(img.getWidth(), width);
        writePng(img, "bivarro-editor-" + juce::String(width) + ".png");
    }

    // The same editor with linked pairs, a particle on its way and second order on the left.
    probe->linkStates()[E::Gain] = 1;
    probe->linkStates()[E::Pan] = 1;
    probe->linkStates()[E::MidSide] = -1;
    probe->linkStates()[E::Q] = 1;
    probe->pair(E::GainPair).forwardCount = 2;
    probe->pair(E::GainPair).forwardPos = {0.3f, 0.6f};
    setParameter("apOrder2L", 1.0f);
    setParameter("apPhaseL", 90.0f);
    setParameter("muteR", 1.0f);
    probe->tick();
    writePng(render(), "bivarro-editor-540-linked.png");
}
