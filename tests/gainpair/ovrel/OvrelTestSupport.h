#pragma once

#include "support/GainPairTest.h"
#include "support/ParamHelpers.h"

#include "gainpair/ovrel/OvrelAudioProcessor.h"

#include <gtest/gtest.h>

#include <memory>

using OvrelTest = GainPairTest<OvrelAudioProcessor>;

inline LinkRole roleOf(const OvrelAudioProcessor& proc)
{
    return static_cast<LinkRole>(proc.linkRole.load());
}

inline void tick(OvrelAudioProcessor& proc, int times = 1)
{
    for (int i = 0; i < times; ++i)
        proc.timerCallback();
}
