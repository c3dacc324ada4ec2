#pragma once

#include "widgets/OrlintMeter.h"
#include "widgets/OrlintMeterResetSlider.h"
#include "widgets/OrlintMeterSettingsKnobLAF.h"

// The panel beside a meter with its attack, release, RMS-window and brightness knobs. Each change
// goes straight into the meter and out through its onSettingsChanged.
class OrlintMeter::SettingsPanel : public juce::Component
{
public:
    explicit SettingsPanel(OrlintMeter& owner);
    ~SettingsPanel() override;
    void paint(juce::Graphics& g) override;
    void resized() override;

    OrlintMeter& meter;
    SettingsKnobLAF knobLAF;
    ResetSlider attackKnob, releaseKnob, rmsKnob, brightKnob;
    juce::Label attackLabel, releaseLabel, rmsLabel, brightLabel;
    juce::TextButton closeButton;

private:
    void setupKnob(ResetSlider& knob, juce::Label& caption, const juce::String& name, double minimum, double maximum,
                   double initial, double defaultVal, const juce::String& suffix);
    void settingsChanged();

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(SettingsPanel)
};
