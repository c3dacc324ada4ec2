#include "UndrelTestSupport.h"

#include "support/StateHelpers.h"

namespace
{
constexpr int kRamp = 7200;
} // namespace

TEST_F(UndrelTest, RestoreSetsTheTrimAtOnceAndTakesACurrentBlock)
{
    OvrelStandIn ovrel(scope.env, 1, 0.0f);
    auto source = makeProcessor();
    setParam(source->apvts, "trim", -5.0f);
    const auto trimmed = saveState(*source);
    setParam(source->apvts, "bypass", 1.0f);
    const auto bypassed = saveState(*source);
    source.reset();

    for (const bool prepareAfter : {false, true})
    {
        SCOPED_TRACE(prepareAfter);
        auto proc = makeProcessor();
        proc->prepareToPlay(48000.0, 512);
        setParam(proc->apvts, "trim", 10.0f);
        runBlock(*proc, 64); // ramping towards +10 dB
        ovrel.publish(8.0f); // not yet taken

        restoreState(*proc, trimmed);
        EXPECT_EQ(proc->receivedGainDb.load(), 8.0f);
        if (prepareAfter)
            proc->prepareToPlay(44100.0, 512);
        const auto out = runBlock(*proc, 64);
        EXPECT_NEAR(dbOf(out.getSample(0, 0)), -13.0f, 1e-4f);
        EXPECT_NEAR(dbOf(out.getSample(1, 63)), -13.0f, 1e-4f);

        restoreState(*proc, bypassed);
        EXPECT_NEAR(dbOf(runBlock(*proc, 4).getSample(0, 0)), -8.0f, 1e-4f) << "bypass keeps the compensation";
        ovrel.publish(0.0f);
    }
}

TEST_F(UndrelTest, RestoreLeavesTheCompensationWhenTheBlockIsNotCurrent)
{
    OvrelStandIn ovrel(scope.env, 1, 6.0f);
    auto proc = makeProcessor();
    proc->prepareToPlay(48000.0, 512);
    const auto saved = saveState(*proc);
    EXPECT_NEAR(settledDb(*proc), -6.0f, 1e-4f);

    ovrel.block().gainDb.store(-3.0f);
    ovrel.block().writerActive.store(0);
    restoreState(*proc, saved);
    EXPECT_EQ(proc->receivedGainDb.load(), 6.0f);
    EXPECT_NEAR(settledDb(*proc, kRamp), -6.0f, 1e-4f);
}
