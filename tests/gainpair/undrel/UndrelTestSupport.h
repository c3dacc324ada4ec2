#pragma once

#include "support/GainPairTest.h"
#include "support/ParamHelpers.h"

#include "gainpair/common/GainLinkLockFiles.h"
#include "gainpair/common/GainLinkSharedMemory.h"
#include "gainpair/undrel/UndrelAudioProcessor.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

// The Ovrel side of a link ID as Undrel meets it: a writer mapping that publishes gain and bypass,
// and a live Ovrel lock file. The real Ovrel cannot be linked beside Undrel in one executable.
class OvrelStandIn
{
public:
    OvrelStandIn(const GainLinkEnvironment& env, int linkId, float gainDb, bool bypass = false)
        : link(env), lockFile(GainLinkLockFiles(env).getLockFile(linkId, GainLinkLockFiles::Owner::ovrel,
                                                                 GainLinkLockFiles::makeInstanceToken()))
    {
        GainLinkLockFiles::writeLockFile(lockFile, GainLinkLockFiles::ovrelText(GainLinkBlock::wallClockMs(), 'A'),
                                         true);
        link.initAsWriter(linkId, gainDb, bypass);
        publish(gainDb, bypass);
    }

    // As Ovrel's destructor: the block is left inactive and the name removed.
    ~OvrelStandIn()
    {
        if (auto* b = link.getBlock())
            b->writerActive.store(0, std::memory_order_release);
        GainLinkLockFiles::deleteLockFile(lockFile);
    }

    void publish(float gainDb, bool bypass = false) { block().publish(gainDb, bypass, GainLinkBlock::wallClockMs()); }

    GainLinkBlock& block() const { return *link.getBlock(); }
    float compensation() const { return block().compensationDb.load(std::memory_order_acquire); }

    GainLinkSharedMemory link;
    juce::File lockFile;
};

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
