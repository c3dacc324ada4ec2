#include "widgets/OrlintMeterResetSlider.h"

void OrlintMeter::ResetSlider::mouseDoubleClick(const juce::MouseEvent& e)
{
    if (e.mods.isCtrlDown())
        setValue(defaultValue, juce::sendNotificationSync);
    else
        juce::Slider::mouseDoubleClick(e);
}
