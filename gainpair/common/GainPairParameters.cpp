#include "gainpair/common/GainPairParameters.h"

#include <cmath>

namespace GainPairParameters
{
bool isOvrelGain(float db)
{
    return std::isfinite(db) && db >= ovrelGainMinDb && db <= ovrelGainMaxDb;
}

juce::String dbText(float value, int)
{
    return juce::String(value, 1) + " dB";
}

std::unique_ptr<juce::AudioParameterFloat> makeDbParameter(const juce::String& id, const juce::String& name,
                                                           float minDb, float maxDb, float interval)
{
    return std::make_unique<juce::AudioParameterFloat>(
        juce::ParameterID{id, 0}, name, juce::NormalisableRange<float>(minDb, maxDb, interval), 0.0f,
        juce::AudioParameterFloatAttributes().withStringFromValueFunction(dbText));
}

std::unique_ptr<juce::AudioParameterInt> makeLinkIdParameter()
{
    return std::make_unique<juce::AudioParameterInt>(juce::ParameterID{"linkID", 0}, "Link ID", 1, 50, 1);
}

std::unique_ptr<juce::AudioParameterBool> makeBypassParameter()
{
    return std::make_unique<juce::AudioParameterBool>(juce::ParameterID{"bypass", 0}, "Bypass", false);
}
} // namespace GainPairParameters
