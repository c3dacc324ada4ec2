#include "KnobTestKit.h"

#include <gtest/gtest.h>

#include <limits>

using namespace knobtest;

namespace
{
// Runs the message loop until the condition holds (or a generous time has passed).
bool runUntil(const std::function<bool()>& done, int timeoutMs = 3000)
{
    const auto end = juce::Time::getMillisecondCounter() + (juce::uint32)timeoutMs;
    while (!done() && juce::Time::getMillisecondCounter() < end)
        runMessageLoop(5);
    return done();
}

// Text functions as a parameter attachment installs them: a unit on display, and a parser that
// reads digits anywhere and knows a word of its own.
void installTextFunctions(OrlintKnob& knob)
{
    knob.textFromValueFunction = [](double v) { return juce::String(v, 1) + " dB"; };
    knob.valueFromTextFunction = [](const juce::String& t)
    {
        if (t.trim() == "off")
            return -1.0e9;
        if (t.trim() == "?")
            return std::numeric_limits<double>::quiet_NaN();
        return t.retainCharacters("0123456789.-").getDoubleValue();
    };
}

struct TypedFixture : ::testing::Test
{
    TypedFixture()
    {
        knob.setBounds(0, 0, 60, 90);
        knob.setVisible(true);
        configure(knob, -48.0, 48.0, 0.01, 0.0, 3.0);
        knob.onValueChange = [this] { ++valueChanges; };
    }

    void press(int keyCode)
    {
        ASSERT_NE(probe.editor(), nullptr);
        probe.editor()->keyPressed(juce::KeyPress(keyCode));
    }

    // Runs a check right after the editor's own handler of a key or focus loss, so that it sees the
    // closing editor however long the message loop is held up.
    static void afterHandler(std::function<void()>& handler, std::function<void()> then)
    {
        handler = [original = handler, then]
        {
            original();
            then();
        };
    }

    void waitUntilClosed()
    {
        ASSERT_TRUE(runUntil([this] { return probe.editor() == nullptr; }));
    }

    OrlintKnob knob;
    OrlintKnobProbe probe{knob};
    int valueChanges = 0;
};
} // namespace

//==============================================================================
struct TypedCase
{
    const char* name;
    bool textFunctions;
    bool plainTypedEntry;
    const char* typed;
    double expected;
    bool flashes;
};

void PrintTo(const TypedCase& c, std::ostream* os)
{
    *os << c.name;
}

class KnobTypedEntry : public TypedFixture, public ::testing::WithParamInterface<TypedCase>
{
};

TEST_P(KnobTypedEntry, AppliesTheTypedValueWhenTheEditorHasClosed)
{
    const auto& c = GetParam();
    if (c.textFunctions)
        installTextFunctions(knob);
    knob.plainTypedEntry = c.plainTypedEntry;

    doubleClick(knob, none);
    knob.stopTimer(); // started by the clicks' empty drags; only a flash may start it again
    ASSERT_NE(probe.editor(), nullptr);
    probe.editor()->insertTextAtCaret(c.typed); // replaces the selected text
    bool committed = false;
    afterHandler(probe.editor()->onReturnKey,
                 [&]
                 {
                     committed = true;
                     EXPECT_TRUE(probe.closingEditor());
                     EXPECT_DOUBLE_EQ(knob.getValue(), 3.0); // nothing applied while the editor shrinks
                     EXPECT_EQ(probe.resetFlash() > 0.0f, c.flashes);
                     EXPECT_EQ(knob.isTimerRunning(), c.flashes);
                 });
    press(juce::KeyPress::returnKey);

    waitUntilClosed();
    EXPECT_TRUE(committed);
    EXPECT_FALSE(probe.closingEditor());
    EXPECT_NEAR(knob.getValue(), c.expected, 1e-9);
    EXPECT_EQ(valueChanges, 1);
}

INSTANTIATE_TEST_SUITE_P(Cases, KnobTypedEntry,
                         ::testing::Values(TypedCase{"Number", false, false, "12", 12.0, false},
                                           TypedCase{"LeadingSpaces", false, false, "  7.5", 7.5, false},
                                           TypedCase{"TrailingUnit", false, false, "6 dB", 6.0, false},
                                           TypedCase{"UnitAloneIsZeroTheDefault", false, false, "dB", 0.0, true},
                                           TypedCase{"Garbage", false, false, "loud", 0.0, true},
                                           TypedCase{"AboveRange", false, false, "1000", 48.0, false},
                                           TypedCase{"BelowRange", false, false, "-1000", -48.0, false},
                                           TypedCase{"WithinToleranceOfDefault", false, false, "0.00005", 0.0, true},
                                           // Not the default, though the interval then snaps it there.
                                           TypedCase{"JustOffDefault", false, false, "0.0002", 0.0, false},
                                           TypedCase{"TextFunctionParses", true, false, "gain 6", 6.0, false},
                                           TypedCase{"TextFunctionBelowRange", true, false, "off", -48.0, false},
                                           TypedCase{"TextFunctionNotANumber", true, false, "?", -48.0, false},
                                           TypedCase{"PlainEntryIgnoresTextFunction", true, true, "gain 6", 0.0, true},
                                           TypedCase{"PlainEntryLeadingNumber", true, true, "6 dB", 6.0, false}),
                         CaseName());

TEST_F(TypedFixture, EditorOpensWithTheValueTextAllSelected)
{
    const struct
    {
        bool textFunctions, plain;
        const char* text;
    } cases[] = {{false, false, "3.00"}, {true, false, "3.0 dB"}, {true, true, "3.00"}};

    for (const auto& c : cases)
    {
        knob.textFromValueFunction = nullptr;
        knob.valueFromTextFunction = nullptr;
        if (c.textFunctions)
            installTextFunctions(knob);
        knob.plainTypedEntry = c.plain;

        knob.openTextEditor();
        auto* editor = probe.editor();
        ASSERT_NE(editor, nullptr);
        EXPECT_EQ(editor->getText(), c.text);
        EXPECT_EQ(editor->getHighlightedRegion(), juce::Range<int>(0, editor->getTotalNumChars()));
        EXPECT_EQ(editor->getParentComponent(), &knob);
        EXPECT_TRUE(editor->isVisible());

        knob.cancelTextEditor();
        waitUntilClosed();
    }
    // The value text under the knob still uses the slider's own text.
    EXPECT_EQ(knob.getTextFromValue(3.0), "3.0 dB");
}

TEST_F(TypedFixture, EditorGrowsOutOfTheValueTextAndShrinksBack)
{
    auto& animator = juce::Desktop::getInstance().getAnimator();
    knob.openTextEditor();
    auto* editor = probe.editor();
    ASSERT_NE(editor, nullptr);
    EXPECT_NEAR(probe.valueTextY(), 44.6f, 1e-4f);
    EXPECT_EQ(editor->getBounds(), juce::Rectangle<int>(22, 53, 15, 11));
    EXPECT_EQ(animator.getComponentDestination(editor), juce::Rectangle<int>(15, 45, 30, 22));
    EXPECT_NEAR(editor->getFont().getHeight(), 10.8f, 1e-4f);
    EXPECT_EQ(editor->findColour(juce::TextEditor::textColourId), OrlintKnob::kColAccent);
    EXPECT_EQ(editor->findColour(juce::TextEditor::backgroundColourId), juce::Colour(0xff1a1a1a));

    ASSERT_TRUE(runUntil([&] { return !animator.isAnimating(editor); }));
    EXPECT_EQ(editor->getBounds(), juce::Rectangle<int>(15, 45, 30, 22));
    EXPECT_FLOAT_EQ(editor->getAlpha(), 1.0f);

    // Back to the opening rectangle, give or take the pixel that halving loses.
    knob.commitTextEditor();
    EXPECT_EQ(animator.getComponentDestination(editor), juce::Rectangle<int>(23, 53, 15, 11));
    waitUntilClosed();
}

TEST_F(TypedFixture, EditorLookPaintsTheRoundedFieldInTheAccent)
{
    OrlintKnob::RoundedEditorLAF laf(OrlintKnob::kColAccent);
    juce::TextEditor editor;
    juce::Image img(juce::Image::ARGB, 30, 22, true, juce::SoftwareImageType());
    juce::Graphics g(img);
    laf.fillTextEditorBackground(g, 30, 22, editor);
    EXPECT_EQ(img.getPixelAt(15, 11), juce::Colour(0xff1a1a1a));
    EXPECT_LT(img.getPixelAt(0, 0).getAlpha(), 128); // rounded corner

    laf.drawTextEditorOutline(g, 30, 22, editor);
    // The outline at alpha 0xcc covers the field's top edge.
    const auto edge = img.getPixelAt(15, 0);
    const auto expected = juce::Colour(0xff1a1a1a).overlaidWith(OrlintKnob::kColAccent.withAlpha((juce::uint8)0xcc));
    EXPECT_NEAR(edge.getRed(), expected.getRed(), 4);
    EXPECT_NEAR(edge.getBlue(), expected.getBlue(), 4);
}

TEST_F(TypedFixture, EscapeClosesWithoutAChange)
{
    doubleClick(knob, none);
    probe.editor()->insertTextAtCaret("0");
    bool closing = false;
    afterHandler(probe.editor()->onEscapeKey, [&] { closing = probe.closingEditor(); });
    press(juce::KeyPress::escapeKey);
    waitUntilClosed();
    EXPECT_TRUE(closing);
    EXPECT_DOUBLE_EQ(knob.getValue(), 3.0);
    EXPECT_FLOAT_EQ(probe.resetFlash(), 0.0f);
    EXPECT_EQ(valueChanges, 0);
}

TEST_F(TypedFixture, ReturnTwiceAndADoubleClickWhileClosingApplyOnce)
{
    doubleClick(knob, none);
    probe.editor()->insertTextAtCaret("12");
    int returns = 0;
    afterHandler(probe.editor()->onReturnKey,
                 [&]
                 {
                     if (++returns == 1)
                     {
                         doubleClick(knob, none); // neither commits again nor reopens
                         press(juce::KeyPress::escapeKey);
                     }
                 });
    press(juce::KeyPress::returnKey);
    press(juce::KeyPress::returnKey);
    waitUntilClosed();
    EXPECT_EQ(returns, 2);
    EXPECT_DOUBLE_EQ(knob.getValue(), 12.0);
    EXPECT_EQ(valueChanges, 1);
    runMessageLoop(250);
    EXPECT_EQ(valueChanges, 1);
    EXPECT_EQ(probe.editor(), nullptr);
}

TEST_F(TypedFixture, APlainDoubleClickOnTheKnobCommits)
{
    doubleClick(knob, none);
    probe.editor()->insertTextAtCaret("-7");
    knob.mouseDoubleClick(eventAt(knob, 100, none, 2));
    EXPECT_TRUE(probe.closingEditor());
    waitUntilClosed();
    EXPECT_DOUBLE_EQ(knob.getValue(), -7.0);
}

TEST_F(TypedFixture, DestroyingTheKnobWhileItsEditorClosesIsSafe)
{
    auto owned = std::make_unique<OrlintKnob>();
    owned->setBounds(0, 0, 60, 90);
    configure(*owned, -48.0, 48.0, 0.01, 0.0, 3.0);
    owned->openTextEditor();
    owned->commitTextEditor();
    owned.reset();
    runMessageLoop(300); // the pending close finds the knob gone

    owned = std::make_unique<OrlintKnob>();
    owned->setBounds(0, 0, 60, 90);
    owned->openTextEditor();
    owned.reset(); // an open editor dies with its knob
    runMessageLoop(50);
}

// Keyboard focus needs a real window, so this case puts the knob on the (Xvfb) desktop.
TEST_F(TypedFixture, ClickingElsewhereAppliesTheTypedValue)
{
    juce::Component window;
    juce::Component elsewhere;
    elsewhere.setWantsKeyboardFocus(true);
    window.setBounds(100, 100, 200, 120);
    window.addAndMakeVisible(knob);
    elsewhere.setBounds(100, 0, 100, 100);
    window.addAndMakeVisible(elsewhere);
    window.addToDesktop(juce::ComponentPeer::windowHasTitleBar);
    window.setVisible(true);
    window.toFront(true);
    runMessageLoop(100);

    doubleClick(knob, none);
    ASSERT_NE(probe.editor(), nullptr);
    ASSERT_TRUE(runUntil([this] { return probe.editor()->hasKeyboardFocus(false); }));
    probe.editor()->insertTextAtCaret("9");
    bool closing = false;
    afterHandler(probe.editor()->onFocusLost, [&] { closing = probe.closingEditor(); });

    elsewhere.grabKeyboardFocus();
    waitUntilClosed();
    EXPECT_TRUE(closing);
    EXPECT_DOUBLE_EQ(knob.getValue(), 9.0);

    window.removeChildComponent(&knob);
    window.removeFromDesktop();
}
