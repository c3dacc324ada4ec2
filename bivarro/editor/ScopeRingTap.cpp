#include "bivarro/editor/ScopeRingTap.h"

ScopeRingTap::ScopeRingTap()
{
    // The most a take can hold, so that taking never allocates.
    samplesL.reserve(catchUpThreshold);
    samplesR.reserve(catchUpThreshold);
}

void ScopeRingTap::start(const ScopeRingReader& ring) noexcept
{
    readPos = ring.writePosition() & ScopeRingReader::mask;
}

int ScopeRingTap::take(const ScopeRingReader& ring)
{
    const int write = ring.writePosition();
    int pending = (write - readPos) & ScopeRingReader::mask;
    if (pending > catchUpThreshold)
    {
        readPos = (write + ScopeRingReader::size - catchUpAmount) & ScopeRingReader::mask;
        pending = catchUpAmount;
    }

    samplesL.resize(static_cast<size_t>(pending));
    samplesR.resize(static_cast<size_t>(pending));
    if (pending > 0)
    {
        ring.copy(readPos, pending, samplesL.data(), samplesR.data());
        readPos = (readPos + pending) & ScopeRingReader::mask;
    }
    return pending;
}
