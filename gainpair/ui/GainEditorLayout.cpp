#include "gainpair/ui/GainEditorLayout.h"

#include "widgets/OrzFonts.h"

#include <cmath>

namespace gainpair
{
int GainEditorLayout::R(float x)
{
    return (int)std::lround(x);
}

float GainEditorLayout::scaleFor(int w, int h)
{
    return (float)sideFor(w, h) / 300.0f;
}

int GainEditorLayout::sideFor(int w, int h)
{
    return juce::jmin(w, h);
}

GainEditorLayout::GainEditorLayout(int w, int h) : s(scaleFor(w, h)), height(h)
{
    bypassSide = R(36.0f * s);
    meterWidth = R(60.0f * s);

    const int K = R(130.0f * s);
    const int knobHeight = K + R(27.0f * s);
    const int ky = R(76.0f * s) + (h - R(76.0f * s) - knobHeight - 58) / 2 + 30;
    const int a = R(50.0f * s);
    const int b = R(88.0f * s);
    const int r = R(22.0f * s);
    const int x0 = (w - (a + b)) / 2;
    const int y0 = ky - 2 * r - 12;

    help = {w - 22, 7, 18, 16};
    linkLabel = {w - 152, 7, 50, 16};
    linkBox = {w - 100, 5, 48, 20};
    logo = {4, 6, 20, 18};
    titleZone = {28, 0, 120, 30};
    linkZone = {w - 152, 5, 50, 20};
    knob = {(w - K) / 2, ky, K, knobHeight};
    firstCaption = {x0, y0, b, r};
    firstValue = {x0 + b, y0, a, r};
    secondCaption = {x0, y0 + r, b, r};
    secondValue = {x0 + b, y0 + r, a, r};
    status = {0, h - 58, w, 26};
}

void GainEditorLayout::placeHeader(juce::Component& helpButton, juce::Component& linkIdLabel,
                                   juce::Component& linkIdBox, juce::Component& logoButton,
                                   juce::Component& titleTipZone, juce::Component& linkTipZone) const
{
    helpButton.setBounds(help);
    linkIdLabel.setBounds(linkLabel);
    linkIdBox.setBounds(linkBox);
    logoButton.setBounds(logo);
    titleTipZone.setBounds(titleZone);
    linkTipZone.setBounds(linkZone);
}

void GainEditorLayout::placeValues(juce::Label& firstCaptionLabel, juce::Label& firstValueLabel,
                                   juce::Label& secondCaptionLabel, juce::Label& secondValueLabel) const
{
    firstCaptionLabel.setMinimumHorizontalScale(1.0f);
    secondCaptionLabel.setMinimumHorizontalScale(1.0f);
    firstCaptionLabel.setFont(OrzFonts::font(11.0f * s, true));
    secondCaptionLabel.setFont(OrzFonts::font(11.0f * s, true));
    firstValueLabel.setFont(OrzFonts::font(16.0f * s, true));
    secondValueLabel.setFont(OrzFonts::font(16.0f * s, true));
    firstCaptionLabel.setBounds(firstCaption);
    firstValueLabel.setBounds(firstValue);
    secondCaptionLabel.setBounds(secondCaption);
    secondValueLabel.setBounds(secondValue);
}

juce::Rectangle<int> GainEditorLayout::meterAt(int x) const
{
    return {x, 34, meterWidth, height - 66};
}
} // namespace gainpair
