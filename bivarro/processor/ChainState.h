#pragma once

#include <array>

// Plain per-stage states of the stereo chain. Only the audio thread touches them while audio
// runs; prepareToPlay clears them.
struct AllpassStage1
{
    float x1 = 0.0f;
    float y1 = 0.0f;
};

struct AllpassStage2
{
    float x1 = 0.0f;
    float x2 = 0.0f;
    float y1 = 0.0f;
    float y2 = 0.0f;
};

struct BiquadState
{
    float s1 = 0.0f;
    float s2 = 0.0f;
};

struct BiquadCoeffs
{
    float b0 = 1.0f;
    float b1 = 0.0f;
    float b2 = 0.0f;
    float a1 = 0.0f;
    float a2 = 0.0f;
};

inline constexpr int kAllpassStages = 8;

using Allpass1States = std::array<AllpassStage1, kAllpassStages>;
using Allpass2States = std::array<AllpassStage2, kAllpassStages>;

// Low-pass L stage 1, 2, low-pass R stage 1, 2, then high-pass L 1, 2, high-pass R 1, 2.
using CrossoverStates = std::array<BiquadState, 8>;
