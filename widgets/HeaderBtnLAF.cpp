#include "widgets/HeaderBtnLAF.h"

void HeaderBtnLAF::drawButtonBackground(juce::Graphics& g, juce::Button& button, const juce::Colour& backgroundColour,
                                        bool isMouseOverButton, bool isButtonDown)
{
    auto fill = backgroundColour;
    if (isButtonDown)
        fill = fill.darker(0.2f);
    else if (isMouseOverButton)
        fill = fill.brighter(0.1f);

    g.setColour(fill);
    g.fillRoundedRectangle(0.5f, 0.5f, (float)juce::jmax(button.getWidth() - 1, 0),
                           (float)juce::jmax(button.getHeight() - 1, 0), 2.0f);
}
