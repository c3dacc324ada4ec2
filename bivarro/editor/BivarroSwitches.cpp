#include "bivarro/editor/BivarroSwitches.h"

namespace BivarroSwitches
{
void write(juce::AudioProcessorValueTreeState& apvts, const juce::String& parameterId, bool on)
{
    if (auto* parameter = apvts.getParameter(parameterId))
    {
        parameter->beginChangeGesture();
        parameter->setValueNotifyingHost(on ? 1.0f : 0.0f);
        parameter->endChangeGesture();
    }
}

bool isOn(const juce::AudioProcessorValueTreeState& apvts, const juce::String& parameterId)
{
    const auto* raw = apvts.getRawParameterValue(parameterId);
    return raw != nullptr && raw->load() > 0.5f;
}
} // namespace BivarroSwitches
