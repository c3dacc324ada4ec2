#include "OrlintMeterProbe.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace
{
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

// A meter as its owner uses it: visible, with a hand-driven clock and its own timer stopped so
// that only the test ticks it.
struct MeterFixture : ::testing::Test
{
    MeterFixture()
    {
        meter.stopTimer();
        meter.setVisible(true);
        clock.attach(meter);
    }

    OrlintMeter meter;
    OrlintMeterProbe probe{meter};
    ManualClock clock;
};
} // namespace

TEST(OrlintMeterCoefficients, FollowTheSixtyHertzRule)
{
    struct Case
    {
        float ms;
        float expected;
    };
    const Case cases[] =
        {
            {1.0f, 0.99999994f},   {200.0f, 0.07995558f}, {50.0f, 0.28346872f},
            {300.0f, 0.05404055f}, {50.1f, 0.28299180f},  {0.1f, 1.0f},
            {0.0f, 1.0f},          {-5.0f, 1.0f},         {kNaN, 1.0f}, // not above 0, NaN included: instant
        };
    for (const auto& c : cases)
        EXPECT_FLOAT_EQ(OrlintMeter::coefFromMs(c.ms), c.expected) << "ms " << c.ms;
}

TEST_F(MeterFixture, StartsFromTheDefaultSettings)
{
    EXPECT_EQ(probe.peakDb(), -99.0f);
    EXPECT_EQ(probe.rmsDb(), -99.0f);
    EXPECT_EQ(probe.heldPeakDb(), -99.0f);
    EXPECT_FALSE(probe.holdEnabled());
    EXPECT_EQ(probe.attackMs(), 1.0f);
    EXPECT_EQ(probe.releaseMs(), 200.0f);
    EXPECT_EQ(probe.rmsWindowMs(), 300.0f);
    EXPECT_EQ(probe.brightness(), 84.0f);
    EXPECT_FLOAT_EQ(probe.attackCoef(), 0.99999994f);
    EXPECT_FLOAT_EQ(probe.releaseCoef(), 0.07995558f);
    EXPECT_FLOAT_EQ(probe.rmsRiseCoef(), 0.28346872f);
    EXPECT_FLOAT_EQ(probe.rmsFallCoef(), 0.05404055f);
    EXPECT_FALSE(meter.isOpaque());
    EXPECT_TRUE(OrlintMeter().isTimerRunning());
}

TEST_F(MeterFixture, PushedLevelsAreClamped)
{
    struct Case
    {
        float in;
        float expected;
    };
    const Case cases[] = {
        {-100.0f, -99.0f}, {-99.0f, -99.0f}, {-98.5f, -98.0f}, {-98.0f, -98.0f}, {-47.25f, -47.25f},
        {3.0f, 3.0f},      {6.0f, 3.0f},     {kNaN, -99.0f},   {-kInf, -99.0f},  {kInf, -99.0f},
    };
    for (const auto& c : cases)
    {
        OrlintMeter m;
        OrlintMeterProbe p(m);
        m.applySettings(0.0f, 0.0f, 300.0f, 84.0f); // instant peak ballistics: the peak shows the input
        m.pushLevels(c.in, c.in);

        EXPECT_EQ(p.peakDb(), c.expected) << "in " << c.in;
        EXPECT_EQ(p.heldPeakDb(), c.expected) << "in " << c.in;
        const float coef = c.expected > -99.0f ? p.rmsRiseCoef() : p.rmsFallCoef();
        EXPECT_FLOAT_EQ(p.rmsDb(), -99.0f + (c.expected + 99.0f) * coef) << "in " << c.in;
    }
}

TEST_F(MeterFixture, AttackAndReleaseAfterPushesAndTicks)
{
    // One push of 0 dB: the peak is practically there, the RMS moves 0.283 of the way.
    meter.pushLevels(0.0f, 0.0f);
    // -99 · (1 - 0.99999994) = -0.0000059, within a float step near 99 dB.
    EXPECT_LT(probe.peakDb(), 0.0f);
    EXPECT_NEAR(probe.peakDb(), -0.0000059f, 0.000002f);
    EXPECT_NEAR(probe.rmsDb(), -99.0f + 99.0f * 0.28346872f, 1e-4f);

    // A lower level falls by the release and RMS fall coefficients.
    const float peak1 = probe.peakDb();
    const float rms1 = probe.rmsDb();
    meter.pushLevels(-20.0f, -90.0f);
    EXPECT_NEAR(probe.peakDb(), peak1 + (-20.0f - peak1) * 0.07995558f, 1e-4f);
    EXPECT_NEAR(probe.rmsDb(), rms1 + (-90.0f - rms1) * 0.05404055f, 1e-4f);

    // The tick right after a push leaves the levels alone; the next one lets them fall.
    const float peak2 = probe.peakDb();
    const float rms2 = probe.rmsDb();
    meter.timerCallback();
    EXPECT_EQ(probe.peakDb(), peak2);
    EXPECT_EQ(probe.rmsDb(), rms2);
    meter.timerCallback();
    EXPECT_NEAR(probe.peakDb(), peak2 + (-99.0f - peak2) * 0.07995558f * 0.05f, 1e-4f);
    EXPECT_NEAR(probe.rmsDb(), rms2 + (-99.0f - rms2) * 0.05404055f * 0.05f, 1e-4f);
}

TEST_F(MeterFixture, UnfedPeakFallsGeometricallyAndSnapsToSilence)
{
    probe.peakDb() = 0.0f;
    const double q = 1.0 - 0.07995558 * 0.05;

    int ticks = 0;
    while (probe.peakDb() > -99.0f && ticks < 5000)
    {
        meter.timerCallback();
        ++ticks;
        if (ticks == 100)
        {
            EXPECT_NEAR(probe.peakDb(), -99.0 + 99.0 * std::pow(q, 100), 1e-3);
        }
        if (probe.peakDb() > -99.0f)
        {
            ASSERT_GE(probe.peakDb(), -98.5f) << "the last step must snap, never show -98.5..-99";
        }
    }
    // 99 dB shrink below 0.5 dB after ln(198) / -ln(q) = 1320.1 ticks.
    EXPECT_NEAR(ticks, 1321, 2);
}

TEST_F(MeterFixture, TimerDoesNothingWhileHidden)
{
    probe.peakDb() = -10.0f;
    meter.setVisible(false);
    meter.timerCallback();
    meter.timerCallback();
    EXPECT_EQ(probe.peakDb(), -10.0f);
}

TEST_F(MeterFixture, HeldPeakStaysThreeSecondsThenFadesOverThirtyTicks)
{
    meter.pushLevels(-6.0f, -20.0f);
    EXPECT_EQ(probe.heldPeakDb(), -6.0f);
    EXPECT_EQ(probe.holdAlpha(), 1.0f);
    EXPECT_EQ(probe.holdTimeMs(), clock.nowMs);

    // Lower levels keep coming; they do not restart the wait.
    const double start = clock.nowMs;
    for (double t : {16.0, 1000.0, 2999.0})
    {
        clock.nowMs = start + t;
        meter.pushLevels(-30.0f, -30.0f);
        meter.timerCallback();
        EXPECT_FALSE(probe.holdFading()) << t;
        EXPECT_EQ(probe.holdAlpha(), 1.0f) << t;
    }

    clock.nowMs = start + 3000.0;
    int fadeTicks = 0;
    while (probe.heldPeakDb() > -99.0f && fadeTicks < 100)
    {
        meter.timerCallback();
        ++fadeTicks;
        if (fadeTicks == 1)
        {
            EXPECT_TRUE(probe.holdFading());
        }
        if (fadeTicks == 15)
        {
            EXPECT_NEAR(probe.holdAlpha(), 0.5f, 1e-4f);
        }
    }
    EXPECT_EQ(fadeTicks, 30);
    EXPECT_EQ(probe.holdAlpha(), 0.0f);
    EXPECT_FALSE(probe.holdFading());
}

TEST_F(MeterFixture, HigherPeakDuringTheFadeRestartsTheCycle)
{
    meter.pushLevels(-6.0f, -20.0f);
    clock.nowMs += 3000.0;
    for (int i = 0; i < 10; ++i)
        meter.timerCallback();
    ASSERT_TRUE(probe.holdFading());

    meter.pushLevels(-3.0f, -20.0f);
    EXPECT_EQ(probe.heldPeakDb(), -3.0f);
    EXPECT_EQ(probe.holdAlpha(), 1.0f);
    EXPECT_FALSE(probe.holdFading());
    EXPECT_EQ(probe.holdTimeMs(), clock.nowMs);

    clock.nowMs += 2999.0;
    meter.timerCallback();
    EXPECT_FALSE(probe.holdFading());
}

TEST_F(MeterFixture, HoldModeOnlyRisesAndNeverFades)
{
    meter.setHoldEnabled(true);
    meter.pushLevels(-6.0f, -20.0f);
    meter.pushLevels(-12.0f, -20.0f);
    EXPECT_EQ(probe.heldPeakDb(), -6.0f);

    clock.nowMs += 60000.0;
    for (int i = 0; i < 100; ++i)
        meter.timerCallback();
    EXPECT_EQ(probe.heldPeakDb(), -6.0f);
    EXPECT_EQ(probe.holdAlpha(), 1.0f);

    meter.pushLevels(-1.0f, -20.0f);
    EXPECT_EQ(probe.heldPeakDb(), -1.0f);
}

TEST_F(MeterFixture, SetHoldEnabled)
{
    meter.pushLevels(-6.0f, -20.0f);

    // On: the value stays as it was, shown at full opacity, with no fade pending.
    meter.setHoldEnabled(true);
    EXPECT_TRUE(probe.holdEnabled());
    EXPECT_EQ(probe.heldPeakDb(), -6.0f);
    EXPECT_EQ(probe.holdAlpha(), 1.0f);
    EXPECT_EQ(probe.holdTimeMs(), 0.0);

    // Off: the marker goes at once, the value stays until a higher one arrives.
    meter.setHoldEnabled(false);
    EXPECT_EQ(probe.holdAlpha(), 0.0f);
    EXPECT_EQ(probe.heldPeakDb(), -6.0f);
    clock.nowMs += 10000.0;
    for (int i = 0; i < 40; ++i)
        meter.timerCallback();
    EXPECT_EQ(probe.heldPeakDb(), -6.0f);

    meter.pushLevels(-4.0f, -20.0f);
    EXPECT_EQ(probe.heldPeakDb(), -4.0f);
    EXPECT_EQ(probe.holdAlpha(), 1.0f);
    EXPECT_EQ(probe.holdTimeMs(), clock.nowMs);
}

TEST_F(MeterFixture, ApplySettingsClampsWindowAndBrightnessButNotTimes)
{
    int raised = 0;
    meter.onSettingsChanged = [&](float, float, float, float) { ++raised; };

    struct Case
    {
        float attack, release, window, bright;
        float expWindow, expBright;
    };
    const Case cases[] = {
        {1.0f, 200.0f, 300.0f, 84.0f, 300.0f, 84.0f},
        {5.0f, 20.0f, 20.0f, 0.0f, 50.0f, 1.0f},
        {0.0f, 3000.0f, 2000.0f, 150.0f, 1000.0f, 100.0f},
        {1.0f, 200.0f, 100.0f, 50.0f, 100.0f, 50.0f},
        {kNaN, kNaN, kNaN, kNaN, 50.0f, 1.0f}, // a value that is not a number takes the lower bound
    };
    for (const auto& c : cases)
    {
        meter.applySettings(c.attack, c.release, c.window, c.bright);
        EXPECT_EQ(probe.rmsWindowMs(), c.expWindow);
        EXPECT_EQ(probe.brightness(), c.expBright);
        EXPECT_FLOAT_EQ(probe.attackCoef(), OrlintMeter::coefFromMs(c.attack));
        EXPECT_FLOAT_EQ(probe.releaseCoef(), OrlintMeter::coefFromMs(c.release));
        EXPECT_FLOAT_EQ(probe.rmsRiseCoef(), OrlintMeter::coefFromMs(0.167f * c.expWindow));
        EXPECT_FLOAT_EQ(probe.rmsFallCoef(), OrlintMeter::coefFromMs(c.expWindow));
    }
    EXPECT_EQ(raised, 0);

    // At the default window the rise follows 50.1 ms, no longer the constructor's 50 ms.
    meter.applySettings(1.0f, 200.0f, 300.0f, 84.0f);
    EXPECT_FLOAT_EQ(probe.rmsRiseCoef(), 0.28299180f);
    EXPECT_EQ(probe.attackMs(), 1.0f);
    EXPECT_EQ(probe.releaseMs(), 200.0f);
}

TEST_F(MeterFixture, NaNNeverReachesTheLevels)
{
    meter.applySettings(kNaN, kNaN, kNaN, kNaN);
    for (float v : {kNaN, -6.0f, kInf, -kInf, kNaN})
    {
        meter.pushLevels(v, v);
        meter.timerCallback();
        meter.timerCallback();
        EXPECT_TRUE(std::isfinite(probe.peakDb()));
        EXPECT_TRUE(std::isfinite(probe.rmsDb()));
        EXPECT_TRUE(std::isfinite(probe.heldPeakDb()));
    }
}

TEST_F(MeterFixture, SteadyLevelsStopAskingForRepaints)
{
    // Fed the same level, the bars settle within a few seconds and then ask for nothing.
    for (const float db : {-99.0f, -100.0f, -12.0f})
    {
        for (int i = 0; i < 1000; ++i)
        {
            meter.pushLevels(db, db);
            meter.timerCallback();
        }
        meter.pushLevels(db, db);
        EXPECT_FALSE(probe.needsRepaint()) << db;
    }

    meter.pushLevels(-11.0f, -12.0f);
    EXPECT_TRUE(probe.needsRepaint()) << "a moving level is drawn";
}
