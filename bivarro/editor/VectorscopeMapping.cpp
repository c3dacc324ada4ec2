#include "bivarro/editor/VectorscopeMapping.h"

#include <algorithm>
#include <cmath>

VectorscopeMapping::Polar VectorscopeMapping::map(float left, float right, float zoom) noexcept
{
    const float m = (left + right) * 0.5f;
    const float s = (right - left) * 0.5f;
    // A point and its negative share a direction, so every direction lies in -90..90 degrees.
    const float angle = m < 0.0f ? std::atan2(-s, -m) : std::atan2(s, m);
    const float g = std::sqrt(m * m + s * s);
    if (!(g >= 1.0e-6f))
        return {0.0f, angle};
    const float db = std::max(-100.0f, 20.0f * std::log10(zoom * g));
    return {std::clamp((db + 60.0f) / 60.0f, 0.0f, 1.0f), angle};
}

juce::Point<float> VectorscopeMapping::toScreen(Polar p, float cx, float cy, float radius) noexcept
{
    return {cx + p.fraction * radius * std::sin(p.angle), cy - p.fraction * radius * std::cos(p.angle)};
}

juce::Point<float> VectorscopeMapping::place(float left, float right, float zoom, float cx, float cy,
                                             float radius) noexcept
{
    const float m = (left + right) * 0.5f;
    const float s = (right - left) * 0.5f;
    const float g = std::sqrt(m * m + s * s);
    if (!(g >= 1.0e-6f))
        return {cx, cy};
    const float db = std::max(-100.0f, 20.0f * std::log10(zoom * g));
    const float f = std::clamp((db + 60.0f) / 60.0f, 0.0f, 1.0f);
    const float sign = m < 0.0f ? -1.0f : 1.0f;
    const float scale = sign * f * radius / g;
    return {cx + scale * s, cy - scale * m};
}

VectorscopeMapping::Wedge VectorscopeMapping::wedge(float widthPercent, float rotationDegrees,
                                                    float asymmetryDegrees) noexcept
{
    const float w = widthPercent / 100.0f;
    const float h = w <= 1.0f ? 45.0f * w : 45.0f + (w - 1.0f) * 0.25f * 45.0f;
    const float a = std::abs(asymmetryDegrees) / 90.0f;
    const float k = 1.0f - a;

    Wedge wg;
    if (asymmetryDegrees > 0.0f)
    {
        wg.leftAngle = -h - a * (90.0f - h);
        wg.leftLength = k;
        wg.rightAngle = k * h;
        wg.rightLength = 1.0f;
    }
    else
    {
        wg.leftAngle = -k * h;
        wg.leftLength = 1.0f;
        wg.rightAngle = h + a * (90.0f - h);
        wg.rightLength = k;
    }
    wg.leftAngle += rotationDegrees;
    wg.rightAngle += rotationDegrees;
    return wg;
}

float VectorscopeMapping::outlineAlpha(float triangleAlpha) noexcept
{
    if (triangleAlpha >= 0.2f)
        return 0.9f;
    return std::clamp(triangleAlpha / 0.2f * 0.9f, 0.0f, 0.9f);
}
