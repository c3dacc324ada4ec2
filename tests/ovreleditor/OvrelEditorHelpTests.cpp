#include "OvrelEditorTestSupport.h"

#include "gainpair/ui/SmallComboLAF.h"
#include "support/GainEditorTextRows.h"
#include "support/HelpPanelLayout.h"
#include "support/TooltipLookup.h"
#include "widgets/OrlintMeterProbe.h"

#include <map>

namespace
{
const GainEditorTextRow ownTexts[] = {
    {"titleZone", "Input gain with automatic compensation", "Ganancia de entrada con compensacion automatica"},
    {"bypass", "Bypasses gain and compensation", "Desactiva la ganancia y la compensacion"},
};

// The part that shows a row's text, or none for the compensation caption.
juce::Component* partNamed(OvrelAudioProcessorEditor& e, const juce::String& name)
{
    const std::map<juce::String, juce::Component*> parts{{"titleZone", &e.titleTipZone}, {"linkZone", &e.linkTipZone},
                                                         {"knob", &e.gainKnob},          {"bypass", &e.bypassButton},
                                                         {"linkBox", &e.linkIdBox},      {"meter", &e.inputMeter},
                                                         {"help", &e.helpButton}};
    const auto found = parts.find(name);
    return found != parts.end() ? found->second : nullptr;
}

juce::String shownText(OvrelAudioProcessorEditor& e, const juce::String& name)
{
    if (auto* part = partNamed(e, name))
        return dynamic_cast<juce::TooltipClient&>(*part).getTooltip();
    return e.compensationCaption.getText();
}

void expectLanguage(OvrelAudioProcessorEditor& e, bool spanish)
{
    const auto check = [&](const auto& table)
    {
        for (const auto& row : table)
            EXPECT_EQ(shownText(e, row.name), spanish ? row.spanish : row.english) << row.name;
    };
    check(ownTexts);
    check(sharedGainEditorTexts);
    EXPECT_EQ(e.helpPanel.textView.getText(),
              spanish ? OvrelAudioProcessorEditor::helpTextSpanish() : OvrelAudioProcessorEditor::helpTextEnglish());
    EXPECT_EQ(e.helpPanel.espanolToggle.getToggleState(), spanish);
    EXPECT_EQ(e.gainCaption.getText(), "Ovrel:");
    EXPECT_EQ(e.linkIdLabel.getText(), "Link ID");
}
} // namespace

TEST_F(OvrelEditorTest, EspanolToggleSwitchesEveryTextAndBack)
{
    expectEspanolToggleSwitches(expectLanguage);
}

TEST_F(OvrelEditorTest, EditorOpensInTheSavedLanguage)
{
    proc->editorSettings.isSpanish.store(true);
    expectLanguage(openEditor(), true);
}

TEST_F(OvrelEditorTest, HelpTextsHaveTheirLinesAndEndWithALineBreak)
{
    for (const auto* text :
         {&OvrelAudioProcessorEditor::helpTextEnglish(), &OvrelAudioProcessorEditor::helpTextSpanish()})
    {
        EXPECT_TRUE(text->endsWith("\n"));
        const auto lines = juce::StringArray::fromLines(text->trimCharactersAtEnd("\n"));
        ASSERT_EQ(lines.size(), 23);
        EXPECT_EQ(lines[0], "Ovrel");
        EXPECT_EQ(lines[22], "Orlintz Engineer - Ovrel v2.0.0");
        for (int empty : {6, 14, 21})
            EXPECT_TRUE(lines[empty].isEmpty()) << empty;
    }
}

TEST_F(OvrelEditorTest, HelpPanelLayout)
{
    expectHelpPanelLayout(openEditor().helpPanel);
}

TEST_F(OvrelEditorTest, HelpButtonShowsHidesAndShowsTheWindowLeftOfTheEditor)
{
    auto& e = openEditor();
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

TEST_F(OvrelEditorTest, HelpWindowHoldsThePanelAtFullSizeAndStaysOnTheDisplay)
{
    expectHelpWindowFullAndOnTheDisplay();
}

TEST_F(OvrelEditorTest, EveryTipShowsWhereThePointerRests)
{
    auto& e = openEditor();
    OnDesktop shown(e, {200, 150});
    expectTipsUnderPointer(e, ownTexts, partNamed, "Ovrel");

    // The role shows on the badge and on the letter below it; a slave's knob, which takes no
    // clicks, shows nothing.
    const juce::String knobTip = e.gainKnob.getTooltip();
    const struct
    {
        LinkRole role;
        bool multi;
        juce::String roleTip;
        bool knobTipShown;
    } roles[] = {
        {LinkRole::Waiting, true, "Esclavo en espera del Maestro", true},
        {LinkRole::Slave, true, "Este plugin recibe los valores del plugin Maestro", false},
        {LinkRole::Master, true, "Este plugin es el Maestro de todos los que tengan el mismo ID", true},
        {LinkRole::Alone, true, "", true},
        {LinkRole::Alone, false, "", true},
    };
    for (const auto& r : roles)
    {
        setRole(r.role, r.multi);
        tickEditor();
        const auto where = "role " + juce::String(static_cast<int>(r.role)) + " multi " + juce::String((int)r.multi);
        EXPECT_EQ(tipAt(e, e.roleBadgeBounds.getCentre()), r.roleTip) << where;
        EXPECT_EQ(tipAt(e, e.instanceLetterLabel.getBounds().toFloat().getCentre()), r.roleTip) << where;
        EXPECT_EQ(tipAtCentreOf(e.gainKnob), r.knobTipShown ? knobTip : juce::String()) << where;
    }
}

TEST_F(OvrelEditorTest, TooltipWindowLivesExactlyWhileTooltipsAreOn)
{
    auto& e = openEditor();
    EXPECT_EQ(e.tooltipWindow, nullptr);

    e.helpPanel.tooltipsToggle.setToggleState(true, juce::sendNotificationSync);
    ASSERT_NE(e.tooltipWindow, nullptr);
    EXPECT_EQ(e.tooltipWindow->getParentComponent(), &e);
    EXPECT_EQ(&e.tooltipWindow->getLookAndFeel(), &e.tooltipLaf);
    EXPECT_TRUE(proc->editorSettings.tooltipsOn.load());

    e.setTooltipsEnabled(true);
    e.setTooltipsEnabled(false);
    EXPECT_EQ(e.tooltipWindow, nullptr);
    EXPECT_FALSE(proc->editorSettings.tooltipsOn.load());

    e.setTooltipsEnabled(true);
    editor.reset();
    auto& next = openEditor();
    EXPECT_NE(next.tooltipWindow, nullptr) << "the next editor opens with tooltips on";
    next.helpButton.onClick();
    EXPECT_TRUE(next.helpPanel.tooltipsToggle.getToggleState());
}

TEST_F(OvrelEditorTest, MeterHoldIsStoredAndRestoredAndSettingsReachTheMeter)
{
    auto& e = openEditor();
    ASSERT_TRUE(e.inputMeter.onHoldChanged);
    e.inputMeter.onHoldChanged(true);
    EXPECT_TRUE(proc->editorSettings.meterHold.load());
    editor.reset();

    auto& next = openEditor();
    OrlintMeterProbe probe(next.inputMeter);
    EXPECT_TRUE(probe.holdEnabled());
    EXPECT_FALSE(next.inputMeter.closeOnOutsideClick);
    EXPECT_TRUE(next.inputMeter.adaptivePeakInset);

    int raised = 0;
    auto forward = next.inputMeter.onSettingsChanged;
    next.inputMeter.onSettingsChanged = [&](float a, float r, float w, float b)
    {
        ++raised;
        forward(a, r, w, b);
    };
    next.inputMeter.onSettingsChanged(5.0f, 400.0f, 2000.0f, 0.0f);
    EXPECT_EQ(raised, 1) << "applying the settings raises no further change";
    EXPECT_FLOAT_EQ(probe.attackMs(), 5.0f);
    EXPECT_FLOAT_EQ(probe.releaseMs(), 400.0f);
    EXPECT_FLOAT_EQ(probe.rmsWindowMs(), 1000.0f);
    EXPECT_FLOAT_EQ(probe.brightness(), 1.0f);
}

TEST_F(OvrelEditorTest, LinkIdBoxLooksLikeTheGainPairs)
{
    auto& e = openEditor();
    EXPECT_EQ(&e.linkIdBox.getLookAndFeel(), &gainpair::smallComboLAF());
    EXPECT_EQ(e.linkIdBox.getNumItems(), 50);
    EXPECT_EQ(e.linkIdBox.getItemId(49), 50);
    editor.reset();
}
