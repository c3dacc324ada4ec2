#pragma once

#include "support/GainPairTest.h"
#include "support/OvrelStandIn.h"
#include "support/ParamHelpers.h"

#include "gainpair/undrel/UndrelAudioProcessor.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

using UndrelTest = GainPairTest<UndrelAudioProcessor>;

inline float dbOf(float linear)
{
    return 20.0f * std::log10(linear);
}

// The gain in dB a block of constant input 1 ends on.
inline float settledDb(UndrelAudioProcessor& proc, int numSamples = 512)
{
    const auto out = runBlock(proc, numSamples);
    return dbOf(out.getSample(0, numSamples - 1));
}
