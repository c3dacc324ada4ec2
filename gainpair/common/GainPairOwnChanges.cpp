#include "gainpair/common/GainPairOwnChanges.h"

void GainPairOwnChanges::set(juce::RangedAudioParameter& parameter, float value)
{
    parameter.beginChangeGesture();
    parameter.setValueNotifyingHost(parameter.convertTo0to1(value));
    parameter.endChangeGesture();
}

void GainPairOwnChanges::setBeforeHostListens(juce::RangedAudioParameter& parameter, float value)
{
    parameter.setValueNotifyingHost(parameter.convertTo0to1(value));
    pendingValue = value;
    pending.store(&parameter, std::memory_order_release);
}

void GainPairOwnChanges::tellHost()
{
    if (!prepared.load(std::memory_order_acquire))
        return;
    auto* parameter = pending.exchange(nullptr, std::memory_order_acq_rel);
    if (parameter != nullptr &&
        juce::approximatelyEqual(parameter->convertFrom0to1(parameter->getValue()), pendingValue))
        set(*parameter, pendingValue);
}
