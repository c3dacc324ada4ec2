#include "gainpair/common/GainLinkSharedMemory.h"

#include "gainpair/common/GainLinkLockFiles.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace
{
constexpr auto blockBytes = GainLinkBlock::objectSize;
constexpr mode_t objectMode = 0666;

enum class NamedObject
{
    none,
    same,
    other
};

// What the name refers to now, compared with the object open on descriptor (device and inode).
NamedObject namedObjectOf(const std::string& name, int descriptor)
{
    struct stat own
    {
    };
    if (fstat(descriptor, &own) != 0)
        return NamedObject::none;

    const int probe = shm_open(name.c_str(), O_RDONLY, 0);
    if (probe == -1)
        return NamedObject::none;

    struct stat named
    {
    };
    const bool examined = fstat(probe, &named) == 0;
    ::close(probe);
    if (!examined)
        return NamedObject::none;
    return named.st_dev == own.st_dev && named.st_ino == own.st_ino ? NamedObject::same : NamedObject::other;
}

// Removes the name only while it still refers to the object open on descriptor: a handle that closes
// late must not cut off a newer object created under the same name.
void removeNameOfObject(const std::string& name, int descriptor)
{
    if (namedObjectOf(name, descriptor) == NamedObject::same)
        shm_unlink(name.c_str());
}

bool holdsWholeBlock(int descriptor)
{
    struct stat info
    {
    };
    return fstat(descriptor, &info) == 0 && info.st_size >= static_cast<off_t>(blockBytes);
}

// The pages are reserved before mapping, so a write to the block can never fault.
GainLinkBlock* mapBlock(const GainLinkEnvironment& env, int descriptor)
{
    if (env.reserveObject(descriptor, static_cast<off_t>(blockBytes)) != 0)
        return nullptr;
    void* memory = env.mapObject(nullptr, blockBytes, PROT_READ | PROT_WRITE, MAP_SHARED, descriptor, 0);
    return memory == MAP_FAILED ? nullptr : static_cast<GainLinkBlock*>(memory);
}

// Random, never 0, and clear of the bit that marks an Ovrel.
std::uint32_t makePresenceBase()
{
    const auto bits = static_cast<std::uint32_t>(juce::Random::getSystemRandom().nextInt());
    return (bits & ~GainLinkBlock::ovrelTagBit) | 1u;
}
} // namespace

GainLinkSharedMemory::GainLinkSharedMemory(GainLinkEnvironment environment, Holder h)
    : env(std::move(environment)), holder(h), presenceBase(makePresenceBase())
{
}

GainLinkSharedMemory::~GainLinkSharedMemory()
{
    close();
    unmapAllRetired();
}

void GainLinkSharedMemory::close()
{
    if (const auto old = mapping.load(std::memory_order_relaxed); old != 0)
    {
        mapping.store(0, std::memory_order_seq_cst);
        const auto next = generation.load(std::memory_order_relaxed) + 1;
        generation.store(next, std::memory_order_release);
        waitForAccessesToEnd();
        dropPresence(*blockOf(old));
        // The audio thread may be inside a block with the old mapping: it is unmapped later, once a
        // block that saw the new generation has ended. Closing the descriptor and removing the name
        // do not affect a mapping, so they happen now.
        retired.push_back({blockOf(old), next});

        if (fd != -1)
        {
            if (isWriterOf(old) && !objectName.empty() && !othersPresent(*blockOf(old), GainLinkBlock::wallClockMs()) &&
                !otherOvrelInstancesLive())
                removeNameOfObject(objectName, fd);
            ::close(fd);
            fd = -1;
        }
    }

    mappedLinkId = -1;
    releaseRetiredMappings();
}

void GainLinkSharedMemory::releaseRetiredMappings()
{
    const auto done = audioDoneGeneration.load(std::memory_order_acquire);
    // Generations wrap: the audio thread's is at least unmapFrom when the signed distance is not negative.
    const auto reached = [done](const RetiredMapping& r) { return static_cast<std::int32_t>(done - r.unmapFrom) >= 0; };
    for (const auto& r : retired)
        if (reached(r))
            munmap(r.block, blockBytes);
    retired.erase(std::remove_if(retired.begin(), retired.end(), reached), retired.end());
}

void GainLinkSharedMemory::unmapAllRetired()
{
    for (const auto& r : retired)
        munmap(r.block, blockBytes);
    retired.clear();
}

// A name that another handle removed between this one opening the object and taking its presence
// there is opened again, so that this handle does not stay on an object no one else can find.
void GainLinkSharedMemory::initAsWriter(int linkId, float gainDb, bool bypass)
{
    for (int attempt = 0; attempt < 3; ++attempt)
    {
        openAsWriter(linkId, gainDb, bypass);
        if (getBlock() == nullptr || !nameLost())
            return;
    }
}

bool GainLinkSharedMemory::initAsReader(int linkId)
{
    for (int attempt = 0; attempt < 3; ++attempt)
        if (!openAsReader(linkId) || !nameLost())
            return getBlock() != nullptr;
    return getBlock() != nullptr;
}

void GainLinkSharedMemory::openAsWriter(int linkId, float gainDb, bool bypass)
{
    close();

    const auto name = env.objectNameFor(linkId);

    // Exclusive creation decides who initialises: a writer that finds the object, even unsized,
    // leaves its contents to the one that created it. A name removed between the two opens is retried.
    int descriptor = -1;
    bool created = false;
    for (int attempt = 0; attempt < 3 && descriptor == -1; ++attempt)
    {
        descriptor = shm_open(name.c_str(), O_RDWR | O_CREAT | O_EXCL, objectMode);
        created = descriptor != -1;
        if (descriptor == -1 && errno == EEXIST)
            descriptor = shm_open(name.c_str(), O_RDWR, objectMode);
        else if (descriptor == -1)
            return;
    }
    if (descriptor == -1)
        return;

    // An object that already has its size is not sized again: some platforms refuse it.
    GainLinkBlock* mapped = nullptr;
    if (holdsWholeBlock(descriptor) || env.sizeObject(descriptor, static_cast<off_t>(blockBytes)) == 0)
        mapped = mapBlock(env, descriptor);

    if (mapped == nullptr)
    {
        // Only what this call created is removed; an object others use stays reachable.
        if (created)
            removeNameOfObject(name, descriptor);
        ::close(descriptor);
        return;
    }

    // Sizing zero-filled the new object, so the other fields already hold their initial 0; storing
    // them again could wipe what a writer that opened the object meanwhile has written.
    const auto now = GainLinkBlock::wallClockMs();
    if (created)
    {
        mapped->gainDb.store(gainDb, std::memory_order_release);
        mapped->bypass.store(bypass ? 1 : 0, std::memory_order_release);
    }

    mapped->timestampMs.store(now, std::memory_order_release);
    mapped->writerActive.store(1, std::memory_order_release);

    takePresence(*mapped, true);
    publishMapping(mapped, descriptor, name, true, linkId);
}

bool GainLinkSharedMemory::openAsReader(int linkId)
{
    close();

    const auto name = env.objectNameFor(linkId);
    const int descriptor = shm_open(name.c_str(), O_RDWR, objectMode);
    if (descriptor == -1)
        return false;

    // An object whose creator has not sized it yet would fault on first access.
    GainLinkBlock* mapped = holdsWholeBlock(descriptor) ? mapBlock(env, descriptor) : nullptr;
    if (mapped == nullptr)
    {
        ::close(descriptor);
        return false;
    }

    takePresence(*mapped, false);
    publishMapping(mapped, descriptor, name, false, linkId);
    return true;
}

bool GainLinkSharedMemory::nameRefersToAnotherObject() const
{
    return fd != -1 && namedObjectOf(objectName, fd) == NamedObject::other;
}

bool GainLinkSharedMemory::nameLost() const
{
    return fd != -1 && namedObjectOf(objectName, fd) != NamedObject::same;
}

void GainLinkSharedMemory::takePresence(GainLinkBlock& block, bool writer)
{
    presenceTag = writer || holder == Holder::ovrel ? presenceBase | GainLinkBlock::ovrelTagBit : presenceBase;
    claimSlot(block, GainLinkBlock::wallClockMs());
}

// A free or expired slot is taken with one compare-and-swap, so two mappings never share one. With
// every slot taken, the crowded stamp still keeps writers from removing the name.
void GainLinkSharedMemory::claimSlot(GainLinkBlock& block, std::int64_t nowMs)
{
    const auto mine = GainLinkBlock::slotValue(presenceTag, nowMs);
    for (int i = 0; i < GainLinkBlock::presenceSlots; ++i)
    {
        auto seen = block.presence[i].load(std::memory_order_acquire);
        if (GainLinkBlock::isLiveSlot(seen, nowMs))
            continue;
        if (block.presence[i].compare_exchange_strong(seen, mine, std::memory_order_acq_rel))
        {
            presenceSlot = i;
            presenceValue = mine;
            return;
        }
    }
    presenceSlot = -1;
    block.crowdedMs.store(std::max<std::uint32_t>(GainLinkBlock::stamp32(nowMs), 1u), std::memory_order_release);
}

void GainLinkSharedMemory::dropPresence(GainLinkBlock& block)
{
    if (presenceSlot >= 0)
    {
        auto expected = presenceValue;
        block.presence[presenceSlot].compare_exchange_strong(expected, 0, std::memory_order_acq_rel);
    }
    presenceSlot = -1;
    presenceValue = 0;
}

void GainLinkSharedMemory::keepPresence()
{
    auto* block = getBlock();
    if (block == nullptr)
        return;
    const auto now = GainLinkBlock::wallClockMs();
    if (presenceSlot >= 0)
    {
        auto expected = presenceValue;
        const auto renewed = GainLinkBlock::slotValue(presenceTag, now);
        if (block->presence[presenceSlot].compare_exchange_strong(expected, renewed, std::memory_order_acq_rel))
        {
            presenceValue = renewed;
            return;
        }
    }
    // The slot expired (the message thread stalled) and went to another mapping, or there was none.
    claimSlot(*block, now);
}

bool GainLinkSharedMemory::othersPresent(const GainLinkBlock& block, std::int64_t nowMs)
{
    // Called after this handle has dropped its own slot.
    for (const auto& slot : block.presence)
        if (GainLinkBlock::isLiveSlot(slot.load(std::memory_order_acquire), nowMs))
            return true;
    return GainLinkBlock::isFreshStamp(block.crowdedMs.load(std::memory_order_acquire), nowMs);
}

int GainLinkSharedMemory::countLiveOvrels() const
{
    const auto* block = getBlock();
    if (block == nullptr)
        return 0;
    const auto now = GainLinkBlock::wallClockMs();
    int count = presenceSlot < 0 && (presenceTag & GainLinkBlock::ovrelTagBit) != 0 ? 1 : 0;
    for (const auto& slot : block->presence)
        if (const auto v = slot.load(std::memory_order_acquire);
            GainLinkBlock::isLiveSlot(v, now) && (GainLinkBlock::tagOf(v) & GainLinkBlock::ovrelTagBit) != 0)
            ++count;
    return count;
}

void GainLinkSharedMemory::claimMaster(char letter)
{
    if (auto* block = getBlock(); block != nullptr)
    {
        block->masterTag.store(presenceTag, std::memory_order_release);
        block->masterLetter.store(static_cast<std::uint8_t>(letter), std::memory_order_release);
    }
}

void GainLinkSharedMemory::resignMaster()
{
    if (auto* block = getBlock(); block != nullptr)
    {
        block->masterLetter.store(0, std::memory_order_release);
        block->masterTag.store(0, std::memory_order_release);
    }
}

GainLinkSharedMemory::Claimant GainLinkSharedMemory::masterClaimant() const
{
    const auto* block = getBlock();
    if (block == nullptr)
        return Claimant::unknown;
    const auto tag = block->masterTag.load(std::memory_order_acquire);
    if (tag == 0)
        return Claimant::unknown;
    if (tag == presenceTag)
        return Claimant::thisHandle;
    const auto now = GainLinkBlock::wallClockMs();
    for (const auto& slot : block->presence)
        if (const auto v = slot.load(std::memory_order_acquire);
            GainLinkBlock::isLiveSlot(v, now) && GainLinkBlock::tagOf(v) == tag)
            return Claimant::another;
    return Claimant::unknown;
}

void GainLinkSharedMemory::publishMapping(GainLinkBlock* mappedBlock, int descriptor, const std::string& name,
                                          bool writer, int linkId)
{
    fd = descriptor;
    objectName = name;
    mappedLinkId = linkId;
    mapping.store(reinterpret_cast<std::uintptr_t>(mappedBlock) | (writer ? writerBit : 0), std::memory_order_seq_cst);
    // After the mapping: an audio block that sees this generation also sees this mapping or a later one.
    generation.store(generation.load(std::memory_order_relaxed) + 1, std::memory_order_release);
}

void GainLinkSharedMemory::waitForAccessesToEnd() const
{
    for (int pass = 0; pass < 2; ++pass)
    {
        const auto previous = accessEpoch.fetch_add(1, std::memory_order_seq_cst);
        while (accessCount[previous & 1u].load(std::memory_order_seq_cst) != 0)
            std::this_thread::yield();
    }
}

bool GainLinkSharedMemory::otherOvrelInstancesLive() const
{
    return GainLinkLockFiles(env).countLiveLockFiles(mappedLinkId, GainLinkLockFiles::Owner::ovrel) > 0;
}

GainLinkSharedMemory::ScopedAccess::ScopedAccess(const GainLinkSharedMemory& handle) noexcept : owner(handle)
{
    slot = owner.accessEpoch.load(std::memory_order_seq_cst) & 1u;
    owner.accessCount[slot].fetch_add(1, std::memory_order_seq_cst);
    const auto published = owner.mapping.load(std::memory_order_seq_cst);
    mapped = blockOf(published);
    writer = isWriterOf(published);
}

GainLinkSharedMemory::ScopedAccess::~ScopedAccess()
{
    owner.accessCount[slot].fetch_sub(1, std::memory_order_release);
}
