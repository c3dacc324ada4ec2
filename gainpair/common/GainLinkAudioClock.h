#pragma once

#include "gainpair/common/GainLinkBlock.h"

#include <cstdint>

// The wall clock as a gain processor's audio thread uses it: read at most once per 50 ms of audio,
// since time stamps and their freshness only need to be right to well within the 6000 ms limit, and
// a reading costs as much as scaling a short block. Audio thread only.
class GainLinkAudioClock
{
public:
    static constexpr double readEverySeconds = 0.05;

    void prepare(double sampleRate) noexcept;

    // Counts a block's samples; called once at the start of every block.
    void advance(int numSamples) noexcept { samplesSinceReading += numSamples; }

    // A new reading when 50 ms of audio have passed since the last one, otherwise the last reading.
    std::int64_t nowMs() noexcept
    {
        if (samplesSinceReading >= intervalSamples)
            read();
        return lastReadingMs;
    }

    // The block's freshness. A stamp not seen before is judged against a new reading, so that a stamp
    // newer than the last reading never looks like one from the future.
    bool isCurrent(const GainLinkBlock& block) noexcept
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

private:
    void read() noexcept;

    int intervalSamples = 2205; // 50 ms at 44100 Hz, until prepare
    int samplesSinceReading = intervalSamples;
    std::int64_t lastReadingMs = 0;
    std::int64_t lastStampSeen = 0;
};
