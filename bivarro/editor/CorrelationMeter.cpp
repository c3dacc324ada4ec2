#include "bivarro/editor/CorrelationMeter.h"

#include <algorithm>
#include <cmath>

void CorrelationMeter::setCoefficients(float correlationCoefficient, float panoramaCoefficient) noexcept
{
    coefCorr = correlationCoefficient;
    coefPan = panoramaCoefficient;
}

void CorrelationMeter::update(const ScopeRingReader& ring) noexcept
{
    const int write = ring.writePosition();
    for (int i = 0; i < window; ++i)
    {
        windowL[i] = ring.left(write - window + i);
        windowR[i] = ring.right(write - window + i);
    }
    update(windowL, windowR);
}

void CorrelationMeter::update(const float* left, const float* right) noexcept
{
    float sLL = 0.0f, sRR = 0.0f, sLR = 0.0f;
    for (int i = 0; i < window; ++i)
    {
        const float l = left[i], r = right[i];
        if (!std::isfinite(l * l + r * r))
            continue;
        sLL += l * l;
        sRR += r * r;
        sLR += l * r;
    }
    const float e = sLL + sRR;

    // Sums of finite samples can still overflow; such a window says nothing about the balance.
    if (!std::isfinite(e) || !std::isfinite(sLR))
        return;

    if (e / static_cast<float>(window) < silence)
    {
        corr *= coefCorr;
        pan *= coefPan;
        return;
    }

    const float product = sLL * sRR;
    const float corrTarget = product > 0.0f ? std::clamp(sLR / std::sqrt(product), -1.0f, 1.0f) : corr;
    corr = coefCorr * corr + (1.0f - coefCorr) * corrTarget;

    const float panTarget = std::clamp((sRR - sLL) / e, -1.0f, 1.0f);
    pan = coefPan * pan + (1.0f - coefPan) * panTarget;
}

void CorrelationMeter::reset() noexcept
{
    corr = 0.0f;
    pan = 0.0f;
}
