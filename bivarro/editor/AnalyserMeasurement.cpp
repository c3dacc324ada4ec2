#include "bivarro/editor/AnalyserMeasurement.h"

#include <cmath>

float AnalyserMeasurement::releaseCoefficient(float releaseSeconds) noexcept
{
    if (!(releaseSeconds > 0.0f))
        return 0.0f;
    return std::exp(-1.0f / (releaseSeconds * 60.0f));
}

void AnalyserMeasurement::start(const ScopeRingReader& output, const ScopeRingReader& input) noexcept
{
    outputTap.start(output);
    inputTap.start(input);
}

void AnalyserMeasurement::tick(const ScopeRingReader& output, const ScopeRingReader& input, float coefScope,
                               float dotDensity)
{
    const int outCount = outputTap.take(output);
    const int inCount = inputTap.take(input);

    meter.update(output);

    outPoints.age(coefScope);
    inPoints.age(coefScope);

    const int budget = PointCloud::budgetFor(dotDensity);
    outPoints.capture(outputTap.left().data(), outputTap.right().data(), outCount, budget);
    inPoints.capture(inputTap.left().data(), inputTap.right().data(), inCount, budget);
}
