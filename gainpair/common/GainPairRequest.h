#pragma once

#include <atomic>
#include <cmath>
#include <limits>

// A value one thread hands to the audio thread, which takes it at the start of its next block: the
// gain-pair smoothers belong to the audio thread, and a restore or the timer may set them at once.
// Lock-free; a later post replaces one not yet taken.
class GainPairRequest
{
public:
    void post(float value) noexcept { pending.store(value, std::memory_order_release); }

    // True, with the value, once per post. A plain load first keeps the common case (nothing
    // waiting) free of a read-modify-write.
    bool take(float& value) noexcept
    {
        if (isNone(pending.load(std::memory_order_relaxed)))
            return false;
        value = pending.exchange(none, std::memory_order_acq_rel);
        return !isNone(value);
    }

    // Drops a request not yet taken (prepareToPlay sets the smoothers itself).
    void clear() noexcept { pending.store(none, std::memory_order_relaxed); }

private:
    static constexpr float none = std::numeric_limits<float>::quiet_NaN();
    static bool isNone(float v) noexcept { return std::isnan(v); }

    std::atomic<float> pending{none};
};
