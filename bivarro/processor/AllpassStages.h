#pragma once

#include "bivarro/processor/ChainState.h"

// One channel's all-pass phase shifter: up to eight first- or second-order stages in series, the
// last one optionally blended in by a fraction. Stages that do not run keep their state, so a
// stage that comes back into use continues from where it stopped.
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
        double c0 = 0.0; // second-order coefficients
        double c1 = 0.0;

        bool runsAnyStage() const noexcept { return whole > 0 || useFrac; }
    };

    void prepare(double sampleRate) noexcept;

    // Zeroes every stage.
    void reset() noexcept;

    // Plans the stages for the next samples: the phase amount is 90 degrees per first-order stage
    // or 180 per second-order one.
    void setParameters(float frequency, float phaseDegrees, float q, bool secondOrder) noexcept;

    void process(float* x, int n) noexcept;

    // Both channels of the pair at once: stages that both run in full go side by side.
    static void processPair(AllpassStages& left, float* xL, AllpassStages& right, float* xR, int n) noexcept;

    // Zeroes every stage of the current plan whose state is no longer finite; true when one was.
    bool clearNonFinite() noexcept;

    const Plan& currentPlan() const noexcept { return plan; }
    const Allpass1States& firstOrderStates() const noexcept { return allpass1State; }
    const Allpass2States& secondOrderStates() const noexcept { return allpass2State; }

private:
    double sampleRate = 44100.0;
    Plan plan;
    Allpass1States allpass1State{};
    Allpass2States allpass2State{};
};
