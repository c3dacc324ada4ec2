#pragma once

#include <utility>
#include <vector>

// Parameter settings the processing benchmarks share: raw values by parameter ID.
namespace BivarroBenchSettings
{
using Settings = std::vector<std::pair<const char*, float>>;

// Every stage of the chain doing work: two second-order all-pass stages per channel, delays, pan,
// full bass mono, width, asymmetry, rotation and every gain away from unity.
inline const Settings allActive = {
    {"apOrder2L", 1.0f},      {"apOrder2R", 1.0f},      {"apPhaseL", 180.0f}, {"apPhaseR", 180.0f}, {"apFcL", 400.0f},
    {"apFcR", 2500.0f},       {"apQL", 0.7f},           {"apQR", 3.0f},       {"panL", 20.0f},      {"panR", -30.0f},
    {"monoMakerInt", 100.0f}, {"width", 150.0f},        {"asymmetry", 25.0f}, {"rotation", 30.0f},  {"midGain", -3.0f},
    {"sideGain", 4.5f},       {"trimOut", -2.0f},       {"gainL", -1.0f},     {"gainR", 2.0f},      {"delayL", 7.5f},
    {"delayR", 12.25f},       {"monoMakerFreq", 200.0f}};
} // namespace BivarroBenchSettings
