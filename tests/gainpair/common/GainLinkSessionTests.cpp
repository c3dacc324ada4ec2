#include "gainpair/common/GainLinkSession.h"
#include "support/GainLinkTestEnvironment.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace
{
class GainLinkSessionTest : public ::testing::Test
{
protected:
    ScopedGainLinkEnvironment scope;
};
} // namespace

// The own lock file follows the session through join, heartbeat, move and leave.
TEST_F(GainLinkSessionTest, LockFileFollowsTheLinkId)
{
    GainLinkSession session(scope.env, GainLinkLockFiles::Owner::undrel);
    EXPECT_TRUE(session.getOwnLockFile(3).getFileName().startsWith("undrel_" + session.getInstanceToken()));

    session.join(3, "1");
    EXPECT_EQ(session.currentLinkId.load(), 3);
    EXPECT_EQ(session.getOwnLockFile(3).loadFileAsString(), "1");

    session.heartbeat("2");
    EXPECT_EQ(session.getOwnLockFile(3).loadFileAsString(), "2");

    session.moveLockFile(8, "3");
    EXPECT_FALSE(session.getOwnLockFile(3).exists());
    EXPECT_EQ(session.getOwnLockFile(8).loadFileAsString(), "3");
    EXPECT_EQ(session.currentLinkId.load(), 3) << "the caller says when the move is complete";
    session.setCurrentLinkId(8);

    // The heartbeat never makes a folder that is gone.
    session.getLockFiles().getLockFolder(8).deleteRecursively();
    session.heartbeat("4");
    EXPECT_FALSE(session.getLockFiles().getLockFolder(8).exists());

    session.heartbeat("5");
    session.join(9, "6");
    const auto own = session.getOwnLockFile(9);
    {
        GainLinkSession other(scope.env, GainLinkLockFiles::Owner::ovrel);
        other.join(9, "7");
        EXPECT_EQ(session.getLockFiles().countLiveLockFiles(9, GainLinkLockFiles::Owner::any), 2);
    }
    EXPECT_EQ(session.getLockFiles().countLiveLockFiles(9, GainLinkLockFiles::Owner::any), 1);
    session.leave();
    EXPECT_FALSE(own.exists());
}

TEST_F(GainLinkSessionTest, ARequestIsTakenOnceAndTheCurrentIdIsNoRequest)
{
    GainLinkSession session(scope.env, GainLinkLockFiles::Owner::ovrel);
    EXPECT_EQ(session.takeRequestedLinkId(), -1);
    session.join(4, "x");

    session.requestLinkId(4);
    EXPECT_EQ(session.takeRequestedLinkId(), -1);
    session.requestLinkId(6);
    session.requestLinkId(7);
    EXPECT_EQ(session.takeRequestedLinkId(), 7) << "a later request replaces one not yet taken";
    EXPECT_EQ(session.takeRequestedLinkId(), -1);
}

// A request made while the timer is taking the one before must survive: a take that read the
// request and cleared it in two steps could clear the newer one unseen, and a restore's link ID
// would be lost until audio ran again. In each round two requests arrive back to back while the
// taker spins; the second one must always be the last taken.
TEST_F(GainLinkSessionTest, ARequestMadeWhileTheTimerTakesIsNeverLost)
{
    GainLinkSession session(scope.env, GainLinkLockFiles::Owner::ovrel);
    session.join(1, "x");

    constexpr int rounds = 20000;
    std::atomic<bool> done{false};
    std::atomic<int> lastTaken{-1};
    std::atomic<unsigned> passes{0};
    std::thread taker(
        [&]
        {
            while (!done.load())
            {
                if (const int id = session.takeRequestedLinkId(); id != -1)
                    lastTaken.store(id);
                passes.fetch_add(1);
            }
        });

    int lost = 0;
    for (int r = 0; r < rounds; ++r)
    {
        const int first = 2 + (r % 20), second = 30 + (r % 20);
        session.requestLinkId(first);
        session.requestLinkId(second);
        // Once nothing is pending and the taker has finished two more passes, it has recorded
        // whatever it took.
        while (session.pendingLinkId.load() != -1)
            std::this_thread::yield();
        const auto seen = passes.load();
        while (passes.load() < seen + 2)
            std::this_thread::yield();
        if (lastTaken.exchange(-1) != second)
            ++lost;
    }
    done.store(true);
    taker.join();
    EXPECT_EQ(lost, 0);
}
