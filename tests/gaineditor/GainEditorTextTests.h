#pragma once

#include "gaineditor/GainEditorFaceTest.h"
#include "gainpair/ui/ProductLinks.h"
#include "gainpair/ui/SmallComboLAF.h"
#include "support/HelpPanelLayout.h"
#include "support/TooltipLookup.h"
#include "widgets/KnobTestKit.h"
#include "widgets/OrlintMeterProbe.h"

template <typename Traits> class GainEditorTextTest : public GainEditorFaceTest<Traits>
{
protected:
    using Editor = typename Traits::Editor;

    static juce::String shownText(Editor& e, const juce::String& name)
    {
        if (auto* part = GainEditorFaceTest<Traits>::partNamed(e, name))
            return dynamic_cast<juce::TooltipClient&>(*part).getTooltip();
        if (name == "compCaption")
            return e.compensationCaption.getText();
        return Traits::ownText(e, name);
    }

    static void expectLanguage(Editor& e, bool spanish)
    {
        const auto check = [&](const auto& table)
        {
            for (const auto& row : table)
                EXPECT_EQ(shownText(e, row.name), spanish ? row.spanish : row.english) << row.name;
        };
        check(Traits::ownTexts);
        check(sharedGainEditorTexts);
        EXPECT_EQ(e.helpPanel.textView.getText(), spanish ? Editor::helpTextSpanish() : Editor::helpTextEnglish());
        EXPECT_EQ(e.helpPanel.espanolToggle.getToggleState(), spanish);
        EXPECT_EQ(e.gainCaption.getText(), "Ovrel:");
        EXPECT_EQ(e.linkIdLabel.getText(), "Link ID");
        EXPECT_EQ(OrlintKnobProbe(e.knob).shownName(), Traits::knobName);
    }
};
TYPED_TEST_SUITE_P(GainEditorTextTest);

// The help panel's "Espanol" switch brings every text and the help window's title into Spanish and
// back, and the processor keeps the choice.
TYPED_TEST_P(GainEditorTextTest, EspanolToggleSwitchesEveryTextAndTheHelpTitle)
{
    auto& e = this->openEditor();
    this->expectLanguage(e, false);
    e.helpButton.onClick();
    ASSERT_NE(e.helpWindow, nullptr);
    EXPECT_EQ(e.helpWindow->getName(), "Help");
    EXPECT_EQ(e.helpWindow->getContentComponent(), &e.helpPanel);

    for (bool spanish : {true, false})
    {
        e.helpPanel.espanolToggle.setToggleState(spanish, juce::sendNotificationSync);
        this->expectLanguage(e, spanish);
        EXPECT_EQ(e.helpWindow->getName(), spanish ? "Ayuda" : "Help");
        EXPECT_EQ(this->proc->editorSettings.isSpanish.load(), spanish);
    }
}

TYPED_TEST_P(GainEditorTextTest, EditorOpensInTheSavedLanguage)
{
    this->proc->editorSettings.isSpanish.store(true);
    this->expectLanguage(this->openEditor(), true);
}

TYPED_TEST_P(GainEditorTextTest, HelpTextsHaveTheirLines)
{
    using Editor = typename TypeParam::Editor;
    for (bool spanish : {false, true})
    {
        SCOPED_TRACE(spanish ? "Spanish" : "English");
        const auto& text = spanish ? Editor::helpTextSpanish() : Editor::helpTextEnglish();
        EXPECT_TRUE(text.endsWith("v2.0.0\n"));
        const auto lines = juce::StringArray::fromLines(text.trimCharactersAtEnd("\n"));
        ASSERT_EQ(lines.size(), TypeParam::helpLineCount);
        for (const auto& line : TypeParam::helpLines)
            EXPECT_EQ(lines[line.index], spanish ? line.spanish : line.english) << line.index;
        for (int empty : TypeParam::helpEmptyLines)
            EXPECT_TRUE(lines[empty].isEmpty()) << empty;
    }
}

TYPED_TEST_P(GainEditorTextTest, HelpPanelLayout)
{
    expectHelpPanelLayout(this->openEditor().helpPanel);
}

TYPED_TEST_P(GainEditorTextTest, HelpButtonShowsHidesAndShowsTheWindowLeftOfTheEditor)
{
    auto& e = this->openEditor();
    e.setTopLeftPosition(600, 200);
    e.helpButton.onClick();
    ASSERT_NE(e.helpWindow, nullptr);
    auto* window = e.helpWindow.get();
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(e.helpPanel.isVisible());
    EXPECT_EQ(window->getWidth(), 340);
    EXPECT_EQ(window->getHeight(), 426);
    EXPECT_EQ(window->getContentComponent(), &e.helpPanel);
    const auto r = e.getScreenBounds();
    EXPECT_EQ(window->getX(), r.getX() - 344);
    EXPECT_EQ(window->getY(), r.getY() + (r.getHeight() - 426) / 2);

    e.helpButton.onClick();
    EXPECT_FALSE(window->isVisible());

    e.setTopLeftPosition(700, 100);
    e.helpButton.onClick();
    EXPECT_EQ(e.helpWindow.get(), window) << "the window is made once";
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->getX(), 700 - 344);

    window->closeButtonPressed();
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(e.helpWindow.get(), window);
}

// The help button's window holds the panel at its full size and opens wholly on the display.
TYPED_TEST_P(GainEditorTextTest, HelpWindowHoldsThePanelAtFullSizeAndStaysOnTheDisplay)
{
    auto& e = this->openEditor();
    e.helpButton.onClick();
    ASSERT_NE(e.helpWindow, nullptr);
    expectPanelFillsHelpWindow(*e.helpWindow, e.helpPanel);
    e.helpButton.onClick();
    expectHelpWindowStaysOnDisplay(
        e, [&] { e.helpButton.onClick(); }, [&] { return e.helpWindow.get(); });
}

// With the editor on screen, in both languages, each tooltip of the rows (the editor's own and the
// shared ones) and the logo's shows where the pointer rests on its part.
TYPED_TEST_P(GainEditorTextTest, EveryTipShowsWhereThePointerRests)
{
    auto& e = this->openEditor();
    OnDesktop shown(e, {200, 150});
    e.setTooltipsEnabled(true);
    for (bool spanish : {false, true})
    {
        e.setLanguageSpanish(spanish);
        const auto check = [&](const auto& table)
        {
            for (const auto& row : table)
                if (auto* part = this->partNamed(e, row.name))
                    EXPECT_EQ(tipAtCentreOf(*part), spanish ? row.spanish : row.english) << row.name;
        };
        check(TypeParam::ownTexts);
        check(sharedGainEditorTexts);
        EXPECT_EQ(tipAtCentreOf(e.logoButton), gainpair::ProductLinks::logoTooltip(TypeParam::name));
    }
}

TYPED_TEST_P(GainEditorTextTest, TooltipWindowLivesExactlyWhileTooltipsAreOn)
{
    auto& e = this->openEditor();
    EXPECT_EQ(e.tooltipWindow, nullptr);

    e.helpPanel.tooltipsToggle.setToggleState(true, juce::sendNotificationSync);
    ASSERT_NE(e.tooltipWindow, nullptr);
    EXPECT_EQ(e.tooltipWindow->getParentComponent(), &e);
    EXPECT_EQ(&e.tooltipWindow->getLookAndFeel(), &e.tooltipLaf);
    EXPECT_TRUE(this->proc->editorSettings.tooltipsOn.load());

    e.setTooltipsEnabled(true);
    e.setTooltipsEnabled(false);
    EXPECT_EQ(e.tooltipWindow, nullptr);
    EXPECT_FALSE(this->proc->editorSettings.tooltipsOn.load());

    e.setTooltipsEnabled(true);
    this->editor.reset();
    auto& next = this->openEditor();
    EXPECT_NE(next.tooltipWindow, nullptr) << "the next editor opens with tooltips on";
    next.helpButton.onClick();
    EXPECT_TRUE(next.helpPanel.tooltipsToggle.getToggleState());
}

TYPED_TEST_P(GainEditorTextTest, MeterHoldIsStoredAndRestoredAndSettingsReachTheMeter)
{
    auto& e = this->openEditor();
    ASSERT_TRUE(e.meter.onHoldChanged);
    e.meter.onHoldChanged(true);
    EXPECT_TRUE(this->proc->editorSettings.meterHold.load());
    this->editor.reset();

    auto& next = this->openEditor();
    OrlintMeterProbe probe(next.meter);
    EXPECT_TRUE(probe.holdEnabled());
    EXPECT_FALSE(next.meter.closeOnOutsideClick);
    EXPECT_TRUE(next.meter.adaptivePeakInset);

    int raised = 0;
    auto forward = next.meter.onSettingsChanged;
    next.meter.onSettingsChanged = [&](float a, float r, float w, float b)
    {
        ++raised;
        forward(a, r, w, b);
    };
    next.meter.onSettingsChanged(5.0f, 400.0f, 2000.0f, 0.0f);
    EXPECT_EQ(raised, 1) << "applying the settings raises no further change";
    EXPECT_FLOAT_EQ(probe.attackMs(), 5.0f);
    EXPECT_FLOAT_EQ(probe.releaseMs(), 400.0f);
    EXPECT_FLOAT_EQ(probe.rmsWindowMs(), 1000.0f);
    EXPECT_FLOAT_EQ(probe.brightness(), 1.0f);
}

TYPED_TEST_P(GainEditorTextTest, LinkIdBoxLooksLikeTheGainPairs)
{
    auto& e = this->openEditor();
    EXPECT_EQ(&e.linkIdBox.getLookAndFeel(), &gainpair::smallComboLAF());
    EXPECT_EQ(e.linkIdBox.getNumItems(), 50);
    EXPECT_EQ(e.linkIdBox.getItemId(49), 50);
    this->editor.reset();
}

TYPED_TEST_P(GainEditorTextTest, LogoOpensTheProductPageThroughTheLauncher)
{
    auto& e = this->openEditor();
    e.logoButton.onClick();
    ASSERT_EQ(this->launched->size(), 1u);
    const auto page = this->launched->front().toString(false);
    EXPECT_EQ(page, gainpair::ProductLinks::productPage(TypeParam::name).toString(false));
    EXPECT_TRUE(page.endsWith("/" + juce::String(TypeParam::name).toLowerCase()));
    EXPECT_EQ(e.logoButton.getTooltip(), gainpair::ProductLinks::logoTooltip(TypeParam::name));
    EXPECT_TRUE(e.logoButton.getTooltip().contains("\n"));
}

// Pictures of the help window in both languages.
TYPED_TEST_P(GainEditorTextTest, SnapshotsOfTheHelpWindow)
{
    for (bool spanish : {false, true})
    {
        this->proc->editorSettings.isSpanish.store(spanish);
        auto& e = this->openEditor();
        e.helpButton.onClick();
        ASSERT_NE(e.helpWindow, nullptr);
        writeHelpWindowSnapshots(*e.helpWindow,
                                 juce::String(TypeParam::name) + "HelpWindow_" + (spanish ? "es" : "en"));
    }
}

REGISTER_TYPED_TEST_SUITE_P(GainEditorTextTest, EspanolToggleSwitchesEveryTextAndTheHelpTitle,
                            EditorOpensInTheSavedLanguage, HelpTextsHaveTheirLines, HelpPanelLayout,
                            HelpButtonShowsHidesAndShowsTheWindowLeftOfTheEditor,
                            HelpWindowHoldsThePanelAtFullSizeAndStaysOnTheDisplay, EveryTipShowsWhereThePointerRests,
                            TooltipWindowLivesExactlyWhileTooltipsAreOn,
                            MeterHoldIsStoredAndRestoredAndSettingsReachTheMeter, LinkIdBoxLooksLikeTheGainPairs,
                            LogoOpensTheProductPageThroughTheLauncher, SnapshotsOfTheHelpWindow);
