#pragma once

#include "widgets/OrlintMeter.h"

// The look of the settings panel's four mini knobs and their value boxes.
class OrlintMeter::SettingsKnobLAF : public juce::LookAndFeel_V4
{
public:
    ~SettingsKnobLAF() override = default;
    void drawRotarySlider(juce::Graphics& g, int x, int y, int width, int height, float sliderPos,
                          float rotaryStartAngle, float rotaryEndAngle, juce::Slider& slider) override;
    juce::Label* createSliderTextBox(juce::Slider& slider) override;
};
