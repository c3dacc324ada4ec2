#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// An invisible part of a window that carries a tooltip over something its owner paints itself.
// The tooltip window only finds components that take clicks, so the zone takes them; an owner that
// acts on presses there listens to the zone's mouse.
class TipZone : public juce::Component, public juce::SettableTooltipClient
{
public:
    TipZone();
    ~TipZone() override;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(TipZone)
};
