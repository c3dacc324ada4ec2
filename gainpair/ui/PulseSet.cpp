#include "gainpair/ui/PulseSet.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdlib>

namespace gainpair
{
long PulseSet::tenthsOf(double valueDb)
{
    // Bounded first so that a wild value read from shared memory cannot overflow the conversion.
    return std::lround(std::clamp(valueDb, -10000.0, 10000.0) * 10.0);
}

void PulseSet::startFrom(double valueDb)
{
    last = std::isfinite(valueDb) ? (double)tenthsOf(valueDb) / 10.0 : 0.0;
}

void PulseSet::follow(double valueDb)
{
    if (!std::isfinite(valueDb))
        return;

    const long now = tenthsOf(valueDb);
    const long before = tenthsOf(last);
    if (now == before)
        return;

    last = (double)now / 10.0;
    numPending = (int)std::min(std::labs(now - before), (long)maxPending);
    launchTimer = 0.0f;
}

void PulseSet::clear()
{
    numAlive = 0;
    numPending = 0;
    last = noValue;
}

bool PulseSet::inSight() const
{
    for (int i = 0; i < numAlive; ++i)
        if (phases[(std::size_t)i] >= 0.0f)
            return true;
    return false;
}

void PulseSet::step()
{
    if (numAlive <= 0 && numPending <= 0)
        return;

    if (numPending > 0)
    {
        launchTimer -= phaseStep;
        if (numAlive < maxPulses && launchTimer <= 0.0f)
        {
            phases[(std::size_t)numAlive++] = startPhase;
            --numPending;
            launchTimer = launchInterval;
        }
    }

    int kept = 0;
    for (int i = 0; i < numAlive; ++i)
    {
        const float p = phases[(std::size_t)i] + phaseStep;
        if (p < 1.0f)
            phases[(std::size_t)kept++] = p;
    }
    numAlive = kept;
}
} // namespace gainpair
