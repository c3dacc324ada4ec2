#include "gainpair/common/GainLinkAudioClock.h"

#include <algorithm>

void GainLinkAudioClock::prepare(double sampleRate) noexcept
{
    intervalSamples = std::max(1, static_cast<int>(sampleRate * readEverySeconds));
    samplesSinceReading = intervalSamples;
}

std::int64_t GainLinkAudioClock::nowMs() noexcept
{
    if (samplesSinceReading >= intervalSamples)
    {
        lastReadingMs = GainLinkBlock::wallClockMs();
        samplesSinceReading = 0;
    }
    return lastReadingMs;
}

bool GainLinkAudioClock::isCurrent(const GainLinkBlock& block) noexcept
{
    if (block.writerActive.load(std::memory_order_acquire) != 1)
        return false;
    if (const auto stamp = block.timestampMs.load(std::memory_order_acquire); stamp != lastStampSeen)
    {
        lastStampSeen = stamp;
        samplesSinceReading = intervalSamples;
    }
    return block.isCurrent(nowMs());
}
