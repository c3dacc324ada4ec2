#pragma once

#include "bivarro/processor/ScopeRingReader.h"

// Smoothed correlation and panorama of the latest output samples. A silent window lets both
// readings fall back toward 0; non-finite samples are left out so that one bad sample upstream
// never makes the readings NaN for good.
class CorrelationMeter
{
public:
    static constexpr int window = 512;
    static constexpr float silence = 1.0e-7f;

    // Per-tick coefficients: the share of the old reading kept on each update.
    void setCoefficients(float correlationCoefficient, float panoramaCoefficient) noexcept;

    // Measures the window samples behind the ring's freshly loaded write position.
    void update(const ScopeRingReader& ring) noexcept;

    // Measures window samples of left and right.
    void update(const float* left, const float* right) noexcept;

    void reset() noexcept;

    float correlation() const noexcept { return corr; }
    float panorama() const noexcept { return pan; }

private:
    float coefCorr = 0.0f, coefPan = 0.0f;
    float corr = 0.0f, pan = 0.0f;
    float windowL[window]{}, windowR[window]{};
};
