#pragma once

#include "bivarro/processor/ChainState.h"

// One channel's all-pass phase shifter: up to eight first- or second-order stages in series, the
// last one optionally blended in by a fraction. The stage states belong to the caller.
class AllpassStages
{
public:
    // Everything one block needs, worked out once from the channel's parameters.
    struct Plan
    {
        bool secondOrder = false;
        int whole = 0;        // stages that run fully
        bool useFrac = false; // stage number `whole` runs and is blended in
        float frac = 0.0f;
        float a = 0.0f;  // first-order coefficient
        float c0 = 0.0f; // second-order coefficients
        float c1 = 0.0f;

        bool runsAnyStage() const noexcept { return whole > 0 || useFrac; }
    };

    static Plan plan(double sampleRate, float frequency, float phaseDegrees, float q, bool secondOrder) noexcept;

    // One channel: its plan, its stage states and its samples.
    struct Channel
    {
        const Plan& plan;
        Allpass1States& first;
        Allpass2States& second;
        float* x;
    };

    // Runs each channel's planned stages over its samples in place; stages that do not run keep
    // their state.
    static void process(const Channel& left, const Channel& right, int n) noexcept;

    // Zeroes every stage whose state is no longer finite; true when one was.
    static bool clearNonFinite(Allpass1States& first, Allpass2States& second) noexcept;
};
