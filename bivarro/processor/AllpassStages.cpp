#include "bivarro/processor/AllpassStages.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace
{
// y = a x + x1 - a y1. The fractional stage blends its output with its input:
// frac y + (1 - frac) x.
template <bool blended> void runFirstOrder(AllpassStage1& st, float a, float frac, float* x, int n) noexcept
{
    const float rest = 1.0f - frac;
    float x1 = st.x1;
    float y1 = st.y1;
    for (int i = 0; i < n; ++i)
    {
        const float in = x[i];
        const float y = a * in + x1 - a * y1;
        x1 = in;
        y1 = y;
        x[i] = blended ? frac * y + rest * in : y;
    }
    st.x1 = x1;
    st.y1 = y1;
}

// y = c0 x + c1 x1 + x2 - c1 y1 - c0 y2
template <bool blended> void runSecondOrder(AllpassStage2& st, float c0, float c1, float frac, float* x, int n) noexcept
{
    const float rest = 1.0f - frac;
    float x1 = st.x1;
    float x2 = st.x2;
    float y1 = st.y1;
    float y2 = st.y2;
    for (int i = 0; i < n; ++i)
    {
        const float in = x[i];
        const float y = c0 * in + c1 * x1 + x2 - c1 * y1 - c0 * y2;
        x2 = x1;
        x1 = in;
        y2 = y1;
        y1 = y;
        x[i] = blended ? frac * y + rest * in : y;
    }
    st.x1 = x1;
    st.x2 = x2;
    st.y1 = y1;
    st.y2 = y2;
}

template <typename Stage> bool isFinite(const Stage& st) noexcept
{
    static_assert(sizeof(Stage) % sizeof(float) == 0);
    const auto* v = reinterpret_cast<const float*>(&st);
    for (size_t i = 0; i < sizeof(Stage) / sizeof(float); ++i)
        if (!std::isfinite(v[i]))
            return false;
    return true;
}

template <typename States> bool clearStages(States& states) noexcept
{
    bool cleared = false;
    for (auto& st : states)
        if (!isFinite(st))
        {
            st = {};
            cleared = true;
        }
    return cleared;
}
} // namespace

AllpassStages::Plan AllpassStages::plan(double sampleRate, float frequency, float phaseDegrees, float q,
                                        bool secondOrder) noexcept
{
    Plan p;
    p.secondOrder = secondOrder;
    const float amount =
        std::clamp(phaseDegrees / (secondOrder ? 180.0f : 90.0f), 0.0f, static_cast<float>(kAllpassStages));
    p.whole = static_cast<int>(amount);
    p.frac = amount - static_cast<float>(p.whole);
    p.useFrac = p.whole < kAllpassStages && p.frac > 0.001f;

    // The coefficients cost a few trigonometric calls; skip them when no stage uses them.
    if (!p.runsAnyStage())
        return p;

    const double fc = std::clamp(static_cast<double>(frequency), 0.5, 0.499 * sampleRate);
    if (secondOrder)
    {
        const double w0 = 2.0 * std::numbers::pi * fc / sampleRate;
        const double qc = std::clamp(static_cast<double>(q), 0.1, 100.0);
        const double alpha = std::sin(w0) / (2.0 * qc);
        p.c0 = static_cast<float>((1.0 - alpha) / (1.0 + alpha));
        p.c1 = static_cast<float>(-2.0 * std::cos(w0) / (1.0 + alpha));
    }
    else
    {
        const double t = std::tan(std::numbers::pi * fc / sampleRate);
        p.a = static_cast<float>((t - 1.0) / (t + 1.0));
    }
    return p;
}

void AllpassStages::process(const Plan& plan, Allpass1States& first, Allpass2States& second, float* x, int n) noexcept
{
    const auto last = static_cast<size_t>(plan.whole);
    if (plan.secondOrder)
    {
        for (size_t s = 0; s < last; ++s)
            runSecondOrder<false>(second[s], plan.c0, plan.c1, 0.0f, x, n);
        if (plan.useFrac)
            runSecondOrder<true>(second[last], plan.c0, plan.c1, plan.frac, x, n);
    }
    else
    {
        for (size_t s = 0; s < last; ++s)
            runFirstOrder<false>(first[s], plan.a, 0.0f, x, n);
        if (plan.useFrac)
            runFirstOrder<true>(first[last], plan.a, plan.frac, x, n);
    }
}

bool AllpassStages::clearNonFinite(Allpass1States& first, Allpass2States& second) noexcept
{
    const bool a = clearStages(first);
    const bool b = clearStages(second);
    return a || b;
}
