#include "widgets/OrlintMeterSettingsPanel.h"

OrlintMeter::SettingsPanel::SettingsPanel(OrlintMeter& owner) : meter(owner)
{
    setOpaque(false);

    setupKnob(attackKnob, attackLabel, "Attack", 0.1, 50.0, meter.attackMs, 1.0, " ms");
    setupKnob(releaseKnob, releaseLabel, "Release", 50.0, 2000.0, meter.releaseMs, 200.0, " ms");
    setupKnob(rmsKnob, rmsLabel, "RMS Win", 50.0, 1000.0, meter.rmsWindowMs, 300.0, " ms");
    setupKnob(brightKnob, brightLabel, "Bright", 1.0, 100.0, meter.brightness, 84.0, "%");

    attackKnob.onValueChange = [this]
    {
        meter.attackMs = (float)attackKnob.getValue();
        meter.attackCoef = coefFromMs(meter.attackMs);
        settingsChanged();
    };
    releaseKnob.onValueChange = [this]
    {
        meter.releaseMs = (float)releaseKnob.getValue();
        meter.releaseCoef = coefFromMs(meter.releaseMs);
        settingsChanged();
    };
    rmsKnob.onValueChange = [this]
    {
        meter.setRmsWindow((float)rmsKnob.getValue());
        settingsChanged();
    };
    brightKnob.onValueChange = [this]
    {
        meter.brightness = (float)brightKnob.getValue();
        meter.repaint();
        settingsChanged();
    };

    closeButton.setButtonText("x");
    closeButton.setColour(juce::TextButton::buttonColourId, juce::Colour(0xff2a2a2a));
    closeButton.setColour(juce::TextButton::textColourOffId, juce::Colour(0xff888888));
    closeButton.setColour(juce::ComboBox::outlineColourId, juce::Colour(0xff3a3a3a));
    // Closing deletes this panel from inside the click; the button touches nothing afterwards.
    closeButton.onClick = [&m = meter] { m.closeSettingsPanel(); };
    addAndMakeVisible(closeButton);
}

OrlintMeter::SettingsPanel::~SettingsPanel()
{
    for (auto* knob : {&attackKnob, &releaseKnob, &rmsKnob, &brightKnob})
        knob->setLookAndFeel(nullptr);
}

void OrlintMeter::SettingsPanel::setupKnob(ResetSlider& knob, juce::Label& caption, const juce::String& name,
                                           double minimum, double maximum, double initial, double defaultVal,
                                           const juce::String& suffix)
{
    knob.defaultValue = defaultVal;
    knob.setSliderStyle(juce::Slider::RotaryVerticalDrag);
    knob.setTextBoxStyle(juce::Slider::TextBoxBelow, false, 50, 14);
    knob.setRange(minimum, maximum, 0.1);
    knob.setValue(initial, juce::dontSendNotification);
    knob.setTextValueSuffix(suffix);
    knob.setLookAndFeel(&knobLAF);
    knob.setColour(juce::Slider::textBoxTextColourId, juce::Colour(0xffaaaaaa));
    knob.setColour(juce::Slider::textBoxBackgroundColourId, juce::Colours::transparentBlack);
    knob.setColour(juce::Slider::textBoxOutlineColourId, juce::Colours::transparentBlack);
    addAndMakeVisible(knob);

    caption.setText(name, juce::dontSendNotification);
    caption.setJustificationType(juce::Justification::centred);
    caption.setFont(juce::FontOptions(9.0f));
    caption.setColour(juce::Label::textColourId, juce::Colour(0xff888888));
    caption.setColour(juce::Label::backgroundColourId, juce::Colours::transparentBlack);
    addAndMakeVisible(caption);
}

void OrlintMeter::SettingsPanel::settingsChanged()
{
    if (meter.onSettingsChanged)
        meter.onSettingsChanged(meter.attackMs, meter.releaseMs, meter.rmsWindowMs, meter.brightness);
}

void OrlintMeter::SettingsPanel::paint(juce::Graphics& g)
{
    const auto w = (float)getWidth();
    const auto h = (float)getHeight();

    g.setColour(juce::Colour(0xf0161616));
    g.fillRoundedRectangle(0.0f, 0.0f, w, h, 5.0f);
    g.setColour(juce::Colour(0x99daa520));
    g.drawRoundedRectangle(0.5f, 0.5f, juce::jmax(w - 1.0f, 0.0f), juce::jmax(h - 1.0f, 0.0f), 5.0f, 1.0f);

    g.setColour(juce::Colour(0xffdaa520));
    g.setFont(juce::FontOptions(9.5f, juce::Font::bold));
    g.drawText("Meter Settings", juce::Rectangle<float>(0.0f, 4.0f, w, 14.0f), juce::Justification::centred, true);
}

void OrlintMeter::SettingsPanel::resized()
{
    const int w = getWidth();
    const int b = w / 4 - 20;
    const int e = w / 2;

    attackKnob.setBounds(b, 22, 40, 54);
    attackLabel.setBounds(0, 77, e, 12);
    releaseKnob.setBounds(b + e, 22, 40, 54);
    releaseLabel.setBounds(e, 77, e, 12);
    rmsKnob.setBounds(b, 92, 40, 54);
    rmsLabel.setBounds(0, 147, e, 12);
    brightKnob.setBounds(b + e, 92, 40, 54);
    brightLabel.setBounds(e, 147, e, 12);
    closeButton.setBounds(w - 16, 2, 14, 14);
}
