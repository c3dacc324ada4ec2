#include "OvrelEditorTestSupport.h"

#include "support/TooltipLookup.h"

#include <limits>

namespace
{
enum class Where
{
    BadgeCentre,
    BadgeTopLeft,
    BadgeRightEdge,
    BadgeBottomEdge,
    Letter,
    Elsewhere
};

juce::Point<float> pointOf(const OvrelAudioProcessorEditor& e, Where where)
{
    const auto b = e.roleBadgeBounds;
    switch (where)
    {
    case Where::BadgeCentre:
        return b.getCentre();
    case Where::BadgeTopLeft:
        return b.getTopLeft();
    case Where::BadgeRightEdge:
        return {b.getRight(), b.getCentreY()};
    case Where::BadgeBottomEdge:
        return {b.getCentreX(), b.getBottom()};
    case Where::Letter:
        return e.instanceLetterLabel.getBounds().getCentre().toFloat();
    case Where::Elsewhere:
        break;
    }
    return {150.0f, 280.0f};
}

juce::Colour pixelAt(const juce::Image& image, juce::Point<float> p)
{
    return image.getPixelAt((int)p.x, (int)p.y);
}

bool near(juce::Colour a, juce::Colour b, int tolerance = 6)
{
    return std::abs(a.getRed() - b.getRed()) <= tolerance && std::abs(a.getGreen() - b.getGreen()) <= tolerance &&
           std::abs(a.getBlue() - b.getBlue()) <= tolerance;
}
} // namespace

TEST_F(OvrelEditorTest, PressOnTheRoleBadgeClaimsTheMasterRole)
{
    const struct
    {
        LinkRole role;
        bool multi;
        Where where;
        bool claims;
    } cases[] = {
        {LinkRole::Slave, true, Where::BadgeCentre, true},
        {LinkRole::Waiting, true, Where::BadgeCentre, true},
        {LinkRole::Waiting, true, Where::BadgeTopLeft, true},
        {LinkRole::Waiting, true, Where::BadgeRightEdge, false},
        {LinkRole::Waiting, true, Where::BadgeBottomEdge, false},
        {LinkRole::Waiting, true, Where::Letter, false},
        {LinkRole::Waiting, true, Where::Elsewhere, false},
        {LinkRole::Master, true, Where::BadgeCentre, false},
        {LinkRole::Waiting, false, Where::BadgeCentre, false},
        {LinkRole::Alone, false, Where::BadgeCentre, false},
    };
    auto& e = openEditor();
    OnDesktop shown(e, {200, 150});
    // Straight to the editor, and as a real click that goes to whatever lies under the pointer.
    for (bool throughDesktop : {false, true})
        for (const auto& c : cases)
        {
            setRole(c.role, c.multi);
            proc->requestMaster.store(false);
            tickEditor();
            const auto pos = pointOf(e, c.where);
            if (throughDesktop)
                clickThroughDesktop(e, pos);
            else
                e.mouseDown(pressAt(e, pos));
            EXPECT_EQ(proc->requestMaster.load(), c.claims)
                << "role " << static_cast<int>(c.role) << " multi " << c.multi << " at " << pos.toString()
                << (throughDesktop ? " through the desktop" : "");
        }
}

TEST_F(OvrelEditorTest, ClickOnTheBadgeOfOneOfTwoInstancesMakesItTheMaster)
{
    auto other = makeProcessor();
    other->stopTimer();
    setParam(other->apvts, "linkID", 1.0f);
    runBlock(*other, 16);
    tick(*other);
    tick(*proc);
    ASSERT_EQ(other->currentLinkId.load(), proc->currentLinkId.load());
    ASSERT_TRUE(proc->multiInstance.load());
    ASSERT_NE(proc->instanceLetter.load(), other->instanceLetter.load());

    auto& e = openEditor();
    tickEditor();
    EXPECT_TRUE(e.instanceLetterLabel.isVisible());
    EXPECT_EQ(e.instanceLetterLabel.getText(), juce::String::charToString(proc->instanceLetter.load()));

    e.mouseDown(pressAt(e, e.roleBadgeBounds.getCentre()));
    tick(*proc);
    tick(*other);
    EXPECT_EQ(roleOf(*proc), LinkRole::Master);
    EXPECT_EQ(roleOf(*other), LinkRole::Slave);
    tickEditor();
    EXPECT_EQ(e.instanceLetterLabel.findColour(juce::Label::textColourId), juce::Colour(0xffd4a017));
}

TEST_F(OvrelEditorTest, SlaveKnobIsDimmedAndDeafUntilTheRoleEnds)
{
    auto& e = openEditor();
    e.setVisible(true);
    ASSERT_EQ(e.getComponentAt(e.gainKnob.getBounds().getCentre()), &e.gainKnob);
    setRole(LinkRole::Slave, true);
    tickEditor();
    EXPECT_NEAR(e.gainKnob.getAlpha(), 0.45f, 0.005f);
    bool self = true, children = true;
    e.gainKnob.getInterceptsMouseClicks(self, children);
    EXPECT_FALSE(self);
    EXPECT_FALSE(children);
    EXPECT_NE(e.getComponentAt(e.gainKnob.getBounds().getCentre()), &e.gainKnob);

    setRole(LinkRole::Master, true);
    tickEditor();
    EXPECT_NEAR(e.gainKnob.getAlpha(), 1.0f, 0.005f);
    EXPECT_EQ(e.getComponentAt(e.gainKnob.getBounds().getCentre()), &e.gainKnob);
}

TEST_F(OvrelEditorTest, InstanceLetterShowsTheRoleInSpanishWhateverTheLanguage)
{
    const struct
    {
        LinkRole role;
        juce::uint32 colour;
        const char* tip;
    } cases[] = {
        {LinkRole::Waiting, 0xffcc2222, "Esclavo en espera del Maestro"},
        {LinkRole::Slave, 0xff4caf50, "Este plugin recibe los valores del plugin Maestro"},
        {LinkRole::Master, 0xffd4a017, "Este plugin es el Maestro de todos los que tengan el mismo ID"},
        {LinkRole::Alone, 0xff808080, ""},
    };
    auto& e = openEditor();
    for (bool spanish : {false, true})
    {
        e.setLanguageSpanish(spanish);
        for (const auto& c : cases)
        {
            setRole(c.role, true, 'C');
            tickEditor();
            EXPECT_TRUE(e.instanceLetterLabel.isVisible());
            EXPECT_EQ(e.instanceLetterLabel.getText(), "C");
            EXPECT_EQ(e.instanceLetterLabel.findColour(juce::Label::textColourId), juce::Colour(c.colour));
            EXPECT_EQ(e.instanceLetterLabel.getTooltip(), c.tip);
        }
    }
    setRole(LinkRole::Waiting, false);
    tickEditor();
    EXPECT_FALSE(e.instanceLetterLabel.isVisible());
}

TEST_F(OvrelEditorTest, BadgeIsPaintedInTheColoursOfTheRole)
{
    auto& e = openEditor();
    const struct
    {
        LinkRole role;
        bool multi;
        juce::uint32 fill;
    } cases[] = {
        {LinkRole::Master, true, 0xff2a2210},
        {LinkRole::Slave, true, 0xff1a2a1a},
        {LinkRole::Waiting, true, 0xff2a2020},
    };
    // Beside the letter, inside the outline.
    const auto probe = e.roleBadgeBounds.getTopLeft() + juce::Point<float>(4.0f, e.roleBadgeBounds.getHeight() - 5.0f);
    for (const auto& c : cases)
    {
        setRole(c.role, c.multi);
        tickEditor();
        EXPECT_TRUE(near(pixelAt(snapshotOf(e), probe), juce::Colour(c.fill)))
            << static_cast<int>(c.role) << " " << pixelAt(snapshotOf(e), probe).toString();
        const auto outline = juce::Point<float>(e.roleBadgeBounds.getCentreX(), e.roleBadgeBounds.getY());
        EXPECT_TRUE(near(pixelAt(snapshotOf(e), outline), OvrelAudioProcessorEditor::badgeFor(c.role).outline, 60))
            << pixelAt(snapshotOf(e), outline).toString();
    }

    // No badge while alone, even with the multi-instance flag still set.
    setRole(LinkRole::Master, true);
    tickEditor();
    const auto withBadge = pixelAt(snapshotOf(e), probe);
    for (bool multi : {true, false})
    {
        setRole(LinkRole::Alone, multi);
        tickEditor();
        const auto bare = pixelAt(snapshotOf(e), probe);
        EXPECT_FALSE(near(bare, withBadge, 2)) << bare.toString();
        for (const auto& c : cases)
            EXPECT_FALSE(near(bare, juce::Colour(c.fill), 2)) << bare.toString();
    }
}

TEST_F(OvrelEditorTest, StatusAndPowerSymbolFollowBypass)
{
    auto& e = openEditor();
    // On the ring of the symbol, left of its centre.
    const auto b = e.bypassButton.getBounds().toFloat();
    const float s = (float)e.getWidth() / 300.0f;
    const juce::Point<float> ring(b.getX() + 8.0f * s + (12.0f - 8.1f) * s, b.getY() + 8.0f * s + 12.0f * s);

    tickEditor();
    EXPECT_TRUE(e.statusLabel.getText().isEmpty());
    EXPECT_TRUE(near(pixelAt(snapshotOf(e), ring), juce::Colour(0xff6abf69), 40));

    setParam(proc->apvts, "bypass", 1.0f);
    tickEditor();
    EXPECT_EQ(e.statusLabel.getText(), "Bypassed\nGain + Compensation");
    EXPECT_TRUE(near(pixelAt(snapshotOf(e), ring), juce::Colour(0xffff8800), 40))
        << pixelAt(snapshotOf(e), ring).toString();

    setParam(proc->apvts, "bypass", 0.0f);
    tickEditor();
    EXPECT_TRUE(e.statusLabel.getText().isEmpty());
}

TEST_F(OvrelEditorTest, ValuesShowGainAndTheCompensationOfTheBlock)
{
    auto& e = openEditor();
    setParam(proc->apvts, "gain", 6.26f);
    auto* block = proc->gainLink.getBlock();
    ASSERT_NE(block, nullptr);

    const struct
    {
        float stored;
        const char* shown;
    } cases[] = {{-6.26f, "-6.3 dB"},
                 {0.0f, "0.0 dB"},
                 {12.0f, "12.0 dB"},
                 {std::numeric_limits<float>::quiet_NaN(), "0.0 dB"},
                 {std::numeric_limits<float>::infinity(), "0.0 dB"}};
    for (const auto& c : cases)
    {
        block->compensationDb.store(c.stored);
        tickEditor();
        EXPECT_EQ(e.compensationValueLabel.getText(), c.shown) << c.stored;
    }
    EXPECT_EQ(e.gainValueLabel.getText(), "6.3 dB");
}

TEST_F(OvrelEditorTest, BadgeOutlineFillAndLetterHaveTheRolesOwnColours)
{
    auto& e = openEditor();
    const struct
    {
        LinkRole role;
        juce::uint32 outline, fill;
        const char* name;
    } cases[] = {{LinkRole::Master, 0xffd4a017, 0xff2a2210, "Master"},
                 {LinkRole::Slave, 0xff4caf50, 0xff1a2a1a, "Slave"},
                 {LinkRole::Waiting, 0xffcc2222, 0xff2a2020, "Waiting"}};
    // At display scale 2 the 1.5 px outline covers whole pixels, and so do the letter's strokes.
    constexpr float scale = 2.0f;
    const auto r = e.roleBadgeBounds * scale;
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        setRole(c.role, true);
        tickEditor();
        const auto image = e.createComponentSnapshot(e.getLocalBounds(), true, scale);
        if (c.role == LinkRole::Master)
            writePng(image, "ovrel-badge-master-x2");

        // Top edge, halfway between the left corner and the crown; left edge, halfway down.
        EXPECT_EQ(image.getPixelAt((int)(r.getX() + r.getWidth() * 0.2f), (int)r.getY()), juce::Colour(c.outline));
        EXPECT_EQ(image.getPixelAt((int)r.getX(), (int)r.getCentreY()), juce::Colour(c.outline));
        // Inside the outline, beside the letter.
        EXPECT_EQ(image.getPixelAt((int)r.getX() + 5, (int)r.getBottom() - 6), juce::Colour(c.fill));

        // The letter: pixels of exactly the role's colour between outline and outline.
        int letterPixels = 0;
        for (int y = (int)r.getY() + 3; y < (int)r.getBottom() - 3; ++y)
            for (int x = (int)r.getX() + 3; x < (int)r.getRight() - 3; ++x)
                letterPixels += image.getPixelAt(x, y) == juce::Colour(c.outline) ? 1 : 0;
        EXPECT_GT(letterPixels, 20);
    }
}
