#include "gainpair/ui/PulseSet.h"

#include <gtest/gtest.h>

#include <limits>
#include <vector>

using gainpair::PulseSet;

namespace
{
// The ticks on which pulses were launched while following one change over the given number of ticks.
std::vector<int> launchTicks(PulseSet& set, int ticks)
{
    std::vector<int> launched;
    for (int t = 0; t < ticks; ++t)
    {
        const int before = set.count();
        set.step();
        if (set.count() > before)
            launched.push_back(t);
    }
    return launched;
}
} // namespace

TEST(PulseSet, ChangeLaunchesOnePulsePerTenthUpToFive)
{
    const struct
    {
        double from, to;
        int pulses;
    } cases[] = {{0.0, 0.3, 3},   {0.0, 6.0, 5},    {0.0, 0.04, 0}, {0.0, -0.1, 1},
                 {0.06, 0.14, 0}, {-48.0, 48.0, 5}, {0.0, 0.05, 1}, {0.0, -0.05, 1}};
    for (const auto& c : cases)
    {
        PulseSet set;
        set.startFrom(c.from);
        set.follow(c.to);
        EXPECT_EQ(set.pending(), c.pulses) << c.from << " -> " << c.to;
        EXPECT_EQ((int)launchTicks(set, 200).size(), c.pulses) << c.from << " -> " << c.to;
    }
}

TEST(PulseSet, PulsesLaunch18TicksApartAndCrossIn143Ticks)
{
    PulseSet set;
    set.follow(0.3);
    EXPECT_EQ(launchTicks(set, 60), (std::vector<int>{0, 18, 36}));

    PulseSet one;
    one.follow(0.1);
    int ticks = 0;
    do
        one.step();
    while (one.count() > 0 && ++ticks < 1000);
    EXPECT_NEAR(ticks, 142, 1) << "alive for about 143 ticks";
}

TEST(PulseSet, NewChangeReplacesPendingAndLaunchesAtOnce)
{
    PulseSet set;
    set.follow(0.5);
    set.step();
    set.step();
    EXPECT_EQ(set.count(), 1);
    EXPECT_EQ(set.pending(), 4);
    set.follow(0.7);
    EXPECT_EQ(set.pending(), 2);
    set.step();
    EXPECT_EQ(set.count(), 2);
}

TEST(PulseSet, AtMostTwentyAliveAndPendingWaits)
{
    PulseSet set;
    double value = 0.0;
    for (int t = 0; t < 400; ++t)
    {
        value += 1.0;
        set.follow(value);
        set.step();
        ASSERT_LE(set.count(), PulseSet::maxPulses);
    }
    EXPECT_EQ(set.count(), PulseSet::maxPulses);
    EXPECT_GT(set.pending(), 0);
}

TEST(PulseSet, FollowedSetStartsHiddenAndClearsOnLeaving)
{
    PulseSet in(-1.008f);
    in.clear();
    in.follow(2.0);
    EXPECT_EQ(in.pending(), 5) << "the first value after a clear counts as a change";
    in.step();
    ASSERT_EQ(in.count(), 1);
    EXPECT_LT(in.phase(0), 0.0f);
    int hidden = 1;
    while (in.phase(0) < 0.0f)
    {
        in.step();
        ++hidden;
    }
    EXPECT_NEAR(hidden, 145, 1) << "unseen for about 144 ticks";

    in.clear();
    EXPECT_EQ(in.count(), 0);
    EXPECT_EQ(in.pending(), 0);
}

TEST(PulseSet, ValuesThatAreNotFiniteNumbersAreIgnored)
{
    PulseSet set;
    set.startFrom(1.0);
    for (double bad : {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(),
                       -std::numeric_limits<double>::infinity()})
    {
        set.follow(bad);
        EXPECT_EQ(set.pending(), 0);
        EXPECT_DOUBLE_EQ(set.lastValue(), 1.0);
    }
    set.follow(1e30);
    EXPECT_EQ(set.pending(), 5);
    set.follow(-1e30);
    EXPECT_EQ(set.pending(), 5);
}

// Pulses launched below phase 0 are alive but not drawn, so the editor need not repaint for them.
TEST(PulseSet, InSightOnlyOnceAPulseReachesPhaseZero)
{
    for (float launch : {0.0f, -1.008f})
    {
        PulseSet set(launch);
        set.startFrom(0.0);
        EXPECT_FALSE(set.inSight()) << launch;
        set.follow(0.1);
        set.step();
        ASSERT_EQ(set.count(), 1) << launch;
        EXPECT_EQ(set.inSight(), launch >= 0.0f) << launch;

        int ticks = 0;
        while (!set.inSight() && ticks < 400)
        {
            set.step();
            ++ticks;
        }
        EXPECT_GE(set.phase(0), 0.0f) << launch;
        EXPECT_NEAR(ticks, launch >= 0.0f ? 0 : 144, 1) << launch;
        while (set.count() > 0)
            set.step();
        EXPECT_FALSE(set.inSight()) << launch;
    }
}
