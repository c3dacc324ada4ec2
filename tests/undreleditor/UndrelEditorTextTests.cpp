#include "UndrelEditorTestSupport.h"

#include "gainpair/ui/SmallComboLAF.h"
#include "support/GainEditorTextRows.h"
#include "support/HelpPanelLayout.h"
#include "support/TooltipLookup.h"
#include "widgets/KnobTestKit.h"
#include "widgets/OrlintMeterProbe.h"

#include <map>

namespace
{
const GainEditorTextRow ownTexts[] = {
    {"titleZone", "Automatic gain compensation", "Compensacion automatica de ganancia"},
    {"compKnob", "Inverse compensation applied automatically", "Compensacion inversa aplicada automaticamente"},
    {"bypass", "Bypasses trim and compensation", "Desactiva trim y compensacion"},
    {"compName", "Compensation", "Compensacion"},
};

// The part whose tooltip a row gives, or none for a row of another text.
juce::Component* partNamed(UndrelAudioProcessorEditor& e, const juce::String& name)
{
    const std::map<juce::String, juce::Component*> parts{
        {"titleZone", &e.titleTipZone}, {"linkZone", &e.linkTipZone}, {"compKnob", &e.compensationKnob},
        {"knob", &e.trimKnob},          {"bypass", &e.bypassButton},  {"linkBox", &e.linkIdBox},
        {"meter", &e.outputMeter},      {"help", &e.helpButton}};
    const auto found = parts.find(name);
    return found != parts.end() ? found->second : nullptr;
}

juce::String shownText(UndrelAudioProcessorEditor& e, const juce::String& name)
{
    if (auto* part = partNamed(e, name))
        return dynamic_cast<juce::TooltipClient&>(*part).getTooltip();
    if (name == "compCaption")
        return e.compensationCaption.getText();
    return OrlintKnobProbe(e.compensationKnob).shownName();
}

void expectLanguage(UndrelAudioProcessorEditor& e, bool spanish)
{
    const auto check = [&](const auto& table)
    {
        for (const auto& row : table)
            EXPECT_EQ(shownText(e, row.name), spanish ? row.spanish : row.english) << row.name;
    };
    check(ownTexts);
    check(sharedGainEditorTexts);
    EXPECT_EQ(e.helpPanel.textView.getText(),
              spanish ? UndrelAudioProcessorEditor::helpTextSpanish() : UndrelAudioProcessorEditor::helpTextEnglish());
    EXPECT_EQ(e.helpPanel.espanolToggle.getToggleState(), spanish);
    EXPECT_EQ(e.gainCaption.getText(), "Ovrel:");
    EXPECT_EQ(e.linkIdLabel.getText(), "Link ID");
    EXPECT_EQ(OrlintKnobProbe(e.trimKnob).shownName(), "Trim");
}
} // namespace

TEST_F(UndrelEditorTest, EspanolToggleSwitchesEveryTextAndTheHelpTitle)
{
    expectEspanolToggleSwitches(expectLanguage);
}

TEST_F(UndrelEditorTest, EditorOpensInTheSavedLanguage)
{
    proc->editorSettings.isSpanish.store(true);
    expectLanguage(openEditor(), true);
}

TEST_F(UndrelEditorTest, HelpWindowHoldsThePanelAtFullSizeAndStaysOnTheDisplay)
{
    expectHelpWindowFullAndOnTheDisplay();
}

TEST_F(UndrelEditorTest, EveryTipShowsWhereThePointerRests)
{
    auto& e = openEditor();
    OnDesktop shown(e, {200, 150});
    expectTipsUnderPointer(e, ownTexts, partNamed, "Undrel");
}

TEST_F(UndrelEditorTest, HelpTextsHaveTheirLines)
{
    const struct
    {
        const juce::String* text;
        const char* line2;
        const char* line16;
        const char* line20;
    } cases[] = {
        {&UndrelAudioProcessorEditor::helpTextEnglish(), "Receives the gain value from the Ovrel plugin",
         "Trim: Fine output adjustment (-12 to +12 dB)", "Compensation: Final gain applied to the signal"},
        {&UndrelAudioProcessorEditor::helpTextSpanish(), "Recibe el valor de ganancia del Ovrel y aplica",
         "Trim: Ajuste fino de salida (-12 a +12 dB)", "Compensation: Ganancia total aplicada a la senal"},
    };
    for (const auto& c : cases)
    {
        EXPECT_TRUE(c.text->endsWith("v2.0.0\n"));
        const auto lines = juce::StringArray::fromLines(c.text->trimCharactersAtEnd("\n"));
        ASSERT_EQ(lines.size(), 22);
        EXPECT_EQ(lines[0], "Undrel");
        EXPECT_EQ(lines[1], c.line2);
        EXPECT_EQ(lines[15], c.line16);
        EXPECT_EQ(lines[19], c.line20);
        EXPECT_EQ(lines[21], "Orlintz Engineer - Undrel v2.0.0");
        for (int empty : {5, 13, 20})
            EXPECT_TRUE(lines[empty].isEmpty()) << empty;
    }
}

TEST_F(UndrelEditorTest, TooltipsLogoAndMeterSettings)
{
    auto& e = openEditor();
    EXPECT_EQ(e.tooltipWindow, nullptr);
    e.helpPanel.tooltipsToggle.setToggleState(true, juce::sendNotificationSync);
    ASSERT_NE(e.tooltipWindow, nullptr);
    EXPECT_EQ(&e.tooltipWindow->getLookAndFeel(), &e.tooltipLaf);
    EXPECT_TRUE(proc->editorSettings.tooltipsOn.load());
    e.setTooltipsEnabled(false);
    EXPECT_EQ(e.tooltipWindow, nullptr);
    EXPECT_FALSE(proc->editorSettings.tooltipsOn.load());

    e.logoButton.onClick();
    ASSERT_EQ(launched->size(), 1u);
    EXPECT_TRUE(launched->front().toString(false).endsWith("/undrel"));
    EXPECT_TRUE(e.logoButton.getTooltip().contains("\n"));

    EXPECT_EQ(&e.linkIdBox.getLookAndFeel(), &gainpair::smallComboLAF());
    EXPECT_EQ(e.linkIdBox.getNumItems(), 50);

    e.outputMeter.onHoldChanged(true);
    EXPECT_TRUE(proc->editorSettings.meterHold.load());
    editor.reset();
    auto& next = openEditor();
    OrlintMeterProbe probe(next.outputMeter);
    EXPECT_TRUE(probe.holdEnabled());
    EXPECT_FALSE(next.outputMeter.closeOnOutsideClick);
    next.outputMeter.onSettingsChanged(5.0f, 400.0f, 2000.0f, 0.0f);
    EXPECT_FLOAT_EQ(probe.attackMs(), 5.0f);
    EXPECT_FLOAT_EQ(probe.releaseMs(), 400.0f);
}
