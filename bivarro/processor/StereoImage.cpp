#include "bivarro/processor/StereoImage.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>

namespace
{
// Rotation angles stay within +-45 degrees, where these polynomials give sine and cosine to
// within a unit or two in the last place, and, unlike the library calls, vectorise.
float sinQuarter(float x) noexcept
{
    const float z = x * x;
    return ((-1.9515295891e-4f * z + 8.3321608736e-3f) * z - 1.6666654611e-1f) * z * x + x;
}

float cosQuarter(float x) noexcept
{
    const float z = x * x;
    return ((2.443315711809948e-5f * z - 1.388731625493765e-3f) * z + 4.166664568298827e-2f) * z * z - 0.5f * z + 1.0f;
}

// The per-sample stages written once for a plain float and once for four samples side by side,
// so that the loop is vectorised the same way whatever the compiler decides.
using Vec4 = float __attribute__((vector_size(16)));
using Mask4 = int __attribute__((vector_size(16)));

template <typename V> struct Ops;

template <> struct Ops<float>
{
    using Mask = bool;
    static float load(const float* p) noexcept { return *p; }
    static void store(float* p, float v) noexcept { *p = v; }
    static float splat(float v) noexcept { return v; }
    static Mask flag(bool on) noexcept { return on; }
    static float select(Mask m, float a, float b) noexcept { return m ? a : b; }
    static float abs(float v) noexcept { return std::abs(v); }
};

template <> struct Ops<Vec4>
{
    using Mask = Mask4;
    static Vec4 load(const float* p) noexcept
    {
        Vec4 v;
        std::memcpy(&v, p, sizeof v);
        return v;
    }
    static void store(float* p, Vec4 v) noexcept { std::memcpy(p, &v, sizeof v); }
    static Vec4 splat(float v) noexcept { return Vec4{v, v, v, v}; }
    static Mask flag(bool on) noexcept { return Mask4{} - (on ? 1 : 0); }
    static Vec4 select(Mask m, Vec4 a, Vec4 b) noexcept
    {
        return std::bit_cast<Vec4>((m & std::bit_cast<Mask4>(a)) | (~m & std::bit_cast<Mask4>(b)));
    }
    static Vec4 abs(Vec4 v) noexcept { return std::bit_cast<Vec4>(std::bit_cast<Mask4>(v) & 0x7fffffff); }
};

// Work that shares the image's loop: `before` sees the panned samples, `after` the results.
struct NothingAlongside
{
    template <int count> void before(const float*, const float*) noexcept {}
    template <int count> void after(const float*, const float*) noexcept {}
};

// Held by value: with references the compiler must assume that the output stores may change
// the states, and would keep the recursions in memory.
struct TrackAndMeasure
{
    BassMonoCrossover::Tracker crossover;
    LevelReadings::Accumulator levels;

    template <int count> void before(const float* left, const float* right) noexcept
    {
        for (int k = 0; k < count; ++k)
            crossover.step(left[k], right[k]);
    }

    template <int count> void after(const float* left, const float* right) noexcept
    {
        if constexpr (count == 4)
            levels.addFour(left, right);
        else
            levels.addOne(*left, *right);
    }
};

// `fold` and `rotate` are false when the whole run leaves those stages out (amount 0, angle 0).
template <typename V, bool fold, bool rotate, typename Alongside>
void imageStep(const StereoImage::Switches& sw, const StereoImage::Ramps& ramps, const StereoImage::Bands& bands,
               RampValues norm, RampValues cosT, RampValues sinT, float* left, float* right, int i,
               Alongside& alongside) noexcept
{
    using O = Ops<V>;
    constexpr int count = sizeof(V) / sizeof(float);
    alongside.template before<count>(left + i, right + i);
    const V zero = O::splat(0.0f);
    const V half = O::splat(0.5f);
    const V one = O::splat(1.0f);

    V l = O::load(left + i);
    V r = O::load(right + i);

    // Bass mono: the low band's side shrinks by 1 - k^2; with k^2 = 0 the pair stays as panned.
    if constexpr (fold)
    {
        const V k = O::load(ramps.bassMonoAmount.at(i));
        const V k2 = k * k;
        const V lowL = O::load(bands.lowL + i);
        const V lowR = O::load(bands.lowR + i);
        const V lowMid = (lowL + lowR) * half;
        const V lowSide = (lowL - lowR) * half * (one - k2);
        const auto active = k2 > zero;
        l = O::select(active, O::load(bands.highL + i) + lowMid + lowSide, l);
        r = O::select(active, O::load(bands.highR + i) + lowMid - lowSide, r);
    }

    const V w = O::load(ramps.width.at(i));
    const V nm = O::load(norm.at(i));
    const V mid = O::select(O::flag(sw.muteMid), zero, (l + r) * half * nm * O::load(ramps.midGain.at(i)));
    const V side = O::select(O::flag(sw.muteSide), zero, (l - r) * half * w * nm * O::load(ramps.sideGain.at(i)));

    // a = asymmetry / 90 limited to -1 .. 1; the positive part thins the left side, the negative the right.
    V a = O::load(ramps.asymmetry.at(i)) / O::splat(90.0f);
    a = O::select(a < O::splat(-1.0f), O::splat(-1.0f), O::select(one < a, one, a));
    l = mid + (one - O::select(a < zero, zero, a)) * side;
    r = mid - (one + O::select(zero < a, zero, a)) * side;

    if constexpr (rotate)
    {
        const V c = O::load(cosT.at(i));
        const V s = O::load(sinT.at(i));
        const auto active = O::abs(O::load(ramps.rotation.at(i))) > O::splat(1e-05f);
        const V rl = l * c - r * s;
        const V rr = l * s + r * c;
        l = O::select(active, rl, l);
        r = O::select(active, rr, r);
    }

    l = O::select(O::flag(sw.muteL), zero, l);
    r = O::select(O::flag(sw.muteR), zero, r);
    const V sum = (l + r) * half;
    l = O::select(O::flag(sw.mono), sum, l);
    r = O::select(O::flag(sw.mono), sum, r);

    const V t = O::load(ramps.trim.at(i));
    O::store(left + i, l * t);
    O::store(right + i, r * t);
    alongside.template after<count>(left + i, right + i);
}

template <bool fold, bool rotate, typename Alongside>
Alongside imageRun(StereoImage::Switches sw, StereoImage::Ramps ramps, StereoImage::Bands bands, RampValues norm,
                   RampValues cosT, RampValues sinT, float* left, float* right, int n, Alongside alongside) noexcept
{
    int i = 0;
    for (; i + 4 <= n; i += 4)
        imageStep<Vec4, fold, rotate>(sw, ramps, bands, norm, cosT, sinT, left, right, i, alongside);
    for (; i < n; ++i)
        imageStep<float, fold, rotate>(sw, ramps, bands, norm, cosT, sinT, left, right, i, alongside);
    return alongside;
}

// Per-sample values that the ramps imply, worked out once per run.
struct Derived
{
    RampValues norm, cosT, sinT;
};

Derived derive(const StereoImage::Ramps& ramps, float* normData, float* cosData, float* sinData, int n) noexcept
{
    // Per-sample values derived from a ramp: four copies of one value while it is steady. The
    // destinations are the caller's own arrays, never a ramp's values (which keeps the loops vectorised).
    auto derived = [n](RampValues from, float* __restrict to, auto&& f)
    {
        if (from.steady())
            std::fill(to, to + 4, f(from[0]));
        else
            for (int i = 0; i < n; ++i)
                to[i] = f(from[i]);
        return RampValues{to, from.mask};
    };

    // norm = 1 / sqrt((w^2 + 1) / 2) keeps the level of a correlated pair as the width changes.
    const auto norm = derived(ramps.width, normData, [](float w) { return 1.0f / std::sqrt((w * w + 1.0f) * 0.5f); });

    // A steady angle takes the library's sine and cosine once; a moving one the polynomials.
    const auto& rotation = ramps.rotation;
    const auto cosT = rotation.steady() ? derived(rotation, cosData, [](float t) { return std::cos(t); })
                                        : derived(rotation, cosData, cosQuarter);
    const auto sinT = rotation.steady() ? derived(rotation, sinData, [](float t) { return std::sin(t); })
                                        : derived(rotation, sinData, sinQuarter);
    return {norm, cosT, sinT};
}

bool rotates(const StereoImage::Ramps& ramps) noexcept
{
    return !ramps.rotation.steady() || std::abs(ramps.rotation[0]) > 1e-05f;
}
} // namespace

void StereoImage::pan(const Pan& p, const float* dL, const float* dR, float* outL, float* outR, int n) noexcept
{
    for (int i = 0; i < n; ++i)
    {
        outL[i] = p.cosL * dL[i] + p.cosR * dR[i];
        outR[i] = p.sinL * dL[i] + p.sinR * dR[i];
    }
}

void StereoImage::process(const Switches& sw, const Ramps& ramps, const Bands& bands, float* left, float* right,
                          int n) noexcept
{
    float normData[maxBlock];
    float cosData[maxBlock];
    float sinData[maxBlock];
    const auto [norm, cosT, sinT] = derive(ramps, normData, cosData, sinData, n);

    // Stages that a steady ramp leaves out for the whole run are skipped.
    const float k = ramps.bassMonoAmount[0];
    const bool fold = !ramps.bassMonoAmount.steady() || k * k > 0.0f;
    const bool rotate = rotates(ramps);
    const NothingAlongside nothing;

    if (fold && rotate)
        imageRun<true, true>(sw, ramps, bands, norm, cosT, sinT, left, right, n, nothing);
    else if (fold)
        imageRun<true, false>(sw, ramps, bands, norm, cosT, sinT, left, right, n, nothing);
    else if (rotate)
        imageRun<false, true>(sw, ramps, bands, norm, cosT, sinT, left, right, n, nothing);
    else
        imageRun<false, false>(sw, ramps, bands, norm, cosT, sinT, left, right, n, nothing);
}

void StereoImage::processBandsUnused(const Switches& sw, const Ramps& ramps, BassMonoCrossover::Tracker& crossover,
                                     LevelReadings::Accumulator& levels, float* left, float* right, int n) noexcept
{
    float normData[maxBlock];
    float cosData[maxBlock];
    float sinData[maxBlock];
    const auto [norm, cosT, sinT] = derive(ramps, normData, cosData, sinData, n);

    const Bands none{};
    const TrackAndMeasure start{crossover, levels};
    const auto done = rotates(ramps) ? imageRun<false, true>(sw, ramps, none, norm, cosT, sinT, left, right, n, start)
                                     : imageRun<false, false>(sw, ramps, none, norm, cosT, sinT, left, right, n, start);
    crossover = done.crossover;
    levels = done.levels;
}
