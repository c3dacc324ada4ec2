#include "widgets/HelpPanel.h"

#include "widgets/OrzFonts.h"

const juce::Colour HelpPanel::background{0xff1a1a1a};

HelpPanel::HelpPanel(juce::String englishText, juce::String spanishText)
    : helpTextEnglish(std::move(englishText)), helpTextSpanish(std::move(spanishText))
{
    textView.setMultiLine(true, true);
    textView.setReadOnly(true);
    textView.setColour(juce::TextEditor::backgroundColourId, background);
    textView.setColour(juce::TextEditor::textColourId, juce::Colour(0xffdddddd));
    textView.setFont(OrzFonts::font(14.0f));
    addAndMakeVisible(textView);

    for (auto* toggle : {&tooltipsToggle, &espanolToggle})
    {
        toggle->setColour(juce::ToggleButton::textColourId, juce::Colour(0xffdddddd));
        toggle->setColour(juce::ToggleButton::tickColourId, juce::Colour(0xffdaa520));
        addAndMakeVisible(*toggle);
    }

    tooltipsToggle.onClick = [this]
    {
        if (onTooltipsToggled)
            onTooltipsToggled(tooltipsToggle.getToggleState());
    };
    espanolToggle.onClick = [this]
    {
        spanish = espanolToggle.getToggleState();
        textView.setText(helpText(), false);
        tooltipsToggle.setButtonText("Tooltips");
        espanolToggle.setButtonText("Espanol");
        if (onLanguageToggled)
            onLanguageToggled(spanish);
    };

    // Laid out before the text goes in: a text view without a width wraps after every character,
    // which made each editor take tens of milliseconds to open.
    setSize(preferredWidth, preferredHeight);
    textView.setText(helpTextEnglish, false);

    // Shown by the owning editor's help button.
    setVisible(false);
}

HelpPanel::~HelpPanel()
{
    tooltipsToggle.onClick = nullptr;
    espanolToggle.onClick = nullptr;
}

void HelpPanel::setSpanish(bool on)
{
    spanish = on;
    espanolToggle.setToggleState(on, juce::dontSendNotification);
    textView.setText(helpText(), false);
}

void HelpPanel::paint(juce::Graphics& g)
{
    g.fillAll(background);
}

void HelpPanel::resized()
{
    const int w = juce::jmax(getWidth() - 16, 0);
    const int h = juce::jmax(getHeight() - 16, 0);
    const int strip = juce::jmin(h, 84);
    const int textHeight = h - strip;

    int y = 8 + textHeight;
    int left = strip;
    const int tooltipsHeight = juce::jmin(left, 24);
    tooltipsToggle.setBounds(8, y, w, tooltipsHeight);
    y += tooltipsHeight;
    left -= tooltipsHeight;
    const int gap = juce::jmin(left, 4);
    y += gap;
    left -= gap;
    espanolToggle.setBounds(8, y, w, juce::jmin(left, 24));

    textView.setBounds(8, 8, w, textHeight - juce::jmin(textHeight, 4));
}
