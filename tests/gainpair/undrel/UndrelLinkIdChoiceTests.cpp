#include "UndrelTestSupport.h"

#include <vector>

namespace
{
using Owner = GainLinkLockFiles::Owner;

struct LockSpec
{
    int linkId;
    Owner owner;
    std::int64_t ageMs; // modification time before now
    bool survives = true;
};

struct ChoiceCase
{
    const char* name;
    std::vector<LockSpec> files;
    int expected;
};

const std::int64_t kNow = 1'900'000'000'000;

const ChoiceCase kCases[] = {
    {"newest live Ovrel without an Undrel", {{3, Owner::ovrel, 3000}, {5, Owner::ovrel, 1000}}, 5},
    {"a live Undrel takes its link ID out",
     {{3, Owner::ovrel, 3000}, {5, Owner::ovrel, 1000}, {5, Owner::undrel, 100}},
     3},
    {"equal times: the lower link ID", {{4, Owner::ovrel, 2000}, {2, Owner::ovrel, 2000}}, 2},
    {"the newest of several Ovrel files counts",
     {{6, Owner::ovrel, 5000}, {6, Owner::ovrel, 200}, {8, Owner::ovrel, 1000}},
     6},
    {"a stale Undrel is deleted and does not count", {{7, Owner::ovrel, 500}, {7, Owner::undrel, 6001, false}}, 7},
    {"a lock file exactly 6000 ms old is live", {{9, Owner::ovrel, 6000}}, 9},
    {"stale Ovrel files are deleted; the emptied folder is free",
     {{1, Owner::undrel, 10}, {2, Owner::ovrel, 6001, false}, {2, Owner::ovrel, 90000, false}},
     2},
    {"no live Ovrel: the first link ID without a live lock file", {{1, Owner::undrel, 0}, {2, Owner::undrel, 5999}}, 3},
    {"the first pass deletes stale Ovrel files; the fallback then takes the folder and deletes nothing",
     {{1, Owner::undrel, 7000}, {1, Owner::ovrel, 6001, false}},
     1},
    {"stale Undrel files of a folder without Ovrel files stay", {{1, Owner::undrel, 100}, {2, Owner::undrel, 6500}}, 2},
    {"a clock set back leaves a file from the future live", {{1, Owner::undrel, 100}, {4, Owner::ovrel, -60000}}, 4},
};

std::vector<LockSpec> allFiftyWithLiveUndrels()
{
    std::vector<LockSpec> files;
    for (int id = 1; id <= 50; ++id)
        files.push_back({id, Owner::undrel, 10});
    return files;
}
} // namespace

class UndrelLinkIdChoice : public UndrelTest
{
protected:
    std::vector<juce::File> writeLocks(const std::vector<LockSpec>& specs)
    {
        std::vector<juce::File> written;
        int serial = 0;
        for (const auto& spec : specs)
        {
            const auto token = juce::String(kNow) + "_" + juce::String(serial++) + "_0";
            const auto file = lockFiles().getLockFile(spec.linkId, spec.owner, token);
            written.push_back(writeFileAt(file, "1", kNow - spec.ageMs));
        }
        return written;
    }
};

TEST_F(UndrelLinkIdChoice, ChoosesByTheLockFiles)
{
    for (const auto& c : kCases)
    {
        SCOPED_TRACE(c.name);
        scope.env.applicationDataFolder.deleteRecursively();
        const auto files = writeLocks(c.files);

        EXPECT_EQ(lockFiles().chooseUndrelLinkId(kNow), c.expected);
        for (size_t i = 0; i < files.size(); ++i)
            EXPECT_EQ(files[i].existsAsFile(), c.files[i].survives) << files[i].getFileName();
    }
}

TEST_F(UndrelLinkIdChoice, AllLinkIdsTakenGivesOne)
{
    writeLocks(allFiftyWithLiveUndrels());
    EXPECT_EQ(lockFiles().chooseUndrelLinkId(kNow), 1);
}

TEST_F(UndrelLinkIdChoice, CreatesTheRootFolderAndFindsFreeFoldersWithOtherFiles)
{
    EXPECT_EQ(lockFiles().chooseUndrelLinkId(kNow), 1);
    EXPECT_TRUE(lockFiles().getRootFolder().isDirectory());

    writeLocks({{1, Owner::ovrel, 10}, {1, Owner::undrel, 10}});
    writeFileAt(lockFiles().getLockFolder(2).getChildFile("notes.txt"), "", kNow);
    EXPECT_EQ(lockFiles().chooseUndrelLinkId(kNow), 2);
}

TEST_F(UndrelLinkIdChoice, ConstructionTakesTheChoiceWritesItsLockAndSetsTheParameter)
{
    const OvrelStandIn older(scope.env, 3, 2.0f);
    setModificationTimeMs(older.lockFile, GainLinkBlock::wallClockMs() - 3000);
    const OvrelStandIn newer(scope.env, 5, 6.0f);

    auto proc = makeProcessor();
    EXPECT_EQ(proc->currentLinkId.load(), 5);
    EXPECT_EQ(rawParam(proc->apvts, "linkID"), 5.0f);
    EXPECT_EQ(proc->pendingLinkId.load(), -1);

    const auto own = lockFiles().listLockFiles(lockFiles().getLockFolder(5), Owner::undrel);
    ASSERT_EQ(own.size(), 1);
    EXPECT_EQ(own[0], proc->getOwnLockFile(5));
    const auto written = own[0].loadFileAsString().getLargeIntValue();
    EXPECT_NEAR(static_cast<double>(written), static_cast<double>(GainLinkBlock::wallClockMs()), 5000.0);
    EXPECT_TRUE(own[0].getFileName().matchesWildcard("undrel_*_*_*.lock", false));

    // A second Undrel finds 5 taken and goes to the other live Ovrel.
    auto second = makeProcessor();
    EXPECT_EQ(second->currentLinkId.load(), 3);
    EXPECT_NE(second->getOwnLockFile(3).getFileName(), proc->getOwnLockFile(3).getFileName());
}

TEST_F(UndrelLinkIdChoice, FallbackOneStillGetsItsLockFolderAndLockFile)
{
    auto proc = makeProcessor();
    EXPECT_EQ(proc->currentLinkId.load(), 1);
    EXPECT_EQ(rawParam(proc->apvts, "linkID"), 1.0f);
    EXPECT_TRUE(proc->getOwnLockFile(1).existsAsFile());
    EXPECT_EQ(proc->gainLink.getBlock(), nullptr);
    EXPECT_FALSE(scope.nameExists(1)) << "a reader never creates the object";
}
