#include "OrlintMeterProbe.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

// The meter's own timer sleeps whenever a tick could change nothing. These tests tick the meter by
// hand every 16 ms whether its timer runs or not: every tick taken while the timer is stopped stands
// for one the real meter skips, and must leave it exactly as it was.
namespace
{
using Mods = juce::ModifierKeys;

struct MeterState
{
    float peak, rms, held, alpha;
    bool fading, hold, needsRepaint;
    double holdTime;
    bool operator==(const MeterState&) const = default;
};

struct MeterTicks
{
    MeterTicks()
    {
        meter.setBounds(0, 0, 60, 234);
        meter.setScaleSide(1);
        meter.setVisible(true);
        clock.attach(meter);
        meter.applySettings(1.0f, 0.0f, 50.0f, 84.0f); // quick falls, so that the hold outlasts them
        tick();                                        // nothing to do yet: the first tick stops the timer
    }

    MeterState state()
    {
        return {probe.peakDb(),     probe.rmsDb(),       probe.heldPeakDb(),   probe.holdAlpha(),
                probe.holdFading(), probe.holdEnabled(), probe.needsRepaint(), probe.holdTimeMs()};
    }

    // One tick of the meter's timer; returns whether the timer was running for it.
    bool tick()
    {
        const bool running = meter.isTimerRunning();
        const auto before = state();
        meter.timerCallback();
        clock.nowMs += 16.0;
        if (!running)
        {
            EXPECT_TRUE(before == state()) << "a tick skipped by the stopped timer would have changed the meter";
            ++skipped;
        }
        return running;
    }

    // What an owner does on each of its ticks: push, then the meter's own tick.
    void feed(float peak, float rms, int ticks)
    {
        for (int i = 0; i < ticks; ++i)
        {
            meter.pushLevels(peak, rms);
            EXPECT_TRUE(tick()) << "fed " << peak << " / " << rms << ", tick " << i;
        }
    }

    // Ticks without feeding until the timer stops; returns how many ticks it ran for.
    int starveUntilStopped(int limit = 5000)
    {
        int ticks = 0;
        while (ticks < limit && tick())
            ++ticks;
        return ticks;
    }

    void shiftClick()
    {
        meter.mouseDown(meterMouseEvent(meter, {30.0f, 100.0f}, Mods(Mods::shiftModifier | Mods::leftButtonModifier)));
    }

    OrlintMeter meter;
    OrlintMeterProbe probe{meter};
    ManualClock clock;
    int skipped = 0;
};

// Ticks from the push of a held peak until its fade has ended: 3000 ms at 16 ms a tick (188 ticks,
// the fade starting on the last of them) and 30 ticks of fading, the first on that same tick.
constexpr int kHoldAndFadeTicks = 188 + 29;
} // namespace

TEST(OrlintMeterTimer, RunsExactlyAsLongAsTicksHaveWork)
{
    struct Case
    {
        const char* name;
        std::function<void(MeterTicks&)> before; // what the owner and the user did before the feed stops
        int ticksUntilStopped;                   // counted from the last push, -1: checked by range below
        int tolerance;
        float held, alpha; // the hold once everything has settled
    };
    const Case cases[] = {
        // The peak falls back within about 100 ticks; the held peak waits 3 s and fades.
        {"peak, then the hold's wait and fade", [](MeterTicks& m) { m.feed(-6.0f, -99.0f, 1); }, kHoldAndFadeTicks, 0,
         -99.0f, 0.0f},
        // In hold mode nothing fades: the timer stops when the bar is down. -6 dB falls at 0.05 of its
        // distance to -99 a tick: ln(93 / 0.5) / -ln(0.95) = 101.9 ticks.
        {"peak in hold mode",
         [](MeterTicks& m)
         {
             m.meter.setHoldEnabled(true);
             m.feed(-6.0f, -99.0f, 1);
         },
         102, 1, -6.0f, 1.0f},
        // The RMS value alone (the silent peak lights an empty hold) rises to about -18.6 dB and, at a
        // 50 ms window, falls by 0.0142 of its distance a tick: ln(80.4 / 0.5) / 0.01427 = 355.9 ticks.
        {"RMS alone", [](MeterTicks& m) { m.feed(-99.0f, -6.0f, 1); }, 356, 2, -99.0f, 1.0f},
        // A steady level keeps the timer running while fed; the feed's end lets the bars fall.
        {"steady level fed for long, then starved", [](MeterTicks& m) { m.feed(-60.0f, -60.0f, 400); }, -1, 0, -99.0f,
         0.0f},
        // Leaving hold mode keeps the value for 3 s from the click (a tick after the push), then fades it.
        {"hold mode left by Shift+click",
         [](MeterTicks& m)
         {
             m.meter.setHoldEnabled(true);
             m.feed(-6.0f, -99.0f, 1);
             m.shiftClick();
         },
         kHoldAndFadeTicks + 1, 0, -99.0f, 0.0f},
        // Switched off by the owner, the marker goes at once; the pending wait still ends in a fade
        // start that nobody sees, after which there is nothing left to do.
        {"hold switched off by the owner during the wait",
         [](MeterTicks& m)
         {
             m.feed(-6.0f, -99.0f, 1);
             m.meter.setHoldEnabled(false);
         },
         188, 0, -6.0f, 0.0f},
        // A click on the readout clears the held peak: only the bar's fall is left.
        {"held peak cleared by a readout click",
         [](MeterTicks& m)
         {
             m.feed(-6.0f, -99.0f, 1);
             m.meter.mouseDown(meterMouseEvent(m.meter, {30.0f, 222.0f}, Mods(Mods::leftButtonModifier)));
         },
         102, 1, -99.0f, 0.0f},
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        MeterTicks m;
        ASSERT_FALSE(m.meter.isTimerRunning()) << "a meter with nothing to show sleeps";
        c.before(m);
        ASSERT_TRUE(m.meter.isTimerRunning());

        const int ran = m.starveUntilStopped();
        if (c.ticksUntilStopped >= 0)
            EXPECT_NEAR(ran, c.ticksUntilStopped, c.tolerance);
        else
            EXPECT_TRUE(ran > 1 && ran < 1000) << ran;

        const auto settled = m.state();
        EXPECT_EQ(settled.peak, -99.0f);
        EXPECT_EQ(settled.rms, -99.0f);
        EXPECT_EQ(settled.held, c.held);
        EXPECT_EQ(settled.alpha, c.alpha);

        // Long after, skipped ticks still change nothing (tick() checks each).
        m.clock.nowMs += 60000.0;
        const int skippedBefore = m.skipped;
        for (int i = 0; i < 200; ++i)
            EXPECT_FALSE(m.tick());
        EXPECT_EQ(m.skipped - skippedBefore, 200);
    }
}

// After settling, whatever brings new work starts the timer again, and the work then follows the
// usual timing from there.
TEST(OrlintMeterTimer, RestartsWhenFedOrToldToHoldAfterSettling)
{
    MeterTicks m;
    m.feed(-6.0f, -99.0f, 1);
    ASSERT_EQ(m.starveUntilStopped(), kHoldAndFadeTicks);

    // A feed of silence gives it nothing to do, once the empty hold it lights has been drawn.
    m.feed(-99.0f, -100.0f, 1);
    for (int i = 0; i < 50; ++i)
    {
        m.meter.pushLevels(-99.0f, -100.0f);
        EXPECT_FALSE(m.tick());
    }

    // A level does: the bars and the held peak go through their whole cycle again.
    m.feed(-12.0f, -99.0f, 1);
    EXPECT_EQ(m.starveUntilStopped(), kHoldAndFadeTicks);
    EXPECT_EQ(m.probe.heldPeakDb(), -99.0f);

    // Leaving hold mode after everything has settled starts the 3 s wait and the fade.
    m.meter.setHoldEnabled(true);
    m.feed(-3.0f, -99.0f, 1);
    m.starveUntilStopped();
    ASSERT_FALSE(m.meter.isTimerRunning());
    ASSERT_EQ(m.probe.heldPeakDb(), -3.0f);
    m.shiftClick();
    EXPECT_TRUE(m.meter.isTimerRunning());
    EXPECT_EQ(m.starveUntilStopped(), kHoldAndFadeTicks + 1);
    EXPECT_EQ(m.probe.heldPeakDb(), -99.0f);
}

// Fed silence, the peak creeps towards -99 without reaching it in single precision; the timer keeps
// running (only a tick can see the feed stop), and the first tick without a feed snaps the bars to
// silence and lets the timer stop.
TEST(OrlintMeterTimer, AFeedOfSilenceAfterALevelKeepsTickingUntilTheFeedStops)
{
    MeterTicks m;
    m.meter.applySettings(1.0f, 200.0f, 300.0f, 84.0f);
    m.feed(-20.0f, -20.0f, 20);
    m.feed(-99.0f, -99.0f, 2000);
    EXPECT_GT(m.probe.peakDb(), -99.0f);
    EXPECT_LT(m.probe.peakDb(), -98.5f);

    EXPECT_TRUE(m.tick()); // the feed has stopped: below -98.5, the bars snap to silence
    EXPECT_EQ(m.probe.peakDb(), -99.0f);
    EXPECT_EQ(m.probe.rmsDb(), -99.0f);
    EXPECT_FALSE(m.meter.isTimerRunning());
}

// A hidden meter's tick does nothing and keeps its timer as it is, ready for when it is shown.
TEST(OrlintMeterTimer, AHiddenMeterKeepsItsWorkForLater)
{
    MeterTicks m;
    m.feed(-6.0f, -99.0f, 1);
    m.meter.setVisible(false);
    for (int i = 0; i < 300; ++i)
    {
        m.meter.timerCallback();
        EXPECT_TRUE(m.meter.isTimerRunning());
    }
    EXPECT_EQ(m.probe.heldPeakDb(), -6.0f);
    m.meter.setVisible(true);
    EXPECT_GT(m.starveUntilStopped(), 100);
    EXPECT_EQ(m.probe.heldPeakDb(), -99.0f);
}
