#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// The editors' header text buttons: a flat rounded box that darkens while pressed and brightens
// under the mouse.
class HeaderBtnLAF : public juce::LookAndFeel_V4
{
public:
    ~HeaderBtnLAF() override = default;

    void drawButtonBackground(juce::Graphics& g, juce::Button& button, const juce::Colour& backgroundColour,
                              bool isMouseOverButton, bool isButtonDown) override;
};
