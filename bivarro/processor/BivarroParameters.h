#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

// The host parameters: IDs in host order, and the two skewed frequency ranges.
namespace BivarroParameters
{
inline constexpr int count = 30;

// Host order; hosts that address parameters by index rely on it.
inline constexpr const char* hostOrder[count] = {
    "gainL",   "panL",      "delayL",   "apFcL",   "apPhaseL",      "apQL",        "apOrder2L", "polarityL",
    "gainR",   "panR",      "delayR",   "apFcR",   "apPhaseR",      "apQR",        "apOrder2R", "polarityR",
    "width",   "asymmetry", "rotation", "trimOut", "midGain",       "sideGain",    "muteL",     "muteR",
    "muteMid", "muteSide",  "mono",     "bypass",  "monoMakerFreq", "monoMakerInt"};

// v = s + (e - s) * p^K and back p = ((v - s) / (e - s))^K'; K and K' are deliberately not exact
// reciprocals, and the range does not snap.
juce::NormalisableRange<float> makeSkewedRange(float start, float end, float exponent, float inverseExponent);

juce::NormalisableRange<float> apFreqRange();
juce::NormalisableRange<float> bassMonoFreqRange();
} // namespace BivarroParameters
