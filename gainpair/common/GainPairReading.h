#pragma once

#include <atomic>
#include <cstdint>

// A level reading in dB for an editor's meter. The audio thread publishes the linear magnitude, and
// the logarithm is taken when the reading is loaded: at the editor's rate instead of on every audio
// block, with the same value. A dB value may also be stored as it is (the initial reading). One
// lock-free 64-bit atomic, so the value and its kind always travel together.
class GainPairReading
{
public:
    explicit GainPairReading(float initialDb) noexcept : word(pack(initialDb, Kind::decibels)) {}

    // The reading in dB: a published magnitude as GainPairLevels::toDb gives it.
    float load(std::memory_order order = std::memory_order_seq_cst) const noexcept;
    void store(float db, std::memory_order order = std::memory_order_seq_cst) noexcept
    {
        word.store(pack(db, Kind::decibels), order);
    }

    // Audio thread: the block's peak, or the square root of the mean square; no ordering needed.
    void storeMagnitude(float magnitude) noexcept
    {
        word.store(pack(magnitude, Kind::magnitude), std::memory_order_relaxed);
    }

private:
    enum class Kind : std::uint32_t
    {
        decibels,
        magnitude
    };

    static std::uint64_t pack(float value, Kind kind) noexcept;

    std::atomic<std::uint64_t> word;

    static_assert(std::atomic<std::uint64_t>::is_always_lock_free);
};
