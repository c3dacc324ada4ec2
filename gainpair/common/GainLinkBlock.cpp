#include "gainpair/common/GainLinkBlock.h"

#include <sys/time.h>

std::int64_t GainLinkBlock::wallClockMs() noexcept
{
    timeval tv{};
    gettimeofday(&tv, nullptr);
    return static_cast<std::int64_t>(tv.tv_sec) * 1000 + static_cast<std::int64_t>(tv.tv_usec) / 1000;
}

bool GainLinkBlock::isCurrent(std::int64_t nowMs) const noexcept
{
    if (writerActive.load(std::memory_order_acquire) != 1)
        return false;

    const auto age =
        static_cast<std::uint64_t>(nowMs) - static_cast<std::uint64_t>(timestampMs.load(std::memory_order_acquire));
    return age <= static_cast<std::uint64_t>(freshnessLimitMs);
}

void GainLinkBlock::publish(float newGainDb, bool newBypass, std::int64_t nowMs) noexcept
{
    gainDb.store(newGainDb, std::memory_order_release);
    bypass.store(newBypass ? 1 : 0, std::memory_order_release);
    timestampMs.store(nowMs, std::memory_order_release);
    writerActive.store(1, std::memory_order_release);
}
