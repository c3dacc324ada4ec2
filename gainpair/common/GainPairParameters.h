#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

#include <memory>

// Host parameters the two gain plug-ins share in form: a dB float, "linkID" and "bypass".
namespace GainPairParameters
{
// Ovrel's "gain" range. A gain read from a link block is used only when Ovrel could have set it: the
// block may come from a damaged or foreign object.
inline constexpr float ovrelGainMinDb = -48.0f;
inline constexpr float ovrelGainMaxDb = 48.0f;
bool isOvrelGain(float db);

// "-12.5 dB", "0.0 dB": one decimal whatever length the host asks for.
juce::String dbText(float value, int maximumLength);

std::unique_ptr<juce::AudioParameterFloat> makeDbParameter(const juce::String& id, const juce::String& name,
                                                           float minDb, float maxDb, float interval);
std::unique_ptr<juce::AudioParameterInt> makeLinkIdParameter();
std::unique_ptr<juce::AudioParameterBool> makeBypassParameter();
} // namespace GainPairParameters
