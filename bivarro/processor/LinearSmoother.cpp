#include "bivarro/processor/LinearSmoother.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>

namespace
{
bool withinTolerance(float a, float b) noexcept
{
    const float diff = std::abs(a - b);
    return std::equal_to<float>()(a, b) || diff < std::numeric_limits<float>::min() ||
           diff <= std::numeric_limits<float>::epsilon() * std::max(std::abs(a), std::abs(b));
}
} // namespace

void LinearSmoother::reset(int numSteps) noexcept
{
    stepsToTarget = numSteps;
    setCurrentAndTargetValue(target);
}

void LinearSmoother::setTargetValue(float newValue) noexcept
{
    if (withinTolerance(newValue, target))
        return;

    if (stepsToTarget <= 0)
    {
        setCurrentAndTargetValue(newValue);
        return;
    }

    target = newValue;
    countdown = stepsToTarget;
    step = (target - current) / static_cast<float>(countdown);
}

void LinearSmoother::fill(float* dest, int n) noexcept
{
    int k = 0;
    if (countdown > 0)
    {
        const int steps = std::min(n, countdown - 1);
        float c = current;
        const float s = step;
        for (; k < steps; ++k)
        {
            c += s;
            dest[k] = c;
        }
        current = c;
        countdown -= steps;

        // One step is left: it lands on the target exactly.
        if (k < n)
        {
            countdown = 0;
            current = target;
            dest[k++] = target;
        }
    }
    std::fill(dest + k, dest + n, target);
}

namespace
{
// N independent ramps in one loop, so their chains of additions overlap.
template <size_t N> void rampTogether(float* current, const float* step, float* const* dest, int steps) noexcept
{
    float c[N];
    float s[N];
    for (size_t j = 0; j < N; ++j)
    {
        c[j] = current[j];
        s[j] = step[j];
    }
    for (int k = 0; k < steps; ++k)
        for (size_t j = 0; j < N; ++j)
        {
            c[j] += s[j];
            dest[j][k] = c[j];
        }
    for (size_t j = 0; j < N; ++j)
        current[j] = c[j];
}
} // namespace

void LinearSmoother::fillAll(LinearSmoother* const* smoothers, float* const* dests, RampValues* values, int count,
                             int n) noexcept
{
    constexpr int group = 4;
    for (int first = 0; first < count;)
    {
        LinearSmoother* g[group];
        float* d[group];
        int size = 0;
        for (; first < count && size < group; ++first)
        {
            if (smoothers[first]->isSmoothing())
            {
                g[size] = smoothers[first];
                d[size++] = dests[first];
                values[first] = {dests[first], -1};
            }
            else
            {
                std::fill(dests[first], dests[first] + 4, smoothers[first]->target);
                values[first] = {dests[first], 0};
            }
        }

        // Steps all ramps of the group take before the first of them ends.
        int steps = n;
        float current[group];
        float step[group];
        for (int j = 0; j < size; ++j)
        {
            steps = std::min(steps, g[j]->countdown - 1);
            current[j] = g[j]->current;
            step[j] = g[j]->step;
        }

        switch (size)
        {
        case 4:
            rampTogether<4>(current, step, d, steps);
            break;
        case 3:
            rampTogether<3>(current, step, d, steps);
            break;
        case 2:
            rampTogether<2>(current, step, d, steps);
            break;
        default:
            steps = 0;
            break;
        }

        for (int j = 0; j < size; ++j)
        {
            g[j]->current = current[j];
            g[j]->countdown -= steps;
            g[j]->fill(d[j] + steps, n - steps);
        }
    }
}
