#pragma once

#include "gainpair/common/GainLinkBlock.h"
#include "gainpair/common/GainLinkEnvironment.h"
#include "gainpair/common/GainLinkLockFiles.h"
#include "gainpair/common/GainLinkSharedMemory.h"

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
