#include "bivarro/editor/LinkPair.h"

#include <cmath>

int LinkPair::particlesFor(double distance, double interval)
{
    // A knob without an interval (the all-pass frequency knobs) counts every change as a big one.
    if (!(interval > 0.0))
        return 5;
    if (distance < 0.5 * interval)
        return 0;
    return (int)juce::jlimit(1.0, 5.0, std::round(distance / interval));
}

namespace
{
constexpr float particleStep = 0.007f;
constexpr float particleSpacing = 0.12f;

// One direction of a pair: start a pending particle at start when a slot is free and the timer ran
// out, then move every live one by step and keep those still on the line, in order.
void advanceDirection(int& count, std::array<float, LinkPair::maxParticles>& pos, int& pending, float& spawnTimer,
                      float start, float step)
{
    if (pending >= 1)
    {
        spawnTimer -= particleStep;
        if (count < LinkPair::maxParticles && spawnTimer <= 0.0f)
        {
            pos[(size_t)count++] = start;
            --pending;
            spawnTimer = particleSpacing;
        }
    }
    int kept = 0;
    for (int k = 0; k < count; ++k)
    {
        const float p = pos[(size_t)k] + step;
        if (step > 0.0f ? p < 1.0f : p > 0.0f)
            pos[(size_t)kept++] = p;
    }
    count = kept;
}
} // namespace

bool LinkPair::advance()
{
    if (link == nullptr || *link == 0)
    {
        const bool changed = forwardCount > 0 || backwardCount > 0;
        forwardCount = backwardCount = forwardPending = backwardPending = 0;
        return changed;
    }
    bool changed = false;
    if (forwardCount > 0 || forwardPending > 0)
    {
        changed = true;
        advanceDirection(forwardCount, forwardPos, forwardPending, forwardSpawnTimer, 0.0f, particleStep);
    }
    if (backwardCount > 0 || backwardPending > 0)
    {
        changed = true;
        advanceDirection(backwardCount, backwardPos, backwardPending, backwardSpawnTimer, 1.0f, -particleStep);
    }
    return changed;
}
