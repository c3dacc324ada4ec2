#include "UndrelTestSupport.h"

#include <limits>

namespace
{
constexpr int kRamp = 7200; // 0.15 s at 48 kHz

std::unique_ptr<UndrelAudioProcessor> prepared(std::unique_ptr<UndrelAudioProcessor> proc)
{
    proc->prepareToPlay(48000.0, 512);
    return proc;
}

// Output gain in dB at a sample index of one block of constant input 1.
float dbAt(const juce::AudioBuffer<float>& out, int sample)
{
    return dbOf(out.getSample(0, sample));
}
} // namespace

// ---- Reading the block on the audio thread ----

TEST_F(UndrelTest, CompensatesOvrelsGainAfterTheRampAndReportsItsTarget)
{
    OvrelStandIn ovrel(scope.env, 1, 0.0f);
    auto proc = prepared(makeProcessor());

    ovrel.publish(6.0f);
    const auto out = runBlock(*proc, kRamp);
    EXPECT_NEAR(dbAt(out, kRamp / 2 - 1), -3.0f, 1e-3f);
    EXPECT_NEAR(dbAt(out, kRamp - 1), -6.0f, 1e-4f);
    EXPECT_EQ(ovrel.compensation(), -6.0f);
    EXPECT_EQ(proc->appliedGainDb.load(), -6.0f);
    EXPECT_EQ(proc->receivedGainDb.load(), 6.0f);
    EXPECT_FALSE(proc->receivedBypass.load());
}

TEST_F(UndrelTest, OvrelBypassedRemovesTheCompensationAndKeepsTheTrim)
{
    OvrelStandIn ovrel(scope.env, 1, 6.0f);
    auto proc = prepared(makeProcessor());
    setParam(proc->apvts, "trim", 3.0f);
    EXPECT_NEAR(settledDb(*proc, kRamp), -3.0f, 1e-4f);

    ovrel.publish(6.0f, true);
    EXPECT_NEAR(settledDb(*proc, kRamp), 3.0f, 1e-4f);
    EXPECT_TRUE(proc->receivedBypass.load());
    EXPECT_EQ(proc->receivedGainDb.load(), 6.0f);
    EXPECT_EQ(proc->appliedGainDb.load(), 3.0f);
    EXPECT_EQ(ovrel.compensation(), 3.0f);
}

TEST_F(UndrelTest, UndrelBypassedRemovesTheTrimAndKeepsTheCompensation)
{
    OvrelStandIn ovrel(scope.env, 1, 6.0f);
    auto proc = prepared(makeProcessor());
    setParam(proc->apvts, "trim", 3.0f);
    EXPECT_NEAR(settledDb(*proc, kRamp), -3.0f, 1e-4f);

    setParam(proc->apvts, "bypass", 1.0f);
    EXPECT_NEAR(settledDb(*proc, kRamp), -6.0f, 1e-4f);
    EXPECT_EQ(ovrel.compensation(), -6.0f);
}

TEST_F(UndrelTest, StaleOrMissingOvrelLeavesTheLastCompensation)
{
    auto ovrel = std::make_unique<OvrelStandIn>(scope.env, 1, 6.0f);
    auto proc = prepared(makeProcessor());
    EXPECT_NEAR(settledDb(*proc), -6.0f, 1e-4f);

    struct Case
    {
        const char* name;
        std::int64_t stampAgeMs;
        std::uint8_t active;
        bool taken;
    };
    const Case cases[] = {
        {"current", 0, 1, true},          {"almost 6000 ms old", 5900, 1, true},
        {"6001 ms old", 6001, 1, false},  {"from the future", -10000, 1, false},
        {"inactive writer", 0, 0, false},
    };
    float expected = 6.0f;
    float published = 6.0f;
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        published += 1.0f;
        ovrel->block().gainDb.store(published);
        ovrel->block().timestampMs.store(GainLinkBlock::wallClockMs() - c.stampAgeMs);
        ovrel->block().writerActive.store(c.active);
        if (c.taken)
            expected = published;

        EXPECT_NEAR(settledDb(*proc, kRamp), -expected, 1e-4f);
        EXPECT_EQ(proc->receivedGainDb.load(), expected);
        // The target goes into the block on every block, current or not.
        EXPECT_EQ(ovrel->compensation(), -expected);
    }

    ovrel.reset();
    EXPECT_NEAR(settledDb(*proc, kRamp), -expected, 1e-4f);
}

// A gain no Ovrel could have published (a damaged or foreign object) must not reach the audio.
TEST_F(UndrelTest, TakesOnlyFiniteGainsWithinOvrelsRange)
{
    OvrelStandIn ovrel(scope.env, 1, -6.0f);
    auto proc = prepared(makeProcessor());
    EXPECT_NEAR(settledDb(*proc), 6.0f, 1e-4f);

    constexpr float inf = std::numeric_limits<float>::infinity();
    for (const float bad : {std::numeric_limits<float>::quiet_NaN(), inf, -inf, 48.01f, -48.01f, 1e30f, -1000.0f})
    {
        SCOPED_TRACE(bad);
        ovrel.block().bypass.store(1);
        ovrel.block().gainDb.store(bad);
        const auto out = runBlock(*proc, kRamp);
        EXPECT_TRUE(std::isfinite(out.getMagnitude(0, kRamp)));
        EXPECT_NEAR(dbAt(out, kRamp - 1), 6.0f, 1e-4f);
        EXPECT_EQ(proc->receivedGainDb.load(), -6.0f);
        EXPECT_FALSE(proc->receivedBypass.load()) << "the bypass of a refused block is not taken either";
        EXPECT_EQ(ovrel.compensation(), 6.0f);
    }

    for (const float edge : {48.0f, -48.0f})
    {
        SCOPED_TRACE(edge);
        ovrel.publish(edge);
        EXPECT_NEAR(settledDb(*proc, kRamp), -edge, 1e-3f);
    }
}

TEST_F(UndrelTest, ConstructionTakesACurrentBlockWithoutARamp)
{
    {
        OvrelStandIn ovrel(scope.env, 1, 9.0f);
        auto proc = makeProcessor();
        EXPECT_EQ(proc->receivedGainDb.load(), 9.0f);
        const auto out = runBlock(*proc, 4);
        EXPECT_NEAR(dbAt(out, 0), -9.0f, 1e-4f);
        EXPECT_EQ(ovrel.compensation(), -9.0f);
    }
    {
        // Mapped but stale: nothing is taken, and the block still hears Undrel's target.
        OvrelStandIn ovrel(scope.env, 1, 9.0f);
        ovrel.block().writerActive.store(0);
        auto proc = makeProcessor();
        EXPECT_NE(proc->gainLink.getBlock(), nullptr);
        EXPECT_EQ(proc->receivedGainDb.load(), 0.0f);
        EXPECT_NEAR(settledDb(*proc), 0.0f, 1e-5f);
        EXPECT_EQ(ovrel.compensation(), 0.0f);
    }
    {
        OvrelStandIn ovrel(scope.env, 1, 9.0f, true);
        auto proc = makeProcessor();
        EXPECT_TRUE(proc->receivedBypass.load());
        EXPECT_NEAR(dbAt(runBlock(*proc, 4), 0), 0.0f, 1e-5f);
    }
}

TEST_F(UndrelTest, PrepareToPlaySnapsTheCompensationToTheReceivedGain)
{
    OvrelStandIn ovrel(scope.env, 1, 0.0f);
    auto proc = prepared(makeProcessor());
    ovrel.publish(-12.0f);
    runBlock(*proc, 16);
    proc->prepareToPlay(44100.0, 512);
    EXPECT_NEAR(dbAt(runBlock(*proc, 4), 0), 12.0f, 1e-4f);
}

// ---- The 2000 ms timer ----

TEST_F(UndrelTest, TimerMovesToThePendingLinkIdAndTakesItsBlockAtOnce)
{
    OvrelStandIn one(scope.env, 1, 2.0f);
    setModificationTimeMs(one.lockFile, GainLinkBlock::wallClockMs() - 3000);
    OvrelStandIn four(scope.env, 4, -5.0f);
    auto proc = prepared(makeProcessor());
    ASSERT_EQ(proc->currentLinkId.load(), 4);

    // The audio block only asks; the move is the timer's.
    setParam(proc->apvts, "linkID", 1.0f);
    EXPECT_NEAR(settledDb(*proc), 5.0f, 1e-4f);
    EXPECT_EQ(proc->pendingLinkId.load(), 1);
    EXPECT_EQ(proc->currentLinkId.load(), 4);
    EXPECT_EQ(proc->gainLink.getMappedLinkId(), 4);
    EXPECT_EQ(four.compensation(), 5.0f);

    proc->timerCallback();

    EXPECT_EQ(proc->currentLinkId.load(), 1);
    EXPECT_EQ(proc->pendingLinkId.load(), -1);
    EXPECT_EQ(proc->gainLink.getMappedLinkId(), 1);
    EXPECT_FALSE(proc->getOwnLockFile(4).exists());
    EXPECT_TRUE(proc->getOwnLockFile(1).existsAsFile());
    EXPECT_EQ(proc->receivedGainDb.load(), 2.0f);
    EXPECT_NEAR(dbAt(runBlock(*proc, 4), 0), -2.0f, 1e-4f) << "no ramp after a move";
    EXPECT_EQ(one.compensation(), -2.0f);
    EXPECT_EQ(four.compensation(), 5.0f) << "the old block hears nothing more";
}

TEST_F(UndrelTest, TimerMoveToAnEmptyLinkIdKeepsTheCompensationUntilAnOvrelComes)
{
    OvrelStandIn one(scope.env, 1, 6.0f);
    auto proc = prepared(makeProcessor());

    setParam(proc->apvts, "linkID", 30.0f);
    runBlock(*proc, 16);
    proc->timerCallback();
    EXPECT_EQ(proc->currentLinkId.load(), 30);
    EXPECT_TRUE(lockFiles().getLockFolder(30).isDirectory());
    EXPECT_TRUE(proc->getOwnLockFile(30).existsAsFile());
    EXPECT_EQ(proc->gainLink.getBlock(), nullptr);
    EXPECT_NEAR(settledDb(*proc), -6.0f, 1e-4f);

    // The closed handle is retried on every tick.
    proc->timerCallback();
    EXPECT_EQ(proc->gainLink.getBlock(), nullptr);
    OvrelStandIn thirty(scope.env, 30, -3.0f, false);
    proc->timerCallback();
    ASSERT_NE(proc->gainLink.getBlock(), nullptr);
    EXPECT_EQ(proc->gainLink.getMappedLinkId(), 30);
    EXPECT_NEAR(dbAt(runBlock(*proc, 4), 0), 3.0f, 1e-4f) << "no ramp after a reopen";
    EXPECT_EQ(thirty.compensation(), 3.0f);
}

TEST_F(UndrelTest, TimerHeartbeatRewritesTheLockFileButNeverItsFolder)
{
    auto proc = makeProcessor();
    const auto own = proc->getOwnLockFile(1);
    const auto now = GainLinkBlock::wallClockMs();
    setModificationTimeMs(own, now - 60000);
    ASSERT_FALSE(GainLinkLockFiles::isLive(own, now));

    proc->timerCallback();
    EXPECT_TRUE(GainLinkLockFiles::isLive(own, GainLinkBlock::wallClockMs()));
    EXPECT_NEAR(static_cast<double>(own.loadFileAsString().getLargeIntValue()),
                static_cast<double>(GainLinkBlock::wallClockMs()), 5000.0);

    lockFiles().getLockFolder(1).deleteRecursively();
    proc->timerCallback();
    EXPECT_FALSE(lockFiles().getLockFolder(1).exists());
}

TEST_F(UndrelTest, TimerKeepsAMappingWhoseNameStillRefersToIt)
{
    OvrelStandIn ovrel(scope.env, 1, 6.0f);
    auto proc = prepared(makeProcessor());
    auto* mapped = proc->gainLink.getBlock();

    ovrel.block().writerActive.store(0);
    proc->timerCallback();
    EXPECT_EQ(proc->gainLink.getBlock(), mapped);
    EXPECT_NEAR(settledDb(*proc), -6.0f, 1e-4f);
}

// When the Ovrel an Undrel followed is removed, the name stays for the Undrel that still maps the
// object. Should the name go all the same (a build that removes it with its writer), the next Ovrel
// on the link ID creates a new object under it; without a reopen Undrel would read the stale one
// forever.
TEST_F(UndrelTest, TimerReopensWhenItsOvrelHasGoneAndANewOneTookTheName)
{
    auto first = std::make_unique<OvrelStandIn>(scope.env, 1, 6.0f);
    auto proc = prepared(makeProcessor());
    EXPECT_NEAR(settledDb(*proc), -6.0f, 1e-4f);

    first.reset();
    ASSERT_TRUE(scope.nameExists(1));
    shm_unlink(scope.env.objectNameFor(1).c_str());
    proc->timerCallback();
    EXPECT_NE(proc->gainLink.getBlock(), nullptr) << "no new object yet: the old mapping stays";

    OvrelStandIn second(scope.env, 1, 2.0f);
    proc->timerCallback();
    EXPECT_EQ(proc->receivedGainDb.load(), 2.0f);
    EXPECT_NEAR(dbAt(runBlock(*proc, 4), 0), -2.0f, 1e-4f);
    EXPECT_EQ(second.compensation(), -2.0f);
}

TEST_F(UndrelTest, TimerKeepsACurrentMappingEvenWhenTheNameMoved)
{
    OvrelStandIn first(scope.env, 1, 6.0f);
    auto proc = prepared(makeProcessor());

    // The name moves to a new object while the mapped one is still kept current.
    shm_unlink(scope.env.objectNameFor(1).c_str());
    OvrelStandIn second(scope.env, 1, 2.0f);
    first.publish(6.0f);
    proc->timerCallback();
    EXPECT_NEAR(settledDb(*proc), -6.0f, 1e-4f);
    EXPECT_EQ(first.compensation(), -6.0f);
}

// ---- Destruction ----

TEST_F(UndrelTest, DestructorDeletesItsLockFileAndLeavesTheBlockAlone)
{
    OvrelStandIn ovrel(scope.env, 1, 6.0f);
    auto proc = prepared(makeProcessor());
    runBlock(*proc, 64);
    ovrel.block().compensationDb.store(42.0f);
    const auto own = proc->getOwnLockFile(1);
    ASSERT_TRUE(own.existsAsFile());

    proc.reset();
    EXPECT_FALSE(own.exists());
    EXPECT_TRUE(lockFiles().getLockFolder(1).isDirectory());
    EXPECT_EQ(ovrel.compensation(), 42.0f);
    EXPECT_EQ(ovrel.block().writerActive.load(), 1);
    EXPECT_TRUE(scope.nameExists(1)) << "a reader never removes the name";
}

TEST_F(UndrelTest, DestructorAfterAMoveDeletesTheLockOfTheNewLinkId)
{
    auto proc = makeProcessor();
    proc->pendingLinkId.store(12);
    proc->timerCallback();
    const auto own = proc->getOwnLockFile(12);
    ASSERT_TRUE(own.existsAsFile());
    proc.reset();
    EXPECT_FALSE(own.exists());
    EXPECT_TRUE(lockFiles().listLockFiles(lockFiles().getLockFolder(1), GainLinkLockFiles::Owner::any).isEmpty());
}
