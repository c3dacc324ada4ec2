#include "UndrelTestSupport.h"

#include <functional>
#include <map>

namespace
{
constexpr float kInput = 0.25f;       // what the peer's Ovrel is fed
constexpr float kChainGain = 0.5f;    // the chain between the two, a plain gain stage here
constexpr int kSettleSamples = 15360; // 0.32 s at 48 kHz, longer than any ramp

struct PeerStatus
{
    int linkId = -1;
    int ticks = -1;
    float outputGain = 0.0f; // the peer's output over its input
    float compensationDb = 0.0f;
};

// What the peer's Ovrel reads in its block: Undrel's target, printed with four decimals.
std::function<bool(const PeerStatus&)> compensationIs(float db)
{
    return [db](const PeerStatus& s) { return std::abs(s.compensationDb - db) < 1e-5f; };
}

// The peer's Ovrel (OvrelChainPeer) runs in a process of its own; Undrel runs here. The audio that
// left Ovrel reaches this process as the gain it applied, through the chain's gain stage.
class UndrelTwoProcess : public UndrelTest
{
protected:
    ~UndrelTwoProcess() override
    {
        for (auto& [name, peer] : peers)
            stopPeer(name);
    }

    void startPeer(const juce::String& name)
    {
        auto& peer = peers[name];
        peer = std::make_unique<juce::ChildProcess>();
        ASSERT_TRUE(
            peer->start(juce::StringArray{ORZ_OVREL_CHAIN_PEER, scope.env.applicationDataFolder.getFullPathName(),
                                          juce::String(scope.env.objectNamePrefix), name},
                        0));
        ASSERT_TRUE(waitFor(name, [](const PeerStatus& s) { return s.linkId > 0; })) << "peer " << name;
    }

    void stopPeer(const juce::String& name)
    {
        auto& peer = peers[name];
        if (peer == nullptr)
            return;
        scope.env.applicationDataFolder.getChildFile(name + ".stop").create();
        EXPECT_TRUE(peer->waitForProcessToFinish(30000));
        EXPECT_EQ(peer->getExitCode(), 0u);
        peer.reset();
    }

    void command(const juce::String& name, float gainDb, bool bypass, int ticks = 0)
    {
        scope.env.applicationDataFolder.getChildFile(name + ".command")
            .replaceWithText(juce::String(gainDb) + " " + (bypass ? "1" : "0") + " " + juce::String(ticks));
    }

    PeerStatus status(const juce::String& name) const
    {
        const auto words = juce::StringArray::fromTokens(
            scope.env.applicationDataFolder.getChildFile(name + ".status").loadFileAsString(), false);
        if (words.size() != 4)
            return {};
        return {words[0].getIntValue(), words[1].getIntValue(), words[2].getFloatValue(), words[3].getFloatValue()};
    }

    bool waitFor(const juce::String& name, const std::function<bool(const PeerStatus&)>& done) const
    {
        const auto deadline = juce::Time::getMillisecondCounter() + 20000;
        while (juce::Time::getMillisecondCounter() < deadline)
        {
            if (done(status(name)))
                return true;
            juce::Thread::sleep(5);
        }
        return false;
    }

    // Waits for the peer's Ovrel to settle on the given gain, then runs Undrel on what the chain
    // makes of it for longer than any ramp; returns Undrel's output over the input.
    float chainGain(UndrelAudioProcessor& undrel, const juce::String& name, float expectedOvrelGain)
    {
        EXPECT_TRUE(waitFor(name, [&](const PeerStatus& s)
                            { return std::abs(s.outputGain - expectedOvrelGain) < 1e-6f * expectedOvrelGain; }))
            << "peer output " << status(name).outputGain;
        return chainGainWithoutOvrel(undrel, status(name).outputGain);
    }

    static float chainGainWithoutOvrel(UndrelAudioProcessor& undrel, float drive = 1.0f)
    {
        const auto out = runBlock(undrel, kSettleSamples, kInput * drive * kChainGain);
        return out.getSample(0, kSettleSamples - 1) / (kInput * kChainGain);
    }

    float linear(float db) const { return UndrelAudioProcessor::linearGain(db); }

    std::map<juce::String, std::unique_ptr<juce::ChildProcess>> peers;
};
} // namespace

TEST_F(UndrelTwoProcess, UndrelRestoresTheLevelThatOvrelInAnotherProcessDrove)
{
    startPeer("ovrel");
    auto undrel = makeProcessor();
    EXPECT_EQ(undrel->currentLinkId.load(), status("ovrel").linkId);
    undrel->prepareToPlay(48000.0, 512);

    command("ovrel", 6.0f, false);
    EXPECT_NEAR(chainGain(*undrel, "ovrel", linear(6.0f)), 1.0f, 1e-4f);
    EXPECT_TRUE(waitFor("ovrel", compensationIs(-6.0f))) << status("ovrel").compensationDb;

    command("ovrel", 6.0f, true);
    EXPECT_NEAR(chainGain(*undrel, "ovrel", 1.0f), 1.0f, 1e-4f);
    EXPECT_TRUE(waitFor("ovrel", compensationIs(0.0f)));

    command("ovrel", 6.0f, false);
    setParam(undrel->apvts, "trim", 3.0f);
    EXPECT_NEAR(chainGain(*undrel, "ovrel", linear(6.0f)), linear(3.0f), 1e-4f);
    EXPECT_TRUE(waitFor("ovrel", compensationIs(-3.0f)));

    // Undrel's bypass removes the trim and keeps the compensation.
    setParam(undrel->apvts, "bypass", 1.0f);
    EXPECT_NEAR(chainGain(*undrel, "ovrel", linear(6.0f)), 1.0f, 1e-4f);
    EXPECT_TRUE(waitFor("ovrel", compensationIs(-6.0f)));

    // Ovrel removed: the drive is gone and Undrel keeps compensating the last gain it received.
    stopPeer("ovrel");
    undrel->timerCallback();
    EXPECT_NEAR(chainGainWithoutOvrel(*undrel), linear(-6.0f), 1e-4f);
}

TEST_F(UndrelTwoProcess, NewUndrelsChooseAmongLiveOvrelsByTheirNewestLockFile)
{
    startPeer("first");
    juce::Thread::sleep(20);
    startPeer("second");
    ASSERT_EQ(status("first").linkId, 1);
    ASSERT_EQ(status("second").linkId, 2);
    command("first", 6.0f, false);
    command("second", -4.0f, false);

    {
        auto onSecond = makeProcessor();
        auto onFirst = makeProcessor();
        EXPECT_EQ(onSecond->currentLinkId.load(), 2) << "the newest Ovrel lock file";
        EXPECT_EQ(onFirst->currentLinkId.load(), 1) << "the newest has an Undrel now";
        onFirst->prepareToPlay(48000.0, 512);
        onSecond->prepareToPlay(48000.0, 512);
        EXPECT_NEAR(chainGain(*onFirst, "first", linear(6.0f)), 1.0f, 1e-4f);
        EXPECT_NEAR(chainGain(*onSecond, "second", linear(-4.0f)), 1.0f, 1e-4f);
    }

    // The first Ovrel's heartbeat (its 20th timer tick) makes its lock file the newest.
    command("first", 6.0f, false, 20);
    ASSERT_TRUE(waitFor("first", [](const PeerStatus& s) { return s.ticks == 20; }));
    auto undrel = makeProcessor();
    EXPECT_EQ(undrel->currentLinkId.load(), 1);
    EXPECT_EQ(undrel->receivedGainDb.load(), 6.0f);
}
