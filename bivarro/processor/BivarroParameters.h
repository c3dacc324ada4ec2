#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

#include <array>
#include <functional>

// Every host parameter, declared once and in host order: FLOAT(id, name, range, default, unit) or
// SWITCH(id, name). Hosts that address parameters by index rely on the order, and the IDs are the
// keys of saved states and of the editor's attachments, so neither may change.
#define BIVARRO_PARAMETERS(FLOAT, SWITCH)                                                                              \
    FLOAT(gainL, "Gain L", linear(-100.0f, 48.0f, 0.1f), 0.0f, "dB")                                                   \
    FLOAT(panL, "Pan L", linear(0.0f, 100.0f, 0.1f), 0.0f, "%")                                                        \
    FLOAT(delayL, "Delay L", linear(0.0f, 50.0f, 0.01f), 0.0f, "ms")                                                   \
    FLOAT(apFcL, "APF Freq L", apFreqRange(), 1000.0f, "Hz")                                                           \
    FLOAT(apPhaseL, "APF Phase L", linear(0.0f, 180.0f, 0.1f), 0.0f, "deg")                                            \
    FLOAT(apQL, "APF Q L", linear(0.1f, 20.0f, 0.01f), 1.0f, "")                                                       \
    SWITCH(apOrder2L, "APF 2nd Order L")                                                                               \
    SWITCH(polarityL, "Inv Polarity L")                                                                                \
    FLOAT(gainR, "Gain R", linear(-100.0f, 48.0f, 0.1f), 0.0f, "dB")                                                   \
    FLOAT(panR, "Pan R", linear(-100.0f, 0.0f, 0.1f), 0.0f, "%")                                                       \
    FLOAT(delayR, "Delay R", linear(0.0f, 50.0f, 0.01f), 0.0f, "ms")                                                   \
    FLOAT(apFcR, "APF Freq R", apFreqRange(), 1000.0f, "Hz")                                                           \
    FLOAT(apPhaseR, "APF Phase R", linear(0.0f, 180.0f, 0.1f), 0.0f, "deg")                                            \
    FLOAT(apQR, "APF Q R", linear(0.1f, 20.0f, 0.01f), 1.0f, "")                                                       \
    SWITCH(apOrder2R, "APF 2nd Order R")                                                                               \
    SWITCH(polarityR, "Inv Polarity R")                                                                                \
    FLOAT(width, "Width", linear(0.0f, 500.0f, 0.1f), 100.0f, "%")                                                     \
    FLOAT(asymmetry, "Asymmetry", linear(-90.0f, 90.0f, 0.1f), 0.0f, "deg")                                            \
    FLOAT(rotation, "Rotation", linear(-45.0f, 45.0f, 0.1f), 0.0f, "deg")                                              \
    FLOAT(trimOut, "Trim Out", linear(-48.0f, 24.0f, 0.1f), 0.0f, "dB")                                                \
    FLOAT(midGain, "Mid", linear(-48.0f, 24.0f, 0.1f), 0.0f, "dB")                                                     \
    FLOAT(sideGain, "Side", linear(-48.0f, 24.0f, 0.1f), 0.0f, "dB")                                                   \
    SWITCH(muteL, "Mute L")                                                                                            \
    SWITCH(muteR, "Mute R")                                                                                            \
    SWITCH(muteMid, "Mute Mid")                                                                                        \
    SWITCH(muteSide, "Mute Side")                                                                                      \
    SWITCH(mono, "Mono")                                                                                               \
    SWITCH(bypass, "Bypass")                                                                                           \
    FLOAT(monoMakerFreq, "Bass Mono Freq", bassMonoFreqRange(), 10.0f, "Hz")                                           \
    FLOAT(monoMakerInt, "Bass Mono Intensity", linear(0.0f, 100.0f, 1.0f), 0.0f, "%")

namespace BivarroParameters
{
#define BIVARRO_COUNT_ONE(id, ...) +1
inline constexpr int count = 0 BIVARRO_PARAMETERS(BIVARRO_COUNT_ONE, BIVARRO_COUNT_ONE);
#undef BIVARRO_COUNT_ONE

// The IDs as constants, for the editor's attachments and anything else that names a parameter.
namespace ID
{
#define BIVARRO_ID_CONSTANT(id, ...) inline constexpr const char* id = #id;
BIVARRO_PARAMETERS(BIVARRO_ID_CONSTANT, BIVARRO_ID_CONSTANT)
#undef BIVARRO_ID_CONSTANT
} // namespace ID

#define BIVARRO_ID_STRING(id, ...) #id,
inline constexpr const char* hostOrder[count] = {BIVARRO_PARAMETERS(BIVARRO_ID_STRING, BIVARRO_ID_STRING)};
#undef BIVARRO_ID_STRING

// One row of the table. A switch has the range 0..1, default off and no unit; text functions left
// empty give the framework's own texts.
struct Spec
{
    const char* id;
    const char* name;
    bool isSwitch;
    juce::NormalisableRange<float> range;
    float defaultValue;
    const char* unit;
    std::function<juce::String(float value, int maximumLength)> valueToText;
    std::function<float(const juce::String& text)> textToValue;
};

// The rows in host order.
const std::array<Spec, count>& table();

juce::AudioProcessorValueTreeState::ParameterLayout createLayout();

// Start, end and step, not skewed.
juce::NormalisableRange<float> linear(float start, float end, float step);

// v = s + (e - s) * p^K and back p = ((v - s) / (e - s))^K'; K and K' are deliberately not exact
// reciprocals, and the range does not snap.
juce::NormalisableRange<float> makeSkewedRange(float start, float end, float exponent, float inverseExponent);

juce::NormalisableRange<float> apFreqRange();
juce::NormalisableRange<float> bassMonoFreqRange();

// One block's reading of every parameter: floats in their units, switches on above 0.5.
struct Values
{
#define BIVARRO_FLOAT_MEMBER(id, name, range, def, unit) float id = def;
#define BIVARRO_SWITCH_MEMBER(id, name) bool id = false;
    BIVARRO_PARAMETERS(BIVARRO_FLOAT_MEMBER, BIVARRO_SWITCH_MEMBER)
#undef BIVARRO_FLOAT_MEMBER
#undef BIVARRO_SWITCH_MEMBER
};
} // namespace BivarroParameters
