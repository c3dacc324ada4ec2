#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <type_traits>

// The 72-byte record one Ovrel and one Undrel share per link ID, mapped by processes that may have
// been built apart: every offset is fixed and every field is one lock-free atomic of its own width.
// Reads are acquire loads and writes release stores; no lock guards the block.
struct GainLinkBlock
{
    std::atomic<float> gainDb;
    std::atomic<std::uint8_t> bypass;
    std::uint8_t padding1[3];
    std::atomic<std::int64_t> timestampMs;
    std::atomic<std::uint8_t> writerActive;
    std::atomic<std::uint8_t> masterLetter;
    std::uint8_t padding2[2];
    std::atomic<float> compensationDb;

    // Who maps the object, from any process and any home folder (lock files show only the instances
    // of one home folder). Each mapping keeps a slot stamped with its tag and the low 32 bits of the
    // wall clock; a slot not restamped within the freshness limit is free again, so a mapping of a
    // process that ended without closing stops counting by itself. Older builds never touch these.
    std::atomic<std::uint32_t> masterTag; // tag of the instance whose claim set masterLetter; 0 none
    std::atomic<std::uint32_t> crowdedMs; // stamp of a mapping that found every slot taken; 0 none
    static constexpr int presenceSlots = 5;
    std::atomic<std::uint64_t> presence[presenceSlots]; // tag << 32 | stamp; 0 free

    // Tags are never 0; an Ovrel's has this bit set, an Undrel's not.
    static constexpr std::uint32_t ovrelTagBit = 0x80000000u;

    static std::uint32_t stamp32(std::int64_t nowMs) noexcept { return static_cast<std::uint32_t>(nowMs); }
    static std::uint32_t tagOf(std::uint64_t slot) noexcept { return static_cast<std::uint32_t>(slot >> 32); }
    static std::uint64_t slotValue(std::uint32_t tag, std::int64_t nowMs) noexcept
    {
        return (static_cast<std::uint64_t>(tag) << 32) | stamp32(nowMs);
    }
    // The age is taken as unsigned 32-bit, so it stays right across the wrap of the low bits.
    static bool isFreshStamp(std::uint32_t stamp, std::int64_t nowMs) noexcept
    {
        return stamp != 0 && stamp32(nowMs) - stamp <= static_cast<std::uint32_t>(freshnessLimitMs);
    }
    static bool isLiveSlot(std::uint64_t slot, std::int64_t nowMs) noexcept
    {
        return slot != 0 && isFreshStamp(static_cast<std::uint32_t>(slot), nowMs);
    }

    static constexpr std::size_t objectSize = 72;

    // A time stamp older than this, or a cleared writerActive, means no writer keeps the block current.
    static constexpr std::int64_t freshnessLimitMs = 6000;

    // Time of day in milliseconds, truncated, as the stamps and lock files of every process use it.
    static std::int64_t wallClockMs() noexcept;

    // The age is taken as unsigned, so a stamp from the future (the clock was set back) is not current.
    bool isCurrent(std::int64_t nowMs) const noexcept
    {
        if (writerActive.load(std::memory_order_acquire) != 1)
            return false;
        const auto age =
            static_cast<std::uint64_t>(nowMs) - static_cast<std::uint64_t>(timestampMs.load(std::memory_order_acquire));
        return age <= static_cast<std::uint64_t>(freshnessLimitMs);
    }

    // The writer's store sequence: the values first, then the stamp, then the active flag.
    void publish(float newGainDb, bool newBypass, std::int64_t nowMs) noexcept
    {
        gainDb.store(newGainDb, std::memory_order_release);
        bypass.store(newBypass ? 1 : 0, std::memory_order_release);
        timestampMs.store(nowMs, std::memory_order_release);
        writerActive.store(1, std::memory_order_release);
    }
};

static_assert(std::is_standard_layout_v<GainLinkBlock>);
static_assert(std::is_trivially_destructible_v<GainLinkBlock>);
static_assert(sizeof(GainLinkBlock) == GainLinkBlock::objectSize);
static_assert(offsetof(GainLinkBlock, gainDb) == 0);
static_assert(offsetof(GainLinkBlock, bypass) == 4);
static_assert(offsetof(GainLinkBlock, timestampMs) == 8);
static_assert(offsetof(GainLinkBlock, writerActive) == 16);
static_assert(offsetof(GainLinkBlock, masterLetter) == 17);
static_assert(offsetof(GainLinkBlock, compensationDb) == 20);
static_assert(offsetof(GainLinkBlock, masterTag) == 24);
static_assert(offsetof(GainLinkBlock, crowdedMs) == 28);
static_assert(offsetof(GainLinkBlock, presence) == 32);

// An atomic that needed a lock would keep that lock inside one process only, silently breaking the
// link between processes; one wider than its value would shift every offset.
static_assert(std::atomic<float>::is_always_lock_free && sizeof(std::atomic<float>) == 4);
static_assert(std::atomic<std::uint8_t>::is_always_lock_free && sizeof(std::atomic<std::uint8_t>) == 1);
static_assert(std::atomic<std::int64_t>::is_always_lock_free && sizeof(std::atomic<std::int64_t>) == 8);
static_assert(std::atomic<std::uint32_t>::is_always_lock_free && sizeof(std::atomic<std::uint32_t>) == 4);
static_assert(std::atomic<std::uint64_t>::is_always_lock_free && sizeof(std::atomic<std::uint64_t>) == 8);
static_assert(alignof(std::atomic<std::int64_t>) == 8 && alignof(std::atomic<float>) == 4);
