#include "OvrelTestSupport.h"

#include "gainpair/ovrel/LetterClash.h"
#include "support/StateHelpers.h"

#include <cmath>

namespace
{
using Proc = std::unique_ptr<OvrelAudioProcessor>;

GainLinkBlock& blockOf(OvrelAudioProcessor& proc)
{
    auto* block = proc.gainLink.getBlock();
    EXPECT_NE(block, nullptr);
    return *block;
}

float applied(OvrelAudioProcessor& proc)
{
    return runBlock(proc, 16).getSample(0, 15);
}

class OvrelLinkTest : public OvrelTest
{
protected:
    // A new instance moved to the link ID by its parameter, as a host would do it.
    Proc joinLink(int linkId)
    {
        auto proc = makeProcessor();
        setParam(proc->apvts, "linkID", static_cast<float>(linkId));
        runBlock(*proc, 16);
        tick(*proc);
        EXPECT_EQ(proc->currentLinkId.load(), linkId);
        return proc;
    }

    juce::File lockFolder(int linkId) const { return lockFiles().getLockFolder(linkId); }

    static juce::String lockText(OvrelAudioProcessor& proc)
    {
        return proc.getOwnLockFile(proc.currentLinkId.load()).loadFileAsString();
    }

    // Two instances on link ID 1, both counted by each other; b is the master, a follows.
    void makeMasterAndSlave()
    {
        a = makeProcessor();
        b = joinLink(1);
        tick(*a);
        b->requestMaster = true;
        tick(*b);
        tick(*a);
        ASSERT_EQ(roleOf(*b), LinkRole::Master);
        ASSERT_EQ(roleOf(*a), LinkRole::Slave);
    }

    Proc a, b;
};
} // namespace

TEST_F(OvrelLinkTest, ConstructionChoosesALinkIdAndLetterAndOpensTheBlock)
{
    auto first = makeProcessor();
    EXPECT_EQ(first->currentLinkId.load(), 1);
    EXPECT_EQ(first->instanceLetter.load(), 'A');
    EXPECT_EQ(roleOf(*first), LinkRole::Alone);
    EXPECT_FALSE(first->multiInstance.load());
    const auto text = lockText(*first);
    EXPECT_TRUE(text.endsWith("|A")) << text;
    EXPECT_TRUE(text.upToFirstOccurrenceOf("|", false, false).containsOnly("0123456789")) << text;
    EXPECT_TRUE(first->gainLink.isWriterMapping());
    EXPECT_EQ(blockOf(*first).writerActive.load(), 1);
    EXPECT_EQ(blockOf(*first).masterLetter.load(), 0);

    // The second takes the next free link ID, and its parameter says so.
    auto second = makeProcessor();
    EXPECT_EQ(second->currentLinkId.load(), 2);
    EXPECT_FLOAT_EQ(rawParam(second->apvts, "linkID"), 2.0f);
    EXPECT_EQ(second->instanceLetter.load(), 'A');
    EXPECT_TRUE(scope.nameExists(2));
}

TEST_F(OvrelLinkTest, AloneInstancePublishesEveryBlock)
{
    auto proc = makeProcessor();
    setParam(proc->apvts, "gain", 4.5f);
    setParam(proc->apvts, "bypass", 1.0f);
    blockOf(*proc).timestampMs.store(0);
    runBlock(*proc, 16);
    auto& block = blockOf(*proc);
    EXPECT_FLOAT_EQ(block.gainDb.load(), 4.5f);
    EXPECT_EQ(block.bypass.load(), 1);
    EXPECT_TRUE(block.isCurrent(GainLinkBlock::wallClockMs()));
    EXPECT_FLOAT_EQ(proc->shownGain.load(), 4.5f);
}

TEST_F(OvrelLinkTest, TwoInstancesWaitUntilOneIsClaimedThenOnlyTheMasterPublishes)
{
    a = makeProcessor();
    b = joinLink(1);
    tick(*a);
    EXPECT_EQ(roleOf(*a), LinkRole::Waiting);
    EXPECT_EQ(roleOf(*b), LinkRole::Waiting);
    EXPECT_TRUE(a->multiInstance.load());
    EXPECT_EQ(b->instanceLetter.load(), 'B');

    // Waiting instances apply their own gains and write nothing.
    setParam(a->apvts, "gain", 5.0f);
    setParam(b->apvts, "gain", -2.0f);
    blockOf(*a).gainDb.store(1.5f);
    EXPECT_GT(applied(*a), 1.0f);
    applied(*b);
    EXPECT_FLOAT_EQ(blockOf(*a).gainDb.load(), 1.5f);
    EXPECT_FLOAT_EQ(a->shownGain.load(), 5.0f);

    b->requestMaster = true;
    tick(*b);
    tick(*a);
    EXPECT_EQ(blockOf(*a).masterLetter.load(), 'B');
    EXPECT_EQ(roleOf(*b), LinkRole::Master);
    EXPECT_EQ(roleOf(*a), LinkRole::Slave);
    EXPECT_FALSE(b->requestMaster.load());

    // The slave shows the master's gain at once but keeps applying its own until it follows.
    runBlock(*b, 16);
    EXPECT_FLOAT_EQ(blockOf(*a).gainDb.load(), -2.0f);
    const float out = applied(*a);
    EXPECT_FLOAT_EQ(a->shownGain.load(), -2.0f);
    EXPECT_FLOAT_EQ(rawParam(a->apvts, "gain"), 5.0f);
    EXPECT_GT(out, 1.0f);
    EXPECT_FLOAT_EQ(blockOf(*a).gainDb.load(), -2.0f);
}

TEST_F(OvrelLinkTest, SlaveFollowsOnItsSixthSlaveTickBeyondFiveHundredthsOfADecibel)
{
    makeMasterAndSlave();
    setParam(b->apvts, "gain", 6.0f);
    runBlock(*b, 16);

    // The tick that found the role was the first; four more only settle.
    tick(*a, 4);
    EXPECT_FLOAT_EQ(rawParam(a->apvts, "gain"), 0.0f);
    tick(*a);
    EXPECT_FLOAT_EQ(rawParam(a->apvts, "gain"), 6.0f);

    const struct
    {
        float masterGain, slaveGainAfter;
        bool masterBypass;
    } rows[] = {{6.04f, 6.0f, false}, {6.06f, 6.06f, false}, {-30.0f, -30.0f, true}, {-29.96f, -30.0f, false}};
    for (const auto& r : rows)
    {
        SCOPED_TRACE(r.masterGain);
        setParam(b->apvts, "gain", r.masterGain);
        setParam(b->apvts, "bypass", r.masterBypass ? 1.0f : 0.0f);
        runBlock(*b, 16);
        tick(*a);
        EXPECT_NEAR(rawParam(a->apvts, "gain"), r.slaveGainAfter, 1e-4f);
        EXPECT_EQ(rawParam(a->apvts, "bypass") > 0.5f, r.masterBypass);
        EXPECT_EQ(roleOf(*a), LinkRole::Slave);
    }
}

TEST_F(OvrelLinkTest, SlaveKeepsItsParametersWhileTheBlockIsNotCurrentOrNotAGain)
{
    makeMasterAndSlave();
    tick(*a, 5);
    setParam(a->apvts, "gain", 3.0f);
    auto& block = blockOf(*a);

    block.gainDb.store(10.0f);
    block.writerActive.store(0);
    tick(*a);
    EXPECT_FLOAT_EQ(rawParam(a->apvts, "gain"), 3.0f);

    // A value no Ovrel could have published is neither shown nor followed.
    for (const float bad : {std::nanf(""), INFINITY, 96.0f})
    {
        block.publish(bad, false, GainLinkBlock::wallClockMs());
        tick(*a);
        applied(*a);
        EXPECT_FLOAT_EQ(rawParam(a->apvts, "gain"), 3.0f);
        EXPECT_TRUE(std::isfinite(a->shownGain.load()));
        EXPECT_TRUE(OvrelAudioProcessor::isGainInRange(a->shownGain.load()));
    }
}

TEST_F(OvrelLinkTest, SettleTicksStartAgainAfterTheRoleChanges)
{
    makeMasterAndSlave();
    tick(*a, 5);
    a->requestMaster = true;
    tick(*a);
    tick(*b);
    EXPECT_EQ(roleOf(*a), LinkRole::Master);
    EXPECT_EQ(roleOf(*b), LinkRole::Slave);

    b->requestMaster = true;
    tick(*b);
    tick(*a);
    setParam(b->apvts, "gain", -7.0f);
    runBlock(*b, 16);
    tick(*a, 4);
    EXPECT_FLOAT_EQ(rawParam(a->apvts, "gain"), 0.0f);
    tick(*a);
    EXPECT_FLOAT_EQ(rawParam(a->apvts, "gain"), -7.0f);
}

TEST_F(OvrelLinkTest, LinkIdMoveTakesEffectOnTheNextTick)
{
    auto proc = makeProcessor();
    setParam(proc->apvts, "gain", 2.5f);
    const auto oldFile = proc->getOwnLockFile(1);
    ASSERT_TRUE(oldFile.existsAsFile());

    setParam(proc->apvts, "linkID", 5.0f);
    runBlock(*proc, 16);
    EXPECT_EQ(proc->pendingLinkId.load(), 5);
    EXPECT_EQ(proc->currentLinkId.load(), 1);
    EXPECT_TRUE(oldFile.existsAsFile());

    tick(*proc);
    EXPECT_EQ(proc->pendingLinkId.load(), -1);
    EXPECT_EQ(proc->currentLinkId.load(), 5);
    EXPECT_FALSE(oldFile.existsAsFile());
    // Its old letter is in its own new file when the letter is chosen again, so "A" becomes "B".
    EXPECT_EQ(proc->instanceLetter.load(), 'B');
    EXPECT_TRUE(lockText(*proc).endsWith("|B"));
    EXPECT_EQ(roleOf(*proc), LinkRole::Alone);

    EXPECT_EQ(proc->gainLink.getMappedLinkId(), 5);
    EXPECT_TRUE(proc->gainLink.isWriterMapping());
    EXPECT_FLOAT_EQ(blockOf(*proc).gainDb.load(), 2.5f);
    EXPECT_TRUE(blockOf(*proc).isCurrent(GainLinkBlock::wallClockMs()));
    EXPECT_FALSE(scope.nameExists(1));
    EXPECT_TRUE(scope.nameExists(5));
}

TEST_F(OvrelLinkTest, MasterMovingAwayClearsTheMasterLetterAndLeavesTheOthersWaiting)
{
    makeMasterAndSlave();
    auto c = joinLink(1);
    GainLinkSharedMemory observer(scope.env);
    ASSERT_TRUE(observer.initAsReader(1));

    setParam(b->apvts, "linkID", 9.0f);
    runBlock(*b, 16);
    tick(*b);
    EXPECT_EQ(observer.getBlock()->masterLetter.load(), 0);
    EXPECT_EQ(roleOf(*b), LinkRole::Alone);

    tick(*a, 5);
    tick(*c, 5);
    EXPECT_EQ(roleOf(*a), LinkRole::Waiting);
    EXPECT_EQ(roleOf(*c), LinkRole::Waiting);
}

// A writer moving in beside a master must not publish, not even for the ticks until its next count.
TEST_F(OvrelLinkTest, InstanceMovingInBesideAMasterNeverPublishes)
{
    makeMasterAndSlave();
    setParam(b->apvts, "gain", -2.0f);
    runBlock(*b, 16);

    auto c = makeProcessor();
    tick(*c, 3);
    ASSERT_EQ(roleOf(*c), LinkRole::Alone);
    setParam(c->apvts, "gain", 9.0f);
    setParam(c->apvts, "linkID", 1.0f);
    runBlock(*c, 16);
    tick(*c);
    EXPECT_EQ(roleOf(*c), LinkRole::Slave);
    applied(*c);
    EXPECT_FLOAT_EQ(blockOf(*b).gainDb.load(), -2.0f);
    EXPECT_FLOAT_EQ(c->shownGain.load(), -2.0f);
}

TEST_F(OvrelLinkTest, LiveCountIsRenewedEveryFiveTicks)
{
    auto proc = makeProcessor();
    tick(*proc);
    EXPECT_EQ(proc->activeInstanceCount.load(), 1);

    const auto now = GainLinkBlock::wallClockMs();
    writeFileAt(lockFolder(1).getChildFile("ovrel_1_2_3.lock"), "1|C", now);
    writeFileAt(lockFolder(1).getChildFile("ovrel_1_2_4.lock"), "1|D", now - 6001);
    writeFileAt(lockFolder(1).getChildFile("undrel_1_2_5.lock"), "1", now);
    tick(*proc, 3);
    EXPECT_EQ(proc->activeInstanceCount.load(), 1);
    EXPECT_EQ(roleOf(*proc), LinkRole::Alone);
    tick(*proc);
    tick(*proc);
    EXPECT_EQ(proc->activeInstanceCount.load(), 2);
    EXPECT_EQ(roleOf(*proc), LinkRole::Waiting);
    EXPECT_TRUE(proc->multiInstance.load());

    // When the other instance is gone, the next count makes it Alone, and it writes the block again.
    lockFolder(1).getChildFile("ovrel_1_2_3.lock").deleteFile();
    setParam(proc->apvts, "gain", 8.0f);
    tick(*proc, 5);
    EXPECT_EQ(roleOf(*proc), LinkRole::Alone);
    runBlock(*proc, 16);
    EXPECT_FLOAT_EQ(blockOf(*proc).gainDb.load(), 8.0f);
}

TEST_F(OvrelLinkTest, HeartbeatRewritesTheLockFileEveryTwentyTicks)
{
    auto proc = makeProcessor();
    const auto file = proc->getOwnLockFile(1);
    const auto old = GainLinkBlock::wallClockMs() - 3000;
    setModificationTimeMs(file, old);
    tick(*proc, 19);
    EXPECT_EQ(GainLinkLockFiles::modificationTimeMs(file), old);
    tick(*proc);
    EXPECT_GT(GainLinkLockFiles::modificationTimeMs(file), old + 2000);
    EXPECT_TRUE(file.loadFileAsString().endsWith("|A"));

    // The heartbeat writes into the folder that is there; it never makes one.
    lockFolder(1).deleteRecursively();
    tick(*proc, 20);
    EXPECT_FALSE(lockFolder(1).exists());
}

TEST_F(OvrelLinkTest, DestructionClearsItsMarksAndKeepsTheNameForTheOthers)
{
    makeMasterAndSlave();
    const auto bFile = b->getOwnLockFile(1);
    GainLinkSharedMemory observer(scope.env);
    ASSERT_TRUE(observer.initAsReader(1));
    ASSERT_EQ(observer.getBlock()->masterLetter.load(), 'B');

    b.reset();
    EXPECT_FALSE(bFile.existsAsFile());
    EXPECT_EQ(observer.getBlock()->masterLetter.load(), 0);
    EXPECT_EQ(observer.getBlock()->writerActive.load(), 0);
    // a is still live on link ID 1, so an Undrel added now still finds its block.
    EXPECT_TRUE(scope.nameExists(1));

    tick(*a, 5);
    EXPECT_EQ(roleOf(*a), LinkRole::Alone);
    runBlock(*a, 16);
    EXPECT_EQ(observer.getBlock()->writerActive.load(), 1);

    // The last mapping goes with a.
    observer.close();
    const auto aFile = a->getOwnLockFile(1);
    a.reset();
    EXPECT_FALSE(aFile.existsAsFile());
    EXPECT_FALSE(scope.nameExists(1));
}

// A restore leaves the role alone: a slave that showed Alone until the next tick would publish its
// own gain over the master's.
TEST_F(OvrelLinkTest, RestoreLeavesTheRoleSoASlaveNeverPublishes)
{
    makeMasterAndSlave();
    setParam(b->apvts, "gain", -2.0f);
    runBlock(*b, 16);

    juce::MemoryBlock state;
    {
        auto source = makeProcessor();
        setParam(source->apvts, "gain", 12.0f);
        setParam(source->apvts, "linkID", 1.0f);
        source->getStateInformation(state);
    }
    a->setStateInformation(state.getData(), static_cast<int>(state.getSize()));
    EXPECT_EQ(roleOf(*a), LinkRole::Slave);
    runBlock(*a, 16);
    EXPECT_FLOAT_EQ(blockOf(*a).gainDb.load(), -2.0f);
}

// A link ID beyond the range restores as the nearest limit; nothing is made for the ID itself.
TEST_F(OvrelLinkTest, RestoredLinkIdOutsideItsRangeMakesNoFolder)
{
    auto proc = makeProcessor();
    setParam(proc->apvts, "linkID", 1.0f);
    auto xml = proc->apvts.copyState().createXml();
    xml->getChildByAttribute("id", "linkID")->setAttribute("value", "99");
    restoreState(*proc, blockOf(*xml));
    runBlock(*proc, 16);
    tick(*proc);
    EXPECT_EQ(proc->currentLinkId.load(), 50);
    EXPECT_FALSE(lockFiles().getRootFolder().getChildFile("ID_99").exists());
    EXPECT_FALSE(scope.nameExists(99));
}

namespace
{
std::atomic<bool> refuseMappings{false};

void* mapUnlessRefused(void* address, size_t length, int protection, int flags, int fd, off_t offset)
{
    return refuseMappings.load() ? MAP_FAILED : ::mmap(address, length, protection, flags, fd, offset);
}
} // namespace

// An instance that should publish but could not open the block as writer tries again on its timer.
TEST_F(OvrelLinkTest, AloneWithoutAWriterMappingOpensTheBlockAgain)
{
    auto env = scope.env;
    env.mapObject = mapUnlessRefused;
    refuseMappings = true;
    OvrelAudioProcessor proc(env);
    EXPECT_EQ(proc.gainLink.getBlock(), nullptr);
    tick(proc);
    EXPECT_EQ(roleOf(proc), LinkRole::Alone);
    EXPECT_EQ(proc.gainLink.getBlock(), nullptr);

    refuseMappings = false;
    setParam(proc.apvts, "gain", -5.0f);
    tick(proc);
    ASSERT_TRUE(proc.gainLink.isWriterMapping());
    EXPECT_EQ(proc.gainLink.getMappedLinkId(), 1);
    runBlock(proc, 16);
    EXPECT_FLOAT_EQ(blockOf(proc).gainDb.load(), -5.0f);
}

// Two instances that drew one letter would both take a claim by that letter for their own; the claim's
// tag tells them apart at once, and at its heartbeat the later one takes another letter.
TEST_F(OvrelLinkTest, DuplicateLetterIsGivenUpByTheLaterInstanceAtItsHeartbeat)
{
    a = makeProcessor();
    b = joinLink(1);
    tick(*a);
    b->instanceLetter = 'A';
    GainLinkLockFiles::writeLockFile(b->getOwnLockFile(1),
                                     GainLinkLockFiles::ovrelText(GainLinkBlock::wallClockMs(), 'A'), false);
    a->requestMaster = true;
    tick(*a);
    tick(*b);
    ASSERT_EQ(roleOf(*a), LinkRole::Master);
    ASSERT_EQ(roleOf(*b), LinkRole::Slave);

    const bool aIsEarlier = LetterClash::isEarlier(LetterClash::tokenOfLockFile(a->getOwnLockFile(1)),
                                                   LetterClash::tokenOfLockFile(b->getOwnLockFile(1)));
    auto& earlier = aIsEarlier ? *a : *b;
    auto& later = aIsEarlier ? *b : *a;
    tick(earlier, 20);
    tick(later, 20);
    EXPECT_EQ(earlier.instanceLetter.load(), 'A');
    EXPECT_EQ(later.instanceLetter.load(), 'B');
    EXPECT_TRUE(lockText(later).endsWith("|B"));

    tick(*a);
    tick(*b);
    EXPECT_EQ(roleOf(*a), LinkRole::Master) << "the claimant stays the master, whatever its letter";
    EXPECT_EQ(roleOf(*b), LinkRole::Slave);
}

TEST_F(OvrelLinkTest, InstanceWithoutALetterCannotClaim)
{
    a = makeProcessor();
    b = joinLink(1);
    b->instanceLetter = 0;
    b->requestMaster = true;
    tick(*b);
    EXPECT_EQ(blockOf(*b).masterLetter.load(), 0);
    EXPECT_EQ(roleOf(*b), LinkRole::Waiting);
}

TEST(LetterClash, KeepsOrGivesUpTheLetterByToken)
{
    using H = LetterClash::Holder;
    std::vector<H> allLetters;
    for (char c = 'A'; c <= 'Z'; ++c)
        allLetters.push_back({"100_0_" + juce::String(static_cast<int>(c)), c});
    auto allButQ = allLetters;
    allButQ.erase(allButQ.begin() + ('Q' - 'A'));

    const struct
    {
        const char* name;
        char own;
        std::vector<H> others;
        char expected;
    } rows[] = {
        {"alone", 'C', {}, 'C'},
        {"others hold other letters", 'C', {{"100_0_0", 'A'}, {"100_0_1", 'B'}}, 'C'},
        {"a later instance holds the same letter", 'A', {{"900_0_0", 'A'}}, 'A'},
        {"an earlier instance holds the same letter", 'A', {{"100_0_0", 'A'}, {"100_0_1", 'B'}}, 'C'},
        {"all 26 held by earlier instances", 'A', allLetters, 0},
        {"no letter and one free", 0, allButQ, 'Q'},
        {"no letter and none free", 0, allLetters, 0},
        {"unreadable letters are not held", 'A', {{"100_0_0", 'A'}, {"100_0_1", 0}, {"100_0_2", '?'}}, 'B'},
    };
    for (const auto& r : rows)
        EXPECT_EQ(LetterClash::resolve("500_0_0", r.own, r.others), r.expected) << r.name;
}

TEST(LetterClash, TokensOrderByTheirNumbers)
{
    EXPECT_TRUE(LetterClash::isEarlier("99_5_5", "100_0_0"));
    EXPECT_TRUE(LetterClash::isEarlier("100_5_7", "100_6_1"));
    EXPECT_TRUE(LetterClash::isEarlier("100_6_9", "100_6_10"));
    EXPECT_FALSE(LetterClash::isEarlier("100_6_10", "100_6_10"));
    EXPECT_EQ(LetterClash::tokenOfLockFile(juce::File("/x/ID_3/ovrel_1700000000000_12_345.lock")),
              "1700000000000_12_345");
}
