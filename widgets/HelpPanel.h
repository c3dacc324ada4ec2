#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>

// The help window's content: the plug-in's help text and the "Tooltips" and "Espanol" switches.
// Each editor supplies its own texts and acts on the switches through the two callbacks.
class HelpPanel : public juce::Component
{
public:
    HelpPanel(juce::String englishText, juce::String spanishText);
    ~HelpPanel() override;

    void paint(juce::Graphics& g) override;
    void resized() override;

    // The language the panel shows, with its switch brought in line (without notification).
    void setSpanish(bool on);
    const juce::String& helpText() const { return spanish ? helpTextSpanish : helpTextEnglish; }

    static constexpr int preferredWidth = 340;
    static constexpr int preferredHeight = 400;
    static const juce::Colour background;

    juce::TextEditor textView;
    juce::ToggleButton tooltipsToggle{"Tooltips"};
    juce::ToggleButton espanolToggle{"Espanol"};
    std::function<void(bool)> onTooltipsToggled;
    std::function<void(bool)> onLanguageToggled;
    bool spanish = false;
    const juce::String helpTextEnglish;
    const juce::String helpTextSpanish;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(HelpPanel)
};
