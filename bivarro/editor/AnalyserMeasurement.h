#pragma once

#include "bivarro/editor/CorrelationMeter.h"
#include "bivarro/editor/PointCloud.h"
#include "bivarro/editor/ScopeRingTap.h"

// One analyser tick without any drawing: take both rings' new samples, update correlation and
// panorama from the latest output, age both clouds and add the new points.
class AnalyserMeasurement
{
public:
    // exp(-1 / (release x 60)): the share a reading keeps per 60 Hz tick.
    static float releaseCoefficient(float releaseSeconds) noexcept;

    // The first tick takes only samples written after this call.
    void start(const ScopeRingReader& output, const ScopeRingReader& input) noexcept;

    void tick(const ScopeRingReader& output, const ScopeRingReader& input, float coefScope, float dotDensity);

    CorrelationMeter meter;
    ScopeRingTap outputTap, inputTap;
    PointCloud outPoints, inPoints;
};
