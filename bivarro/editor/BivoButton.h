#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>

// The small on/off box of Bivarro's editor. It knows no parameter: the editor's handlers write
// them, and the editor sets its state and looks, repainting it after a change.
class BivoButton : public juce::Component, public juce::TooltipClient
{
public:
    BivoButton(const juce::String& label, juce::Colour accent);
    ~BivoButton() override;

    void mouseDown(const juce::MouseEvent& e) override;
    void mouseDoubleClick(const juce::MouseEvent& e) override;
    void paint(juce::Graphics& g) override;
    juce::String getTooltip() override;

    // The label's font height for a button of the given height.
    static float fontHeightFor(int height);

    std::function<void(bool)> onToggle;
    std::function<void()> onShiftDoubleClick;
    std::function<void()> onAltDoubleClick;
    juce::Colour accentColour;
    // Used only when fully opaque; otherwise an off label is drawn dim.
    juce::Colour offLabelColour{0x00000000};
    juce::String labelText;
    juce::String tooltipText;
    bool isOn = false;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(BivoButton)
};
