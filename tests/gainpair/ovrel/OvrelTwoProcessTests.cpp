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
        const auto folder = scope.env.applicationDataFolder.getFullPathName();
        ASSERT_TRUE(peer.start(juce::StringArray{ORZ_OVREL_PEER, folder, juce::String(scope.env.objectNamePrefix), "1",
                                                 juce::String(gainDb), claim ? "1" : "0"}));
    }

    juce::String peerStatus() const
    {
        return scope.env.applicationDataFolder.getChildFile("peer-status").loadFileAsString();
    }

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
        scope.env.applicationDataFolder.getChildFile("stop").create();
        EXPECT_TRUE(peer.waitForProcessToFinish(30000));
        EXPECT_EQ(peer.getExitCode(), 0u);
    }

    juce::ChildProcess peer;
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
