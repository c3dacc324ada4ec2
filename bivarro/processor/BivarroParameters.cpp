#include "bivarro/processor/BivarroParameters.h"

#include <cmath>

namespace BivarroParameters
{
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
} // namespace BivarroParameters
