#include "bivarro/editor/VectorscopeMapping.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace
{
// Radius fraction of a zoomed magnitude: the outer arc at 0 dB, the centre at -60 dB. Between
// the two the logarithm comes from the exponent bits and a short series on the mantissa, within
// 1e-6 of the library's (well under a thousandth of a pixel): drawing places every point of both
// clouds every frame.
float radiusFraction(float zoomed) noexcept
{
    if (zoomed >= 1.0f)
        return 1.0f;
    if (!(zoomed > 1.0e-3f))
        return 0.0f;
    std::uint32_t bits = 0;
    std::memcpy(&bits, &zoomed, sizeof bits);
    int exponent = static_cast<int>((bits >> 23) & 0xffu) - 127;
    bits = (bits & 0x007fffffu) | 0x3f800000u;
    float mantissa = 0.0f;
    std::memcpy(&mantissa, &bits, sizeof mantissa);
    if (mantissa > 1.41421356f)
    {
        mantissa *= 0.5f;
        ++exponent;
    }
    // ln(m) = 2 atanh(t), t = (m - 1) / (m + 1), |t| < 0.172.
    const float t = (mantissa - 1.0f) / (mantissa + 1.0f);
    const float t2 = t * t;
    const float ln =
        2.0f * t * (1.0f + t2 * (1.0f / 3.0f + t2 * (1.0f / 5.0f + t2 * (1.0f / 7.0f + t2 * (1.0f / 9.0f)))));
    // 1 + log10(zoomed) / 3, the thirds folded into the constants.
    return std::clamp(1.0f + static_cast<float>(exponent) * (0.30102999566f / 3.0f) + ln * (0.43429448190f / 3.0f),
                      0.0f, 1.0f);
}
} // namespace

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

namespace
{
inline juce::Point<float> placeOne(float left, float right, float zoom, float cx, float cy, float radius) noexcept
{
    const float m = (left + right) * 0.5f;
    const float s = (right - left) * 0.5f;
    const float g = std::sqrt(m * m + s * s);
    if (!(g >= 1.0e-6f))
        return {cx, cy};
    const float f = radiusFraction(zoom * g);
    const float sign = m < 0.0f ? -1.0f : 1.0f;
    const float scale = sign * f * radius / g;
    return {cx + scale * s, cy - scale * m};
}
} // namespace

juce::Point<float> VectorscopeMapping::place(float left, float right, float zoom, float cx, float cy,
                                             float radius) noexcept
{
    return placeOne(left, right, zoom, cx, cy, radius);
}

void VectorscopeMapping::placeAll(const float* lefts, const float* rights, int count, float zoom, float cx, float cy,
                                  float radius, float* xs, float* ys) noexcept
{
    for (int i = 0; i < count; ++i)
    {
        const auto p = placeOne(lefts[i], rights[i], zoom, cx, cy, radius);
        xs[i] = p.x;
        ys[i] = p.y;
    }
}

int VectorscopeMapping::envelopeBin(float u, float v, int bins) noexcept
{
    constexpr float pi = 3.14159265358979f;
    const float below = v + 1.0e-4f;
    const auto exact = [&] { return (std::atan2(u, below) / pi + 0.5f) * static_cast<float>(bins); };
    float position = 0.0f;
    if (below > 0.0f && std::isfinite(u) && std::isfinite(below))
    {
        // Within 2e-6 rad of the arctangent for |t| <= 1; beyond, through its reciprocal.
        const auto atanUnit = [](float t)
        {
            const float t2 = t * t;
            return t * (0.99997726f +
                        t2 * (-0.33262347f +
                              t2 * (0.19354346f + t2 * (-0.11643287f + t2 * (0.05265332f + t2 * -0.01172120f)))));
        };
        const bool steep = std::abs(u) > below;
        const float angle = steep ? std::copysign(pi * 0.5f, u) - atanUnit(below / u) : atanUnit(u / below);
        position = (angle / pi + 0.5f) * static_cast<float>(bins);
        const float fraction = position - std::floor(position);
        if (fraction < 2.0e-3f || fraction > 1.0f - 2.0e-3f)
            position = exact();
    }
    else
    {
        position = exact();
    }
    if (!(position >= 0.0f))
        return 0;
    return std::min(bins - 1, static_cast<int>(position));
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
