#include "gainpair/ui/GainEditorSetup.h"

#include "gainpair/ui/OCols.h"
#include "gainpair/ui/SmallComboLAF.h"
#include "widgets/OrzFonts.h"
#include "widgets/SmallTooltipLAF.h"

namespace gainpair::GainEditorSetup
{
void linkIdControls(juce::Label& label, juce::ComboBox& box)
{
    label.setText("Link ID", juce::dontSendNotification);
    label.setFont(OrzFonts::font(10.0f, true));
    label.setColour(juce::Label::textColourId, juce::Colour(0xff909090));

    for (int id = 1; id <= 50; ++id)
        box.addItem(juce::String(id), id);
    box.setLookAndFeel(&smallComboLAF());
    box.setColour(juce::ComboBox::backgroundColourId, juce::Colour(0xff1a1a1a));
    box.setColour(juce::ComboBox::outlineColourId, juce::Colour(0xff3a3a3a));
}

void headerButtons(juce::TextButton& help, std::initializer_list<juce::TextButton*> zones, juce::LookAndFeel& look)
{
    help.setLookAndFeel(&look);
    help.setColour(juce::TextButton::buttonColourId, juce::Colour(0xff2a2a2a));
    help.setColour(juce::TextButton::textColourOffId, juce::Colour(0xffbbbbbb));
    help.setColour(juce::TextButton::textColourOnId, juce::Colours::black);
    help.setColour(juce::TextButton::buttonOnColourId, OCols::accentHi);
    for (auto* zone : zones)
    {
        zone->setButtonText({});
        zone->setLookAndFeel(&look);
        zone->setColour(juce::TextButton::buttonColourId, juce::Colours::transparentBlack);
        zone->setColour(juce::TextButton::buttonOnColourId, juce::Colours::transparentBlack);
    }
}

void valueLabels(juce::Label& firstCaption, juce::Label& firstValue, juce::Colour firstColour,
                 juce::Label& secondCaption, juce::Label& secondValue)
{
    const juce::Colour captionColour{0xffcccccc};
    firstCaption.setText("Ovrel:", juce::dontSendNotification);
    for (auto* caption : {&firstCaption, &secondCaption})
    {
        caption->setFont(OrzFonts::font(11.0f, true));
        caption->setColour(juce::Label::textColourId, captionColour);
    }
    for (auto* value : {&firstValue, &secondValue})
    {
        value->setText("0.0 dB", juce::dontSendNotification);
        value->setFont(OrzFonts::font(16.0f, true));
        value->setJustificationType(juce::Justification::centredRight);
    }
    firstValue.setColour(juce::Label::textColourId, firstColour);
    secondValue.setColour(juce::Label::textColourId, juce::Colour(0xff9b59b6));
}

void statusLabel(juce::Label& label)
{
    label.setFont(OrzFonts::font(11.0f, true));
    label.setJustificationType(juce::Justification::centred);
    label.setColour(juce::Label::textColourId, juce::Colour(0xffff3333));
    label.setInterceptsMouseClicks(false, false);
}

void meter(OrlintMeter& m, int scaleSide, bool holdOn)
{
    m.closeOnOutsideClick = false;
    m.adaptivePeakInset = true;
    m.setScaleSide(scaleSide);
    m.setHoldEnabled(holdOn);
}

void closeHelpAndTips(std::unique_ptr<HelpWindow>& helpWindow, std::unique_ptr<juce::TooltipWindow>& tooltipWindow,
                      juce::Component& editor, juce::LookAndFeel& tooltipLook, juce::Button& helpButton,
                      HelpPanel& helpPanel, OrlintMeter& meter)
{
    if (helpWindow != nullptr)
    {
        helpWindow->setVisible(false);
        helpWindow.reset();
    }
    SmallTooltipLAF::switchWindow(tooltipWindow, editor, tooltipLook, false, tooltipDelayMs);

    helpButton.onClick = nullptr;
    meter.onSettingsChanged = nullptr;
    meter.onHoldChanged = nullptr;
    helpPanel.onTooltipsToggled = nullptr;
    helpPanel.onLanguageToggled = nullptr;
}

void releaseLooks(std::initializer_list<juce::Component*> components)
{
    for (auto* c : components)
        c->setLookAndFeel(nullptr);
}
} // namespace gainpair::GainEditorSetup
