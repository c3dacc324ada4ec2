#include "bivarro/editor/BivoButton.h"

#include "bivarro/editor/OCols.h"
#include "widgets/OrzFonts.h"

namespace OCols = Bivarro::OCols;

BivoButton::BivoButton(const juce::String& label, juce::Colour accent) : accentColour(accent), labelText(label) {}

BivoButton::~BivoButton() = default;

void BivoButton::mouseDown(const juce::MouseEvent& e)
{
    // Both clicks of a modified double-click reach here first; they must not flip the state.
    if (e.mods.isShiftDown() || e.mods.isAltDown())
        return;

    isOn = !isOn;
    repaint();
    if (onToggle)
        onToggle(isOn);
}

void BivoButton::mouseDoubleClick(const juce::MouseEvent& e)
{
    if (e.mods.isShiftDown())
    {
        if (onShiftDoubleClick)
            onShiftDoubleClick();
    }
    else if (e.mods.isAltDown())
    {
        if (onAltDoubleClick)
            onAltDoubleClick();
    }
}

float BivoButton::fontHeightFor(int height)
{
    return juce::jlimit(9.0f, 13.0f, 0.42f * (float)height);
}

void BivoButton::paint(juce::Graphics& g)
{
    const int w = getWidth();
    const int h = getHeight();
    const juce::Rectangle<float> r(0.5f, 0.5f, (float)juce::jmax(w - 1, 0), (float)juce::jmax(h - 1, 0));

    g.setColour(isOn ? accentColour.withAlpha((juce::uint8)0x2e) : OCols::display);
    g.fillRoundedRectangle(r, 3.0f);
    if (isOn)
    {
        g.setColour(accentColour.withAlpha((juce::uint8)0xb2));
        g.drawRoundedRectangle(r, 3.0f, 1.2f);
    }
    else
    {
        g.setColour(OCols::border);
        g.drawRoundedRectangle(r, 3.0f, 0.8f);
    }

    g.setFont(OrzFonts::font(fontHeightFor(h), true));
    if (isOn)
        g.setColour(accentColour);
    else
        g.setColour(offLabelColour.getAlpha() == 0xff ? offLabelColour : OCols::textDim);
    g.drawText(labelText, juce::Rectangle<int>(0, 0, w, h), juce::Justification::centred, false);
}

juce::String BivoButton::getTooltip()
{
    return tooltipText;
}
