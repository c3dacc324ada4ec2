#pragma once

#include "gainpair/common/GainLinkBlock.h"
#include "gainpair/common/GainLinkEnvironment.h"

#include <juce_core/juce_core.h>

#include <atomic>
#include <string>

// One process's handle on the shared-memory object of one link ID: Ovrel opens it as writer, Undrel
// as reader. Opening and closing happen on one thread (the message thread), which may use getBlock()
// directly; any other thread (the audio thread) reaches the mapping only through a ScopedAccess, and
// close() unmaps a block only after every access that could still hold it has ended.
class GainLinkSharedMemory
{
public:
    explicit GainLinkSharedMemory(GainLinkEnvironment environment = GainLinkEnvironment::standard());
    ~GainLinkSharedMemory();

    // Maps the object of linkId, creating it when it does not exist; only the call that creates the
    // object initialises it (with gainDb and bypass). On failure the handle is closed.
    void initAsWriter(int linkId, float gainDb, bool bypass);

    // Maps the existing object of linkId once it has its full size; never creates, sizes or stamps it.
    bool initAsReader(int linkId);

    // Unmaps. A writer also removes the object's name, but only while the name still refers to this
    // handle's object and no live Ovrel lock file remains on the link ID (delete the own lock file
    // first), so that other writers stay reachable under the name.
    void close();

    // True while mapped and the name now refers to an object other than the mapped one: the writer that
    // created it has removed the name and a later writer created a new object under it.
    bool nameRefersToAnotherObject() const;

    GainLinkBlock* getBlock() const noexcept { return block.load(std::memory_order_relaxed); }
    bool isWriterMapping() const noexcept { return isWriter.load(std::memory_order_relaxed); }
    int getMappedLinkId() const noexcept { return mappedLinkId; }
    // The last object mapped successfully; kept after closing.
    const std::string& getObjectName() const noexcept { return objectName; }
    const GainLinkEnvironment& getEnvironment() const noexcept { return env; }

    // Holds the current mapping, if any, for its lifetime: no lock, no allocation, no system call.
    // Keep it short (one audio block) and never close the handle on the thread that holds one.
    class ScopedAccess
    {
    public:
        explicit ScopedAccess(const GainLinkSharedMemory& handle) noexcept;
        ~ScopedAccess();

        GainLinkBlock* block() const noexcept { return mapped; }
        bool isWriter() const noexcept { return writer; }

    private:
        const GainLinkSharedMemory& owner;
        unsigned slot = 0;
        GainLinkBlock* mapped = nullptr;
        bool writer = false;

        JUCE_DECLARE_NON_COPYABLE(ScopedAccess)
        JUCE_DECLARE_NON_MOVEABLE(ScopedAccess)
    };

private:
    std::atomic<GainLinkBlock*> block{nullptr};
    std::atomic<bool> isWriter{false};
    int mappedLinkId = -1;
    std::string objectName;
    int fd = -1;

    GainLinkEnvironment env;

    // Accesses count themselves in the slot of the epoch they saw; a close moves the epoch on and
    // waits for each slot to empty once, so new accesses never hold it up.
    mutable std::atomic<unsigned> accessEpoch{0};
    mutable std::atomic<int> accessCount[2]{};

    void publishMapping(GainLinkBlock* mappedBlock, int descriptor, const std::string& name, bool writer, int linkId);
    void waitForAccessesToEnd() const;
    bool otherOvrelInstancesLive() const;

    JUCE_DECLARE_NON_COPYABLE(GainLinkSharedMemory)
    JUCE_DECLARE_NON_MOVEABLE(GainLinkSharedMemory)
};
