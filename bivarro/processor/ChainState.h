#pragma once

#include <array>
#include <cstdint>
#include <cstring>
#include <type_traits>

// Plain per-stage states of the stereo chain. Only the audio thread touches them while audio
// runs; prepareToPlay clears them.
struct AllpassStage1
{
    using Value = float;
    float x1 = 0.0f;
    float y1 = 0.0f;
};

// In double: at the lowest frequencies the poles sit closer to the unit circle than a float step,
// and a float recursion either leaves one outside or amplifies its rounding far beyond the signal.
struct AllpassStage2
{
    using Value = double;
    double x1 = 0.0;
    double x2 = 0.0;
    double y1 = 0.0;
    double y2 = 0.0;
};

struct BiquadState
{
    using Value = float;
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

// Zeroes every stage of `states` that holds a value that is not finite; true when one did. The
// first pass only looks, without branches: it runs once per block and nearly always finds nothing.
// Only the first `count` stages are looked at.
template <typename States> bool clearNonFiniteStages(States& states, size_t count) noexcept
{
    using Stage = typename States::value_type;
    using Value = typename Stage::Value;
    static_assert(sizeof(Value) == 4 || sizeof(Value) == 8);
    using Bits = std::conditional_t<sizeof(Value) == 4, std::uint32_t, std::uint64_t>;
    // All exponent bits set: inf or NaN.
    constexpr Bits exponent = sizeof(Value) == 4 ? Bits(0x7f800000u) : Bits(0x7ff0000000000000ull);
    constexpr size_t perStage = sizeof(Stage) / sizeof(Value);
    static_assert(sizeof(Stage) == perStage * sizeof(Value));

    auto nonFinite = [](const Stage& st)
    {
        Bits bits[perStage];
        std::memcpy(bits, &st, sizeof st);
        bool any = false;
        for (auto b : bits)
            any |= (b & exponent) == exponent;
        return any;
    };

    bool any = false;
    for (size_t i = 0; i < count; ++i)
        any |= nonFinite(states[i]);
    if (!any)
        return false;

    for (size_t i = 0; i < count; ++i)
        if (nonFinite(states[i]))
            states[i] = {};
    return true;
}

template <typename States> bool clearNonFiniteStages(States& states) noexcept
{
    return clearNonFiniteStages(states, states.size());
}
