#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

namespace gainpair
{
// The link-ID box: a dark field with its number in gold and no arrow.
class SmallComboLAF : public juce::LookAndFeel_V4
{
public:
    ~SmallComboLAF() override = default;

    void drawComboBox(juce::Graphics& g, int width, int height, bool isButtonDown, int buttonX, int buttonY,
                      int buttonW, int buttonH, juce::ComboBox& box) override;
    juce::Font getComboBoxFont(juce::ComboBox& box) override;
    void positionComboBoxText(juce::ComboBox& box, juce::Label& label) override;
    void drawComboBoxTextWhenNothingSelected(juce::Graphics& g, juce::ComboBox& box, juce::Label& label) override;

    static const juce::Colour textColour;
};

// The plug-in's one instance, shared by all of its editors; it lives until the code is unloaded, so
// no editor owns it and each one clears its box's pointer to it when it goes.
SmallComboLAF& smallComboLAF();
} // namespace gainpair
