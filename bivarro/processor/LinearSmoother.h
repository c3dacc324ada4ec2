#pragma once

#include "bivarro/processor/RampValues.h"

// A value that ramps linearly to its target over a fixed number of steps, one step per sample.
// Same members and rules as the framework's linear smoothed value, with one difference kept on
// purpose: a new target counts as unchanged only when it lies within float tolerance of the old
// one (relative epsilon, or an absolute difference below the smallest normal float).
class LinearSmoother
{
public:
    // Sets the ramp length in steps and snaps the value to the current target.
    void reset(int numSteps) noexcept;

    // Starts a ramp from the current value, or jumps when the ramp length is 0 or less. A target
    // equal to the current one within tolerance leaves a running ramp alone.
    void setTargetValue(float newValue) noexcept;

    void setCurrentAndTargetValue(float newValue) noexcept
    {
        target = current = newValue;
        countdown = 0;
    }

    float getNextValue() noexcept
    {
        if (countdown <= 0)
            return target;
        if (--countdown > 0)
            current += step;
        else
            current = target;
        return current;
    }

    // The next n values, exactly as n calls of getNextValue would return them.
    void fill(float* dest, int n) noexcept;

    // The next n values of several smoothers at once: ramps in motion are filled in as fill()
    // does, side by side rather than one after the other (each is a chain of dependent
    // additions); a steady smoother gets its value in the first four places of its destination
    // only. values[k] tells the consumer which.
    static void fillAll(LinearSmoother* const* smoothers, float* const* dests, RampValues* values, int count,
                        int n) noexcept;

    bool isSmoothing() const noexcept { return countdown > 0; }
    float getCurrentValue() const noexcept { return current; }
    float getTargetValue() const noexcept { return target; }

private:
    float current = 0.0f;
    float target = 0.0f;
    int countdown = 0;
    float step = 0.0f;
    int stepsToTarget = 0;
};
