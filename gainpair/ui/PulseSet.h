#pragma once

#include <array>
#include <cstddef>

namespace gainpair
{
// Dots that run along a line when a gain changes: each change of n tenths of a dB launches up to
// five, one at once and the next ones 18 ticks apart; each crosses in about 143 ticks of 16 ms.
// Fixed storage, so a timer tick never allocates.
class PulseSet
{
public:
    static constexpr int maxPulses = 20;
    static constexpr int maxPending = 5;
    static constexpr float phaseStep = 0.007f;
    static constexpr float launchInterval = 0.12f;
    static constexpr double noValue = -999.0;

    // launchPhase is where a new pulse starts; below 0 it stays unseen for a while.
    explicit PulseSet(float launchPhase = 0.0f) : startPhase(launchPhase) {}

    // Takes value (dB) as the last one seen, rounded to a tenth, without launching anything.
    void startFrom(double valueDb);

    // Schedules pulses when value differs from the last one seen by at least a tenth; the new number
    // replaces what was pending. A value that is not a finite number is ignored.
    void follow(double valueDb);

    // No pulses alive or pending, and the next value seen counts as a change.
    void clear();

    // One timer tick: launches a pending pulse when due and moves every pulse on.
    void step();

    int count() const { return numAlive; }
    // Whether any pulse has reached phase 0, where it starts to be drawn.
    bool inSight() const;
    int pending() const { return numPending; }
    float phase(int index) const { return phases[(std::size_t)index]; }
    double lastValue() const { return last; }

private:
    static long tenthsOf(double valueDb);

    std::array<float, maxPulses> phases{};
    int numAlive = 0;
    int numPending = 0;
    float launchTimer = 0.0f;
    double last = 0.0;
    float startPhase;
};
} // namespace gainpair
