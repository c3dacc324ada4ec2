#include "gainpair/common/GainLinkSharedMemory.h"
#include "support/GainLinkTestEnvironment.h"

#include <gtest/gtest.h>

namespace
{
// Two processes meet in one block: this one writes as Ovrel, the peer maps it as Undrel and writes
// its compensation back.
TEST(GainLinkCrossProcess, PeerProcessReadsTheBlockAndWritesBack)
{
    ScopedGainLinkEnvironment scope;
    GainLinkSharedMemory ovrel(scope.env);
    ovrel.initAsWriter(17, 6.5f, true);
    ASSERT_NE(ovrel.getBlock(), nullptr);
    ovrel.getBlock()->masterLetter.store('C');

    juce::ChildProcess peer;
    ASSERT_TRUE(
        peer.start(juce::StringArray{ORZ_GAINLINK_PEER, juce::String(scope.env.objectNamePrefix), "17", "-6.5"}));
    const auto output = peer.readAllProcessOutput().trim();
    ASSERT_TRUE(peer.waitForProcessToFinish(30000));
    ASSERT_EQ(peer.getExitCode(), 0u) << output;

    EXPECT_EQ(output, "gain=6.50 bypass=1 current=1 master=67");
    EXPECT_EQ(ovrel.getBlock()->compensationDb.load(std::memory_order_acquire), -6.5f);
}

TEST(GainLinkCrossProcess, PeerFindsNoObjectAfterTheLastWriterClosed)
{
    ScopedGainLinkEnvironment scope;
    {
        GainLinkSharedMemory ovrel(scope.env);
        ovrel.initAsWriter(18, 1.0f, false);
    }
    juce::ChildProcess peer;
    ASSERT_TRUE(peer.start(juce::StringArray{ORZ_GAINLINK_PEER, juce::String(scope.env.objectNamePrefix), "18", "0"}));
    ASSERT_TRUE(peer.waitForProcessToFinish(30000));
    EXPECT_EQ(peer.getExitCode(), 3u);
}
} // namespace
