#include "gainpair/common/GainLinkAudioClock.h"

#include <algorithm>

void GainLinkAudioClock::prepare(double sampleRate) noexcept
{
    intervalSamples = std::max(1, static_cast<int>(sampleRate * readEverySeconds));
    samplesSinceReading = intervalSamples;
}

void GainLinkAudioClock::read() noexcept
{
    lastReadingMs = GainLinkBlock::wallClockMs();
    samplesSinceReading = 0;
}
