#include "OvrelTestSupport.h"

#include "support/StateHelpers.h"

#include <cmath>

TEST_F(OvrelTest, RestoredBypassedStateAppliesUnityAtOnceAndShowsTheGain)
{
    auto source = makeProcessor();
    setParam(source->apvts, "gain", 18.0f);
    setParam(source->apvts, "bypass", 1.0f);
    const auto block = saveState(*source);

    for (const bool prepared : {false, true})
    {
        SCOPED_TRACE(prepared);
        auto proc = makeProcessor();
        setParam(proc->apvts, "gain", -30.0f);
        proc->prepareToPlay(48000.0, 64);
        runBlock(*proc, 64);
        restoreState(*proc, block);
        if (prepared)
            proc->prepareToPlay(44100.0, 64);
        const auto out = runBlock(*proc, 64);
        EXPECT_FLOAT_EQ(out.getSample(0, 0), 1.0f);
        EXPECT_FLOAT_EQ(out.getSample(1, 63), 1.0f);
        EXPECT_FLOAT_EQ(proc->shownGain.load(), 18.0f);
    }
}

TEST_F(OvrelTest, RestoredGainIsAppliedByTheNextBlockWithoutRamp)
{
    auto source = makeProcessor();
    setParam(source->apvts, "gain", -6.0f);
    const auto block = saveState(*source);

    auto proc = makeProcessor();
    proc->prepareToPlay(48000.0, 64);
    setParam(proc->apvts, "gain", 12.0f);
    runBlock(*proc, 64); // now ramping up from 0 dB
    restoreState(*proc, block);
    const auto out = runBlock(*proc, 64);
    EXPECT_NEAR(out.getSample(0, 0), std::pow(10.0f, -6.0f / 20.0f), 1e-6f);
    EXPECT_NEAR(out.getSample(0, 63), std::pow(10.0f, -6.0f / 20.0f), 1e-6f);
}
