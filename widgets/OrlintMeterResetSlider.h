#pragma once

#include "widgets/OrlintMeter.h"

// A settings knob that Ctrl+double-click returns to its default.
class OrlintMeter::ResetSlider : public juce::Slider
{
public:
    ~ResetSlider() override = default;
    void mouseDoubleClick(const juce::MouseEvent& e) override;

    double defaultValue = 0.0;
};
