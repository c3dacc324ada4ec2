#include "OvrelTestSupport.h"

#include <functional>

namespace
{
// This process holds one Ovrel instance; a second process (OvrelPeer) holds another on the same link ID.
class OvrelTwoProcess : public OvrelTest
{
protected:
    void startPeer(float gainDb, bool claim)
    {
        peerHome.createDirectory();
        const auto folder = peerHome.getFullPathName();
        ASSERT_TRUE(peer.start(juce::StringArray{ORZ_OVREL_PEER, folder, juce::String(scope.env.objectNamePrefix), "1",
                                                 juce::String(gainDb), claim ? "1" : "0"}));
    }

    juce::String peerStatus() const { return peerHome.getChildFile("peer-status").loadFileAsString(); }

    // Runs this instance's blocks and timer as a host would, until done() or 20 s have passed.
    bool drive(OvrelAudioProcessor& own, const std::function<bool()>& done)
    {
        const auto deadline = juce::Time::getMillisecondCounter() + 20000;
        while (juce::Time::getMillisecondCounter() < deadline)
        {
            runBlock(own, 64);
            tick(own);
            if (done())
                return true;
            juce::Thread::sleep(20);
        }
        return false;
    }

    void stopPeer()
    {
        peerHome.getChildFile("stop").create();
        EXPECT_TRUE(peer.waitForProcessToFinish(30000));
        EXPECT_EQ(peer.getExitCode(), 0u);
    }

    // The peer's application-data folder: this process's, or that of another home folder.
    juce::File peerHome = scope.env.applicationDataFolder;
    juce::ChildProcess peer;
};

// The peer runs with a home folder of its own (a sandboxed host, another user, another environment):
// the lock files do not meet, only the link object does.
class OvrelTwoHomes : public OvrelTwoProcess
{
protected:
    OvrelTwoHomes() { peerHome = scope.env.applicationDataFolder.getChildFile("other-home"); }
};
} // namespace

TEST_F(OvrelTwoProcess, PeerClaimsTheMasterRoleAndThisInstanceFollows)
{
    auto own = makeProcessor();
    own->prepareToPlay(48000.0, 64);
    startPeer(6.0f, true);

    const bool followed = drive(
        *own, [&]
        { return roleOf(*own) == LinkRole::Slave && juce::approximatelyEqual(rawParam(own->apvts, "gain"), 6.0f); });
    EXPECT_TRUE(followed) << "role " << own->linkRole.load() << ", peer " << peerStatus();
    EXPECT_TRUE(peerStatus().startsWith("3 6.00")) << peerStatus();
    EXPECT_FLOAT_EQ(own->shownGain.load(), 6.0f);
    stopPeer();
}

TEST_F(OvrelTwoProcess, ThisInstanceClaimsAndThePeerFollowsGainAndBypass)
{
    auto own = makeProcessor();
    own->prepareToPlay(48000.0, 64);
    setParam(own->apvts, "gain", -9.0f);
    setParam(own->apvts, "bypass", 1.0f);
    startPeer(0.0f, false);

    bool claimed = false;
    const bool followed = drive(*own,
                                [&]
                                {
                                    if (!claimed && own->multiInstance.load())
                                        own->requestMaster = claimed = true;
                                    return peerStatus() == "2 -9.00 1";
                                });
    EXPECT_TRUE(followed) << "peer " << peerStatus();
    EXPECT_EQ(roleOf(*own), LinkRole::Master);
    stopPeer();

    // The peer is gone: within a count this instance is alone again.
    EXPECT_TRUE(drive(*own, [&] { return roleOf(*own) == LinkRole::Alone; }));
}

// Both write one link: each must know it is not alone, and after a claim one writer remains.
TEST_F(OvrelTwoHomes, OvrelsOfTwoHomeFoldersSeeEachOtherAndEndWithOneWriter)
{
    auto own = makeProcessor();
    own->prepareToPlay(48000.0, 64);
    setParam(own->apvts, "gain", -5.0f);
    startPeer(2.5f, false);

    EXPECT_TRUE(drive(*own, [&] { return own->multiInstance.load() && peerStatus().startsWith("1 "); }))
        << "role " << own->linkRole.load() << ", peer " << peerStatus();
    EXPECT_EQ(roleOf(*own), LinkRole::Waiting);

    own->requestMaster = true;
    EXPECT_TRUE(drive(*own, [&] { return peerStatus() == "2 -5.00 0"; })) << "peer " << peerStatus();
    EXPECT_EQ(roleOf(*own), LinkRole::Master);
    EXPECT_FLOAT_EQ(own->gainLink.getBlock()->gainDb.load(), -5.0f);
    stopPeer();
}

// The peer leaves cleanly while this pair goes on: the name must stay with the object this pair
// uses, so that an Undrel added afterwards compensates what this Ovrel applies.
TEST_F(OvrelTwoHomes, OvrelLeavingFromAnotherHomeFolderLeavesTheNameToThePairThatStays)
{
    auto own = makeProcessor();
    own->prepareToPlay(48000.0, 64);
    setParam(own->apvts, "gain", 2.5f);
    GainLinkSharedMemory undrel(scope.env);
    ASSERT_TRUE(undrel.initAsReader(1));

    startPeer(-5.0f, false);
    ASSERT_TRUE(drive(*own, [&] { return own->multiInstance.load(); })) << "peer " << peerStatus();
    stopPeer();
    ASSERT_TRUE(drive(*own, [&] { return roleOf(*own) == LinkRole::Alone; }));

    EXPECT_TRUE(scope.nameExists(1));
    GainLinkSharedMemory lateUndrel(scope.env);
    ASSERT_TRUE(lateUndrel.initAsReader(1));
    runBlock(*own, 64);
    EXPECT_FLOAT_EQ(lateUndrel.getBlock()->gainDb.load(), 2.5f);
    undrel.getBlock()->compensationDb.store(-2.5f);
    EXPECT_EQ(lateUndrel.getBlock()->compensationDb.load(), -2.5f) << "both Undrels map one object";
}
