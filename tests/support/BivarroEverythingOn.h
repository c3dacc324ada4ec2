#pragma once

#include <utility>
#include <vector>

// Parameter IDs and values in their own units, applied in order.
using ParamValues = std::vector<std::pair<const char*, float>>;

// Bivarro with every stage of its chain away from its default: second-order all-passes, gains, pans,
// delays, bass mono, width, asymmetry, rotation, mid and side gains and trim. The mono sum and the
// mutes stay off, since they would hide the stages before them.
inline const ParamValues& bivarroEverythingOn()
{
    static const ParamValues values = {
        {"apOrder2L", 1},      {"apOrder2R", 1},      {"apPhaseL", 180}, {"apPhaseR", 135}, {"apFcL", 400},
        {"apFcR", 2500},       {"apQL", 0.7f},        {"apQR", 3},       {"panL", 20},      {"panR", -30},
        {"monoMakerInt", 100}, {"width", 150},        {"asymmetry", 25}, {"rotation", 30},  {"midGain", -3},
        {"sideGain", 4.5f},    {"trimOut", -2},       {"gainL", -1},     {"gainR", 2},      {"delayL", 7.5f},
        {"delayR", 12.25f},    {"monoMakerFreq", 200}};
    return values;
}

// The values followed by more.
inline ParamValues withAlso(ParamValues values, const ParamValues& more)
{
    values.insert(values.end(), more.begin(), more.end());
    return values;
}
