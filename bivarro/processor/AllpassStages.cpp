#include "bivarro/processor/AllpassStages.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace
{
// One channel's plan, stage states and samples.
struct Channel
{
    const AllpassStages::Plan& plan;
    Allpass1States& first;
    Allpass2States& second;
    float* x;
};

// One stage's recursion with its state held in locals while a run lasts; store() writes it back.
class FirstOrder
{
public:
    FirstOrder(AllpassStage1& s, float coeff) noexcept : st(s), a(coeff), x1(s.x1), y1(s.y1) {}

    // y = a x + x1 - a y1
    float tick(float x) noexcept
    {
        const float y = a * x + x1 - a * y1;
        x1 = x;
        y1 = y;
        return y;
    }

    void store() noexcept { st = {x1, y1}; }

private:
    AllpassStage1& st;
    float a, x1, y1;
};

class SecondOrder
{
public:
    SecondOrder(AllpassStage2& s, double coeff0, double coeff1) noexcept
        : st(s), c0(coeff0), c1(coeff1), x1(s.x1), x2(s.x2), y1(s.y1), y2(s.y2)
    {
    }

    // y = c0 x + c1 x1 + x2 - c1 y1 - c0 y2
    float tick(float in) noexcept
    {
        const double x = in;
        const double y = c0 * x + c1 * x1 + x2 - c1 * y1 - c0 * y2;
        x2 = x1;
        x1 = x;
        y2 = y1;
        y1 = y;
        return static_cast<float>(y);
    }

    void store() noexcept { st = {x1, x2, y1, y2}; }

private:
    AllpassStage2& st;
    double c0, c1, x1, x2, y1, y2;
};

// The fractional stage blends its output with its input: frac y + (1 - frac) x.
template <typename Stage> void runBlended(Stage stage, float frac, float* x, int n) noexcept
{
    const float rest = 1.0f - frac;
    for (int i = 0; i < n; ++i)
        x[i] = frac * stage.tick(x[i]) + rest * x[i];
    stage.store();
}

template <typename Stage> void run(Stage stage, float* x, int n) noexcept
{
    for (int i = 0; i < n; ++i)
        x[i] = stage.tick(x[i]);
    stage.store();
}

// Two channels' stages in one loop: each recursion waits on its own last output, so two of
// them side by side take about the time of one.
template <typename Stage> void runPair(Stage left, float* xL, Stage right, float* xR, int n) noexcept
{
    for (int i = 0; i < n; ++i)
    {
        xL[i] = left.tick(xL[i]);
        xR[i] = right.tick(xR[i]);
    }
    left.store();
    right.store();
}

// Two second-order stages in the two halves of one register: the same operations, in the same
// order, as two SecondOrder ticks.
void runSecondOrderPair(const Channel& left, const Channel& right, size_t s, int n) noexcept
{
    using Pair = double __attribute__((vector_size(16)));
    AllpassStage2& l = left.second[s];
    AllpassStage2& r = right.second[s];
    const Pair c0{left.plan.c0, right.plan.c0};
    const Pair c1{left.plan.c1, right.plan.c1};
    Pair x1{l.x1, r.x1}, x2{l.x2, r.x2}, y1{l.y1, r.y1}, y2{l.y2, r.y2};
    float* const xL = left.x;
    float* const xR = right.x;
    for (int i = 0; i < n; ++i)
    {
        const Pair x{xL[i], xR[i]};
        const Pair y = c0 * x + c1 * x1 + x2 - c1 * y1 - c0 * y2;
        x2 = x1;
        x1 = x;
        y2 = y1;
        y1 = y;
        xL[i] = static_cast<float>(y[0]);
        xR[i] = static_cast<float>(y[1]);
    }
    l = {x1[0], x2[0], y1[0], y2[0]};
    r = {x1[1], x2[1], y1[1], y2[1]};
}

FirstOrder firstOrder(const Channel& c, size_t s) noexcept
{
    return {c.first[s], c.plan.a};
}

SecondOrder secondOrder(const Channel& c, size_t s) noexcept
{
    return {c.second[s], c.plan.c0, c.plan.c1};
}

// Runs a channel's stages from stage `from` on.
void runFrom(const Channel& c, size_t from, int n) noexcept
{
    const auto& plan = c.plan;
    const auto last = static_cast<size_t>(plan.whole);
    for (size_t s = from; s < last; ++s)
    {
        if (plan.secondOrder)
            run(secondOrder(c, s), c.x, n);
        else
            run(firstOrder(c, s), c.x, n);
    }
    if (plan.useFrac && plan.secondOrder)
        runBlended(secondOrder(c, last), plan.frac, c.x, n);
    else if (plan.useFrac)
        runBlended(firstOrder(c, last), plan.frac, c.x, n);
}

} // namespace

void AllpassStages::prepare(double newSampleRate) noexcept
{
    sampleRate = newSampleRate;
    reset();
}

void AllpassStages::reset() noexcept
{
    allpass1State = {};
    allpass2State = {};
}

void AllpassStages::setParameters(float frequency, float phaseDegrees, float q, bool secondOrder) noexcept
{
    Plan p;
    p.secondOrder = secondOrder;
    const float amount =
        std::clamp(phaseDegrees / (secondOrder ? 180.0f : 90.0f), 0.0f, static_cast<float>(kAllpassStages));
    p.whole = static_cast<int>(amount);
    p.frac = amount - static_cast<float>(p.whole);
    p.useFrac = p.whole < kAllpassStages && p.frac > 0.001f;

    // The coefficients cost a few trigonometric calls; skip them when no stage uses them.
    if (p.runsAnyStage())
    {
        const double fc = std::clamp(static_cast<double>(frequency), 0.5, 0.499 * sampleRate);
        if (secondOrder)
        {
            const double w0 = 2.0 * std::numbers::pi * fc / sampleRate;
            const double qc = std::clamp(static_cast<double>(q), 0.1, 100.0);
            const double alpha = std::sin(w0) / (2.0 * qc);
            p.c0 = (1.0 - alpha) / (1.0 + alpha);
            p.c1 = -2.0 * std::cos(w0) / (1.0 + alpha);
        }
        else
        {
            const double t = std::tan(std::numbers::pi * fc / sampleRate);
            p.a = static_cast<float>((t - 1.0) / (t + 1.0));
        }
    }
    plan = p;
}

void AllpassStages::process(float* x, int n) noexcept
{
    runFrom({plan, allpass1State, allpass2State, x}, 0, n);
}

void AllpassStages::processPair(AllpassStages& leftStages, float* xL, AllpassStages& rightStages, float* xR,
                                int n) noexcept
{
    const Channel left{leftStages.plan, leftStages.allpass1State, leftStages.allpass2State, xL};
    const Channel right{rightStages.plan, rightStages.allpass1State, rightStages.allpass2State, xR};

    const bool sameOrder = left.plan.secondOrder == right.plan.secondOrder;
    const auto shared = static_cast<size_t>(sameOrder ? std::min(left.plan.whole, right.plan.whole) : 0);
    for (size_t s = 0; s < shared; ++s)
    {
        if (left.plan.secondOrder)
            runSecondOrderPair(left, right, s, n);
        else
            runPair(firstOrder(left, s), left.x, firstOrder(right, s), right.x, n);
    }
    runFrom(left, shared, n);
    runFrom(right, shared, n);
}

bool AllpassStages::clearNonFinite() noexcept
{
    // Only the stages this plan ran can have taken such a value: the others were looked at when
    // they last ran.
    const auto used = static_cast<size_t>(plan.whole + (plan.useFrac ? 1 : 0));
    return plan.secondOrder ? clearNonFiniteStages(allpass2State, used) : clearNonFiniteStages(allpass1State, used);
}
