#pragma once

#include "widgets/OrlintMeter.h"

// An invisible cover over the meter's parent while the panel is open: a click anywhere outside the
// panel closes it and does nothing else.
class OrlintMeter::SettingsOverlay : public juce::Component
{
public:
    explicit SettingsOverlay(OrlintMeter& owner) : meter(owner) {}
    ~SettingsOverlay() override = default;
    void mouseDown(const juce::MouseEvent& e) override;

    OrlintMeter& meter;
};
