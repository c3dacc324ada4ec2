#include "widgets/OrlintMeterSettingsKnobLAF.h"

#include <cmath>

void OrlintMeter::SettingsKnobLAF::drawRotarySlider(juce::Graphics& g, int x, int y, int width, int height,
                                                    float sliderPos, float rotaryStartAngle, float rotaryEndAngle,
                                                    juce::Slider&)
{
    const float cx = (float)x + (float)width / 2.0f;
    const float cy = (float)y + (float)height / 2.0f;
    const float r = (float)juce::jmin(width, height) / 2.0f - 2.0f;
    const auto stroke = [](float thickness)
    { return juce::PathStrokeType(thickness, juce::PathStrokeType::curved, juce::PathStrokeType::rounded); };

    juce::Path track;
    track.addCentredArc(cx, cy, r, r, 0.0f, rotaryStartAngle, rotaryEndAngle, true);
    g.setColour(juce::Colour(0xff3a3a3a));
    g.strokePath(track, stroke(1.8f));

    const float angle = rotaryStartAngle + sliderPos * (rotaryEndAngle - rotaryStartAngle);
    juce::Path value;
    value.addCentredArc(cx, cy, r, r, 0.0f, rotaryStartAngle, angle, true);
    g.setColour(juce::Colour(0x33daa520));
    g.strokePath(value, stroke(4.0f));
    g.setColour(juce::Colour(0xffdaa520));
    g.strokePath(value, stroke(1.8f));

    const float t = 0.42f * r;
    g.setGradientFill(juce::ColourGradient(juce::Colour(0xff3c3c3c), cx - 0.4f * t, cy - 0.4f * t,
                                           juce::Colour(0xff161616), cx + 0.5f * t, cy + 0.5f * t, false));
    g.fillEllipse(cx - t, cy - t, 2.0f * t, 2.0f * t);
    g.setColour(juce::Colour(0xff505050));
    g.drawEllipse(cx - t, cy - t, 2.0f * t, 2.0f * t, 0.8f);

    const float sn = std::sin(angle);
    const float cs = std::cos(angle);
    g.setColour(juce::Colour(0xffdaa520));
    g.drawLine(cx + (t + 2.0f) * sn, cy - (t + 2.0f) * cs, cx + r * sn, cy - r * cs, 1.2f);
}

juce::Label* OrlintMeter::SettingsKnobLAF::createSliderTextBox(juce::Slider& slider)
{
    auto* label = juce::LookAndFeel_V4::createSliderTextBox(slider);
    label->setFont(juce::FontOptions(9.0f));
    label->setColour(juce::Label::textColourId, juce::Colour(0xffaaaaaa));
    label->setColour(juce::Label::backgroundColourId, juce::Colours::transparentBlack);
    label->setColour(juce::Label::outlineColourId, juce::Colours::transparentBlack);
    // The label hands these on to the editor that opens for a typed value.
    label->setColour(juce::TextEditor::textColourId, juce::Colour(0xffdaa520));
    label->setColour(juce::TextEditor::backgroundColourId, juce::Colour(0xff161616));
    return label;
}
