#include "bivarro/processor/StereoImage.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <functional>
#include <tuple>
#include <type_traits>
#include <utility>

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

// The crossover's four outputs for the samples of one step.
template <typename V> struct BandValues
{
    V lowL, lowR, highL, highR;
};

// Work that shares the image's loop: `before` sees the panned samples, `after` the results. One
// that gives the crossover's bands itself (givesBands) takes the panned samples in bands().
struct NothingAlongside
{
    static constexpr bool givesBands = false;

    template <typename V> void before(V, V) noexcept {}
    template <typename V> void after(V, V) noexcept {}
};

// Held by value: with references the compiler must assume that the output stores may change
// the states, and would keep the recursions in memory.
struct TrackAndMeasure
{
    static constexpr bool givesBands = false;
    BassMonoCrossover::Tracker crossover;
    LevelReadings::Accumulator levels;

    template <typename V> void before(V left, V right) noexcept
    {
        if constexpr (std::is_same_v<V, Vec4>)
        {
            // Each sample's {left, right, left, right} from two shuffles of the four-sample
            // vectors, rather than from single loads and inserts.
            const Vec4 lo = __builtin_shufflevector(left, right, 0, 4, 1, 5);
            const Vec4 hi = __builtin_shufflevector(left, right, 2, 6, 3, 7);
            crossover.step(__builtin_shufflevector(lo, lo, 0, 1, 0, 1));
            crossover.step(__builtin_shufflevector(lo, lo, 2, 3, 2, 3));
            crossover.step(__builtin_shufflevector(hi, hi, 0, 1, 0, 1));
            crossover.step(__builtin_shufflevector(hi, hi, 2, 3, 2, 3));
        }
        else
            crossover.step(left, right);
    }

    template <typename V> void after(V left, V right) noexcept
    {
        if constexpr (std::is_same_v<V, Vec4>)
            levels.addFour(left, right);
        else
            levels.addOne(left, right);
    }
};

// As TrackAndMeasure, and the crossover's outputs go straight into the bass mono.
struct TrackFoldAndMeasure
{
    static constexpr bool givesBands = true;
    BassMonoCrossover::Tracker crossover;
    LevelReadings::Accumulator levels;

    template <typename V> void before(V, V) noexcept {}

    template <typename V> BandValues<V> bands(V left, V right) noexcept
    {
        if constexpr (std::is_same_v<V, Vec4>)
        {
            const Vec4 lo = __builtin_shufflevector(left, right, 0, 4, 1, 5);
            const Vec4 hi = __builtin_shufflevector(left, right, 2, 6, 3, 7);
            const Vec4 y0 = crossover.step(__builtin_shufflevector(lo, lo, 0, 1, 0, 1));
            const Vec4 y1 = crossover.step(__builtin_shufflevector(lo, lo, 2, 3, 2, 3));
            const Vec4 y2 = crossover.step(__builtin_shufflevector(hi, hi, 0, 1, 0, 1));
            const Vec4 y3 = crossover.step(__builtin_shufflevector(hi, hi, 2, 3, 2, 3));
            // Lanes per sample {lowL, lowR, highL, highR} to one vector per band.
            const Vec4 a = __builtin_shufflevector(y0, y1, 0, 4, 1, 5);
            const Vec4 b = __builtin_shufflevector(y2, y3, 0, 4, 1, 5);
            const Vec4 c = __builtin_shufflevector(y0, y1, 2, 6, 3, 7);
            const Vec4 d = __builtin_shufflevector(y2, y3, 2, 6, 3, 7);
            return {__builtin_shufflevector(a, b, 0, 1, 4, 5), __builtin_shufflevector(a, b, 2, 3, 6, 7),
                    __builtin_shufflevector(c, d, 0, 1, 4, 5), __builtin_shufflevector(c, d, 2, 3, 6, 7)};
        }
        else
        {
            const auto y = crossover.step(left, right);
            return {y[0], y[1], y[2], y[3]};
        }
    }

    template <typename V> void after(V left, V right) noexcept
    {
        if constexpr (std::is_same_v<V, Vec4>)
            levels.addFour(left, right);
        else
            levels.addOne(left, right);
    }
};

// What a run can leave out, decided once per run. general: every stage as written. plain: no
// switch is on and the asymmetry holds, so its two side factors are worked out once. unity: plain,
// and width, mid, side and trim hold at exactly 1 with the asymmetry at 0, so that their
// multiplications are exact identities and are left out.
enum class Shape
{
    general,
    plain,
    unity
};

struct SideFactors
{
    float left = 1.0f, right = 1.0f;
};

// The asymmetry's side factors for a = asymmetry / 90 limited to -1 .. 1: the positive part
// thins the left side, the negative the right.
template <typename V> std::pair<V, V> sideFactors(V asymmetry) noexcept
{
    using O = Ops<V>;
    const V zero = O::splat(0.0f);
    const V one = O::splat(1.0f);
    V a = asymmetry / O::splat(90.0f);
    a = O::select(a < O::splat(-1.0f), O::splat(-1.0f), O::select(one < a, one, a));
    return {one - O::select(a < zero, zero, a), one + O::select(zero < a, zero, a)};
}

// `fold` and `rotate` are false when the whole run leaves those stages out (amount 0, angle 0);
// with `panHere` the step pans the delayed pair itself (from `in`), else `left` and `right`
// already hold the panned pair.
template <typename V, Shape shape, bool fold, bool rotate, bool steadyAmounts, bool panHere, typename Alongside>
void imageStep(const StereoImage::Switches& sw, const StereoImage::Ramps& ramps, const StereoImage::Bands& bands,
               const StereoImage::Pan& pan, const float* inL, const float* inR, SideFactors steadySide, RampValues norm,
               RampValues cosT, RampValues sinT, float* left, float* right, int i, Alongside& alongside) noexcept
{
    using O = Ops<V>;
    const V zero = O::splat(0.0f);
    const V half = O::splat(0.5f);
    const V one = O::splat(1.0f);

    V l, r;
    if constexpr (panHere)
    {
        const V dL = O::load(inL + i);
        const V dR = O::load(inR + i);
        l = O::splat(pan.cosL) * dL + O::splat(pan.cosR) * dR;
        r = O::splat(pan.sinL) * dL + O::splat(pan.sinR) * dR;
    }
    else
    {
        l = O::load(left + i);
        r = O::load(right + i);
    }
    alongside.before(l, r);

    // Bass mono: the low band's side shrinks by 1 - k^2; with k^2 = 0 the pair stays as panned.
    if constexpr (fold)
    {
        BandValues<V> b;
        if constexpr (Alongside::givesBands)
            b = alongside.bands(l, r);
        else
            b = {O::load(bands.lowL + i), O::load(bands.lowR + i), O::load(bands.highL + i), O::load(bands.highR + i)};
        const V k = O::load(ramps.bassMonoAmount.at(i));
        const V k2 = k * k;
        const V lowMid = (b.lowL + b.lowR) * half;
        const V lowSide = (b.lowL - b.lowR) * half * (one - k2);
        if constexpr (steadyAmounts)
        {
            l = b.highL + lowMid + lowSide;
            r = b.highR + lowMid - lowSide;
        }
        else
        {
            const auto active = k2 > zero;
            l = O::select(active, b.highL + lowMid + lowSide, l);
            r = O::select(active, b.highR + lowMid - lowSide, r);
        }
    }

    if constexpr (shape == Shape::unity)
    {
        const V mid = (l + r) * half;
        const V side = (l - r) * half;
        l = mid + side;
        r = mid - side;
    }
    else
    {
        const V w = O::load(ramps.width.at(i));
        const V nm = O::load(norm.at(i));
        V mid = (l + r) * half * nm * O::load(ramps.midGain.at(i));
        V side = (l - r) * half * w * nm * O::load(ramps.sideGain.at(i));
        V sideL, sideR;
        if constexpr (shape == Shape::general)
        {
            mid = O::select(O::flag(sw.muteMid), zero, mid);
            side = O::select(O::flag(sw.muteSide), zero, side);
            std::tie(sideL, sideR) = sideFactors(O::load(ramps.asymmetry.at(i)));
        }
        else
        {
            sideL = O::splat(steadySide.left);
            sideR = O::splat(steadySide.right);
        }
        l = mid + sideL * side;
        r = mid - sideR * side;
    }

    if constexpr (rotate)
    {
        const V c = O::load(cosT.at(i));
        const V s = O::load(sinT.at(i));
        const V rl = l * c - r * s;
        const V rr = l * s + r * c;
        if constexpr (steadyAmounts)
        {
            l = rl;
            r = rr;
        }
        else
        {
            const auto active = O::abs(O::load(ramps.rotation.at(i))) > O::splat(1e-05f);
            l = O::select(active, rl, l);
            r = O::select(active, rr, r);
        }
    }

    if constexpr (shape == Shape::general)
    {
        l = O::select(O::flag(sw.muteL), zero, l);
        r = O::select(O::flag(sw.muteR), zero, r);
        const V sum = (l + r) * half;
        l = O::select(O::flag(sw.mono), sum, l);
        r = O::select(O::flag(sw.mono), sum, r);
    }

    if constexpr (shape != Shape::unity)
    {
        const V t = O::load(ramps.trim.at(i));
        l = l * t;
        r = r * t;
    }
    O::store(left + i, l);
    O::store(right + i, r);
    alongside.after(l, r);
}

// One run's fixed inputs.
struct RunInputs
{
    const StereoImage::Switches& sw;
    const StereoImage::Ramps& ramps;
    const StereoImage::Bands& bands;
    const StereoImage::Pan& pan;
    const float* inL;
    const float* inR;
    SideFactors side;
    RampValues norm, cosT, sinT;
};

template <Shape shape, bool fold, bool rotate, bool steadyAmounts, bool panHere, typename Alongside>
Alongside imageRun(const RunInputs& in, float* left, float* right, int n, Alongside alongside) noexcept
{
    // Copies in locals: the output stores may not be assumed to leave them alone.
    const StereoImage::Switches sw = in.sw;
    const StereoImage::Ramps ramps = in.ramps;
    const StereoImage::Bands bands = in.bands;
    const StereoImage::Pan pan = in.pan;
    int i = 0;
    for (; i + 4 <= n; i += 4)
        imageStep<Vec4, shape, fold, rotate, steadyAmounts, panHere>(
            sw, ramps, bands, pan, in.inL, in.inR, in.side, in.norm, in.cosT, in.sinT, left, right, i, alongside);
    for (; i < n; ++i)
        imageStep<float, shape, fold, rotate, steadyAmounts, panHere>(
            sw, ramps, bands, pan, in.inL, in.inR, in.side, in.norm, in.cosT, in.sinT, left, right, i, alongside);
    return alongside;
}

// The run's shape and its steady side factors.
Shape shapeOf(const StereoImage::Switches& sw, const StereoImage::Ramps& ramps, RampValues norm,
              SideFactors& side) noexcept
{
    if (sw.muteMid || sw.muteSide || sw.muteL || sw.muteR || sw.mono || !ramps.asymmetry.steady())
        return Shape::general;
    std::tie(side.left, side.right) = sideFactors(ramps.asymmetry[0]);

    auto isOne = [](RampValues v) { return v.steady() && std::equal_to<float>()(v[0], 1.0f); };
    const bool unity = isOne(ramps.width) && isOne(norm) && isOne(ramps.midGain) && isOne(ramps.sideGain) &&
                       isOne(ramps.trim) && std::equal_to<float>()(side.left, 1.0f) &&
                       std::equal_to<float>()(side.right, 1.0f);
    return unity ? Shape::unity : Shape::plain;
}

// Picks the instantiation for the run's shape and stages. With the bass-mono amount and the
// rotation both steady, a stage that runs at all runs on every sample, with no per-sample test.
template <bool panHere, typename Alongside>
Alongside imageDispatch(const RunInputs& in, bool fold, bool rotate, Shape shape, float* left, float* right, int n,
                        Alongside alongside) noexcept
{
    auto withShape = [&]<bool f, bool r, bool st>() -> Alongside
    {
        switch (shape)
        {
        case Shape::unity:
            return imageRun<Shape::unity, f, r, st, panHere>(in, left, right, n, alongside);
        case Shape::plain:
            return imageRun<Shape::plain, f, r, st, panHere>(in, left, right, n, alongside);
        case Shape::general:
            break;
        }
        return imageRun<Shape::general, f, r, st, panHere>(in, left, right, n, alongside);
    };
    const bool steady = in.ramps.bassMonoAmount.steady() && in.ramps.rotation.steady();
    if (fold && rotate)
        return steady ? withShape.template operator()<true, true, true>()
                      : withShape.template operator()<true, true, false>();
    if (fold)
        return steady ? withShape.template operator()<true, false, true>()
                      : withShape.template operator()<true, false, false>();
    if (rotate)
        return steady ? withShape.template operator()<false, true, true>()
                      : withShape.template operator()<false, true, false>();
    return withShape.template operator()<false, false, false>();
}

bool rotates(const StereoImage::Ramps& ramps) noexcept
{
    return !ramps.rotation.steady() || std::abs(ramps.rotation[0]) > 1e-05f;
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
    // A width held at exactly 1, where most instances sit, gives exactly 1 without the root.
    const bool unitWidth = ramps.width.steady() && std::equal_to<float>()(ramps.width[0], 1.0f);
    const auto norm =
        unitWidth ? derived(ramps.width, normData, [](float) { return 1.0f; })
                  : derived(ramps.width, normData, [](float w) { return 1.0f / std::sqrt((w * w + 1.0f) * 0.5f); });

    // A steady angle takes the library's sine and cosine once; a moving one the polynomials. An
    // angle the rotation leaves out needs neither.
    const auto& rotation = ramps.rotation;
    if (!rotates(ramps))
        return {norm, {}, {}};
    const auto cosT = rotation.steady() ? derived(rotation, cosData, [](float t) { return std::cos(t); })
                                        : derived(rotation, cosData, cosQuarter);
    const auto sinT = rotation.steady() ? derived(rotation, sinData, [](float t) { return std::sin(t); })
                                        : derived(rotation, sinData, sinQuarter);
    return {norm, cosT, sinT};
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
    SideFactors side;
    const Shape shape = shapeOf(sw, ramps, norm, side);
    const Pan none{};
    const RunInputs in{sw, ramps, bands, none, nullptr, nullptr, side, norm, cosT, sinT};
    imageDispatch<false>(in, fold, rotates(ramps), shape, left, right, n, NothingAlongside{});
}

void StereoImage::processTracked(const Switches& sw, const Ramps& ramps, const Pan& pan, const float* dL,
                                 const float* dR, BassMonoCrossover::Tracker& crossover,
                                 LevelReadings::Accumulator& levels, float* left, float* right, int n) noexcept
{
    float normData[maxBlock];
    float cosData[maxBlock];
    float sinData[maxBlock];
    const auto [norm, cosT, sinT] = derive(ramps, normData, cosData, sinData, n);

    SideFactors side;
    const Shape shape = shapeOf(sw, ramps, norm, side);
    const Bands none{};
    const RunInputs in{sw, ramps, none, pan, dL, dR, side, norm, cosT, sinT};
    const float k = ramps.bassMonoAmount[0];
    const bool rotate = rotates(ramps);
    if (!ramps.bassMonoAmount.steady() || k * k > 0.0f)
    {
        const auto done =
            imageDispatch<true>(in, true, rotate, shape, left, right, n, TrackFoldAndMeasure{crossover, levels});
        crossover = done.crossover;
        levels = done.levels;
    }
    else
    {
        const auto done =
            imageDispatch<true>(in, false, rotate, shape, left, right, n, TrackAndMeasure{crossover, levels});
        crossover = done.crossover;
        levels = done.levels;
    }
}
