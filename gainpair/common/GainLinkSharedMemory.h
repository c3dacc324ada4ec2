#pragma once

#include "gainpair/common/GainLinkBlock.h"
#include "gainpair/common/GainLinkEnvironment.h"

#include <juce_core/juce_core.h>

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

// One process's handle on the shared-memory object of one link ID: Ovrel opens it as writer, Undrel
// as reader. Opening and closing happen on one thread (the message thread), which may use getBlock()
// directly. The audio thread reaches the mapping through an AudioAccess, any other thread through a
// ScopedAccess; close() unmaps a block only once no access can still hold it.
class GainLinkSharedMemory
{
public:
    // Whose handle it is, as the other mappings see it: a writer mapping always counts as an Ovrel.
    enum class Holder
    {
        undrel,
        ovrel
    };

    explicit GainLinkSharedMemory(GainLinkEnvironment environment = GainLinkEnvironment::standard(),
                                  Holder holder = Holder::undrel);
    ~GainLinkSharedMemory();

    // Maps the object of linkId, creating it when it does not exist; only the call that creates the
    // object initialises it (with gainDb and bypass). On failure the handle is closed.
    void initAsWriter(int linkId, float gainDb, bool bypass);

    // Maps the existing object of linkId once it has its full size; never creates, sizes or stamps it.
    bool initAsReader(int linkId);

    // Unmaps. A writer also removes the object's name, but only while the name still refers to this
    // handle's object, no other live mapping stands in the block (from whatever process or home
    // folder) and no live Ovrel lock file remains on the link ID (delete the own lock file first), so
    // that every other instance stays reachable under the name.
    void close();

    // True while mapped and the name now refers to an object other than the mapped one: the writer that
    // created it has removed the name and a later writer created a new object under it.
    bool nameRefersToAnotherObject() const;

    // True while mapped and the name no longer refers to the mapped object (removed, or another one).
    bool nameLost() const;

    // Timer: restamps this mapping's presence in the block (or takes a slot when it has none), so
    // that other mappings count it and no writer removes the name under it.
    void keepPresence();

    // Live Ovrel mappings of the object, this one included; 0 while closed.
    int countLiveOvrels() const;

    // Master claims made through the block: the tag goes in before the letter, so that an instance
    // of another home folder with the same letter is not taken for the master.
    void claimMaster(char letter);
    // Clears the claim (letter and tag).
    void resignMaster();
    // Who made the master claim the block holds: this handle, another live mapping, or unknown (no
    // claim, its maker is gone, or a build that writes no tag made it: the letter decides then).
    enum class Claimant
    {
        unknown,
        thisHandle,
        another
    };
    Claimant masterClaimant() const;

    GainLinkBlock* getBlock() const noexcept { return blockOf(mapping.load(std::memory_order_relaxed)); }
    bool isWriterMapping() const noexcept { return isWriterOf(mapping.load(std::memory_order_relaxed)); }
    int getMappedLinkId() const noexcept { return mappedLinkId; }
    // The last object mapped successfully; kept after closing.
    const std::string& getObjectName() const noexcept { return objectName; }
    const GainLinkEnvironment& getEnvironment() const noexcept { return env; }

    // Unmaps the mappings that close() set aside once no audio block can hold them any more. Runs
    // with every open and close; the processors' timers call it too, so that the last one goes soon.
    void releaseRetiredMappings();
    // Mappings closed but not yet unmapped, waiting for the audio thread to finish a block.
    int getNumRetiredMappings() const noexcept { return static_cast<int>(retired.size()); }

    // The audio thread's hold on the current mapping, if any, for its lifetime (one block): no lock,
    // no read-modify-write, no allocation, no system call. Only one thread may hold one at a time
    // (the host's processing calls, one after another); any other thread uses a ScopedAccess.
    // It notes the mapping generation it saw, and on leaving stores that generation: once a block
    // that saw a newer generation has ended, no block can still hold an older mapping.
    class AudioAccess
    {
    public:
        explicit AudioAccess(const GainLinkSharedMemory& handle) noexcept
            : owner(handle), generation(handle.generation.load(std::memory_order_acquire)),
              published(handle.mapping.load(std::memory_order_acquire))
        {
        }

        ~AudioAccess() { owner.audioDoneGeneration.store(generation, std::memory_order_release); }

        GainLinkBlock* block() const noexcept { return blockOf(published); }
        bool isWriter() const noexcept { return isWriterOf(published); }

    private:
        const GainLinkSharedMemory& owner;
        const std::uint32_t generation;
        const std::uintptr_t published;

        JUCE_DECLARE_NON_COPYABLE(AudioAccess)
        JUCE_DECLARE_NON_MOVEABLE(AudioAccess)
    };

    // Holds the current mapping, if any, for its lifetime, from any thread: no lock, no allocation,
    // no system call, but two read-modify-writes. Keep it short and never close the handle on the
    // thread that holds one.
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
    // The block's address with the writer flag in its lowest bit (a mapping starts on a page), so
    // that an access reads both in one load and never pairs a block with another mapping's role.
    static constexpr std::uintptr_t writerBit = 1;
    static GainLinkBlock* blockOf(std::uintptr_t published) noexcept
    {
        return reinterpret_cast<GainLinkBlock*>(published & ~writerBit);
    }
    static bool isWriterOf(std::uintptr_t published) noexcept { return (published & writerBit) != 0; }

    std::atomic<std::uintptr_t> mapping{0};
    int mappedLinkId = -1;
    std::string objectName;
    int fd = -1;

    GainLinkEnvironment env;
    Holder holder;

    // This handle's presence: its tag (made once) and the slot it keeps while mapped.
    const std::uint32_t presenceBase;
    std::uint32_t presenceTag = 0;
    int presenceSlot = -1;
    std::uint64_t presenceValue = 0;

    // Accesses count themselves in the slot of the epoch they saw; a close moves the epoch on and
    // waits for each slot to empty once, so new accesses never hold it up.
    mutable std::atomic<unsigned> accessEpoch{0};
    mutable std::atomic<int> accessCount[2]{};

    // Moves on with every change of mapping; the audio thread stores the one its last block saw.
    std::atomic<std::uint32_t> generation{0};
    mutable std::atomic<std::uint32_t> audioDoneGeneration{0};

    // A closed mapping stays until the audio thread has ended a block that saw a generation at least
    // this one; the destructor unmaps the rest (no block runs then).
    struct RetiredMapping
    {
        GainLinkBlock* block;
        std::uint32_t unmapFrom;
    };
    std::vector<RetiredMapping> retired;

    void publishMapping(GainLinkBlock* mappedBlock, int descriptor, const std::string& name, bool writer, int linkId);
    void waitForAccessesToEnd() const;
    void unmapAllRetired();
    bool otherOvrelInstancesLive() const;
    void openAsWriter(int linkId, float gainDb, bool bypass);
    bool openAsReader(int linkId);
    void takePresence(GainLinkBlock& block, bool writer);
    void claimSlot(GainLinkBlock& block, std::int64_t nowMs);
    void dropPresence(GainLinkBlock& block);
    static bool othersPresent(const GainLinkBlock& block, std::int64_t nowMs);

    JUCE_DECLARE_NON_COPYABLE(GainLinkSharedMemory)
    JUCE_DECLARE_NON_MOVEABLE(GainLinkSharedMemory)
};
