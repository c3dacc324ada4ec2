#include "widgets/OrlintMeterSettingsOverlay.h"

void OrlintMeter::SettingsOverlay::mouseDown(const juce::MouseEvent&)
{
    meter.closeSettingsPanel();
}
