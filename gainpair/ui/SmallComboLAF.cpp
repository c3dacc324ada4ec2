#include "gainpair/ui/SmallComboLAF.h"

#include "widgets/OrzFonts.h"

namespace gainpair
{
const juce::Colour SmallComboLAF::textColour{0xffdaa520};

void SmallComboLAF::drawComboBox(juce::Graphics& g, int width, int height, bool, int, int, int, int,
                                 juce::ComboBox& box)
{
    const auto w = (float)width;
    const auto h = (float)height;
    g.setColour(box.findColour(juce::ComboBox::backgroundColourId));
    g.fillRoundedRectangle(0.0f, 0.0f, w, h, 2.0f);
    g.setColour(box.findColour(juce::ComboBox::outlineColourId));
    g.drawRoundedRectangle(0.5f, 0.5f, w - 1.0f, h - 1.0f, 2.0f, 0.8f);

    g.setColour(textColour);
    g.setFont(getComboBoxFont(box));
    g.drawFittedText(box.getText(), 4, 0, width - 8, height, juce::Justification::centred, 1);
}

juce::Font SmallComboLAF::getComboBoxFont(juce::ComboBox&)
{
    return OrzFonts::font(10.0f, true);
}

void SmallComboLAF::positionComboBoxText(juce::ComboBox&, juce::Label& label)
{
    // drawComboBox shows the text itself; the box's own label stays out of sight.
    label.setBounds(0, 0, 0, 0);
}

void SmallComboLAF::drawComboBoxTextWhenNothingSelected(juce::Graphics&, juce::ComboBox&, juce::Label&) {}

SmallComboLAF& smallComboLAF()
{
    static SmallComboLAF instance;
    return instance;
}
} // namespace gainpair
