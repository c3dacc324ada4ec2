#include "OrlintMeterProbe.h"

#include "support/KeptImage.h"

#include <gtest/gtest.h>

namespace
{
// A meter of the gain editors' size, ticked by hand with a hand-driven clock.
struct MeterRepaints : ::testing::Test
{
    MeterRepaints()
    {
        meter.stopTimer();
        meter.setBounds(0, 0, 60, 234);
        clock.attach(meter);
    }

    // One owner tick and one of the meter's own, 16 ms apart.
    void tick(float peak, float rms)
    {
        meter.pushLevels(peak, rms);
        meter.timerCallback();
        clock.nowMs += 16.0;
    }

    OrlintMeter meter;
    ManualClock clock;
};
} // namespace

// A processor that has not run yet reads a steady level that is not silence. Two timers of the same
// rate drift against each other, so the meter's own timer now and then ticks twice between two
// pushes: the bars may dip by a fraction of a row, which shows nothing and must repaint nothing.
TEST_F(MeterRepaints, ASteadyLevelRepaintsNothingWhenTheTimersDrift)
{
    meter.adaptivePeakInset = true;
    meter.setScaleSide(0);
    KeptImage kept(meter);
    for (int t = 0; t < 300; ++t)
        tick(-60.0f, -60.0f);
    kept.update("meter-settle");

    int ticksThatRepainted = 0;
    for (int t = 0; t < 600; ++t)
    {
        tick(-60.0f, -60.0f);
        if (t % 7 == 0)
            meter.timerCallback(); // a second tick of its own before the next push
        if (kept.anythingRequested())
            ++ticksThatRepainted;
        kept.update("meter-drift");
        clock.nowMs = 10000.0; // the held peak stays lit
    }
    EXPECT_EQ(ticksThatRepainted, 0);
}

// The meter repaints only the part of itself that changed; the picture kept from those parts must
// match a whole drawing after every tick, for levels, the held peak, its fade, the hold mode and a
// click on the readout.
TEST(MeterPartialRepaints, EachTickRepaintsEverythingThatChanged)
{
    using Mods = juce::ModifierKeys;
    const juce::Point<float> readoutAt{40.0f, 225.0f}, barAt{40.0f, 100.0f};
    const int shiftClick = Mods::shiftModifier | Mods::leftButtonModifier;
    const struct
    {
        int press; // 0: none, else the modifiers of a click before the ticks
        juce::Point<float> at;
        int ticks;
        float peak, rms;
    } moves[] = {
        {0, {}, 5, -12.0f, -18.0f},
        {0, {}, 40, 2.0f, -3.0f}, // over the top: the red zone and a held +2.0
        {0, {}, 40, -30.0f, -36.0f},
        {0, {}, 260, -99.0f, -99.0f}, // bars fall, the held peak waits 3 s and fades
        {0, {}, 20, -70.0f, -80.0f},  // the tail only
        {shiftClick, barAt, 5, -20.0f, -24.0f},
        {0, {}, 5, -6.0f, -10.0f},
        {Mods::leftButtonModifier, readoutAt, 5, -40.0f, -44.0f},
        {shiftClick, barAt, 250, -50.0f, -60.0f},
    };

    for (const int side : {0, 1})
        for (const float scale : {1.0f, 2.0f})
        {
            OrlintMeter meter;
            meter.stopTimer();
            meter.setBounds(0, 0, 60, 234);
            meter.setScaleSide(side);
            meter.adaptivePeakInset = side == 1;
            ManualClock clock;
            clock.attach(meter);
            KeptImage kept(meter, scale);
            int step = 0;
            for (const auto& m : moves)
            {
                if (m.press != 0)
                    meter.mouseDown(meterMouseEvent(meter, m.at, Mods(m.press)));
                for (int t = 0; t < m.ticks; ++t)
                {
                    meter.pushLevels(m.peak, m.rms);
                    meter.timerCallback();
                    clock.nowMs += 16.0;
                    kept.update("meter-side" + juce::String(side) + "-" + juce::String(++step) + "-x" +
                                juce::String(scale));
                }
            }
        }
}
