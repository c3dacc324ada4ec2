#include "bivarro/editor/VectorscopeMapping.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

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

namespace
{
// Tangents of the envelope's bin edges, edge k at (k / bins - 0.5) * 180 degrees, k = 1..bins-1,
// and for a fine grid over w = t / (1 + |t|) (which squeezes every slope t into -1..1) how many
// edges lie below each cell: a slope's bin is its cell's count, then a step or two along the edges.
struct EdgeSlopes
{
    static constexpr int edges = VectorscopeMapping::envelopeBins - 1;
    static constexpr int cells = 1024;
    std::array<float, edges> slopes{};
    std::array<int, cells> edgesBelowCell{};

    EdgeSlopes()
    {
        for (int k = 1; k <= edges; ++k)
            slopes[static_cast<size_t>(k - 1)] = static_cast<float>(
                std::tan((static_cast<double>(k) / VectorscopeMapping::envelopeBins - 0.5) * 3.14159265358979323846));
        for (int c = 0; c < cells; ++c)
        {
            const double w = static_cast<double>(c) / (cells / 2) - 1.0;
            const double t = w / (1.0 - std::abs(w));
            int below = 0;
            while (below < edges && static_cast<double>(slopes[static_cast<size_t>(below)]) <= t)
                ++below;
            edgesBelowCell[static_cast<size_t>(c)] = below;
        }
    }

    // How many edges lie at or below a finite slope.
    int countAtOrBelow(float t) const noexcept
    {
        const float w = t / (1.0f + std::abs(t));
        int n =
            edgesBelowCell[static_cast<size_t>(std::clamp(static_cast<int>((w + 1.0f) * (cells / 2)), 0, cells - 1))];
        while (n < edges && slopes[static_cast<size_t>(n)] <= t)
            ++n;
        while (n > 0 && slopes[static_cast<size_t>(n - 1)] > t)
            --n;
        return n;
    }
};
} // namespace

int VectorscopeMapping::envelopeBin(float u, float v) noexcept
{
    constexpr float pi = 3.14159265358979f;
    const float below = v + 1.0e-4f;
    const auto exact = [&]
    {
        const float position = (std::atan2(u, below) / pi + 0.5f) * static_cast<float>(envelopeBins);
        if (!(position >= 0.0f))
            return 0;
        return std::min(envelopeBins - 1, static_cast<int>(position));
    };
    if (!(below > 0.0f))
        return exact();
    const float t = u / below;
    if (!std::isfinite(t))
        return exact();

    static const EdgeSlopes edges;
    const int bin = edges.countAtOrBelow(t);
    // Within a hair of an edge the rounding of the arctangent decides, as it always has.
    // An angle error e moves the slope by e · (1 + t²).
    const auto near = [t](float edge) { return std::abs(t - edge) <= 1.0e-5f * (1.0f + edge * edge); };
    if ((bin > 0 && near(edges.slopes[static_cast<size_t>(bin - 1)])) ||
        (bin < envelopeBins - 1 && near(edges.slopes[static_cast<size_t>(bin)])))
        return exact();
    return bin;
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
