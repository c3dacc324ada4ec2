#include "bivarro/processor/BivarroParameters.h"

#include <cmath>

namespace BivarroParameters
{
juce::NormalisableRange<float> linear(float start, float end, float step)
{
    return {start, end, step};
}

juce::NormalisableRange<float> makeSkewedRange(float start, float end, float exponent, float inverseExponent)
{
    return juce::NormalisableRange<float>(
        start, end,
        [exponent](float s, float e, float p) { return s + (e - s) * std::pow(juce::jlimit(0.0f, 1.0f, p), exponent); },
        [inverseExponent](float s, float e, float v)
        { return std::pow((juce::jlimit(s, e, v) - s) / (e - s), inverseExponent); });
}

juce::NormalisableRange<float> apFreqRange()
{
    return makeSkewedRange(1.0f, 20000.0f, 4.3233895f, 0.2313f);
}

juce::NormalisableRange<float> bassMonoFreqRange()
{
    return makeSkewedRange(10.0f, 4000.0f, 3.0248034f, 0.3306f);
}

const std::array<Spec, count>& table()
{
#define BIVARRO_FLOAT_ROW(id, name, range, def, unit) Spec{#id, name, false, range, def, unit, {}, {}},
#define BIVARRO_SWITCH_ROW(id, name) Spec{#id, name, true, linear(0.0f, 1.0f, 1.0f), 0.0f, "", {}, {}},
    static const std::array<Spec, count> rows{BIVARRO_PARAMETERS(BIVARRO_FLOAT_ROW, BIVARRO_SWITCH_ROW)};
#undef BIVARRO_FLOAT_ROW
#undef BIVARRO_SWITCH_ROW
    return rows;
}

juce::AudioProcessorValueTreeState::ParameterLayout createLayout()
{
    juce::AudioProcessorValueTreeState::ParameterLayout layout;
    for (const auto& row : table())
    {
        // Version hint 1: the framework's parameter check refuses 0 in some plug-in formats.
        const juce::ParameterID id{row.id, 1};
        if (row.isSwitch)
        {
            auto attributes = juce::AudioParameterBoolAttributes();
            if (row.valueToText)
                attributes = attributes.withStringFromValueFunction([f = row.valueToText](bool v, int length)
                                                                    { return f(v ? 1.0f : 0.0f, length); });
            if (row.textToValue)
                attributes = attributes.withValueFromStringFunction([f = row.textToValue](const juce::String& t)
                                                                    { return f(t) > 0.5f; });
            layout.add(std::make_unique<juce::AudioParameterBool>(id, row.name, row.defaultValue > 0.5f, attributes));
        }
        else
        {
            auto attributes = juce::AudioParameterFloatAttributes().withLabel(row.unit);
            if (row.valueToText)
                attributes = attributes.withStringFromValueFunction(row.valueToText);
            if (row.textToValue)
                attributes = attributes.withValueFromStringFunction(row.textToValue);
            layout.add(
                std::make_unique<juce::AudioParameterFloat>(id, row.name, row.range, row.defaultValue, attributes));
        }
    }
    return layout;
}
} // namespace BivarroParameters
