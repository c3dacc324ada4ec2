#include "gainpair/common/GainLinkLockFiles.h"
#include "gainpair/common/GainLinkSharedMemory.h"
#include "support/GainLinkTestEnvironment.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <fcntl.h>
#include <functional>
#include <memory>
#include <sched.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace
{
class GainLinkSharedMemoryTest : public ::testing::Test
{
protected:
    ScopedGainLinkEnvironment scope;
    const GainLinkEnvironment& env = scope.env;
    GainLinkLockFiles lockFiles{scope.env};

    // An object made the way another process would, sized to bytes (0: created, not yet sized).
    int createRawObject(int linkId, off_t bytes)
    {
        const int fd = shm_open(env.objectNameFor(linkId).c_str(), O_RDWR | O_CREAT | O_EXCL, 0666);
        if (fd != -1 && bytes > 0)
        {
            EXPECT_EQ(ftruncate(fd, bytes), 0);
        }
        return fd;
    }

    void writeLiveOvrelLock(int linkId, const juce::String& token)
    {
        writeFileAt(lockFiles.getLockFile(linkId, GainLinkLockFiles::Owner::ovrel, token), "1|A",
                    GainLinkBlock::wallClockMs());
    }
};

void expectClosed(const GainLinkSharedMemory& link)
{
    EXPECT_EQ(link.getBlock(), nullptr);
    EXPECT_FALSE(link.isWriterMapping());
    EXPECT_EQ(link.getMappedLinkId(), -1);
}

TEST(GainLinkObjectName, IsSlashPrefixAndDecimalLinkId)
{
    const auto env = GainLinkEnvironment::standard();
    EXPECT_EQ(env.objectNameFor(7), "/GainLink_ID_7");
    EXPECT_EQ(env.objectNameFor(50), "/GainLink_ID_50");
    EXPECT_EQ(env.applicationDataFolder, juce::File::getSpecialLocation(juce::File::userApplicationDataDirectory));
    EXPECT_EQ(env.getRootFolder().getFileName(), "GainLink");
}

TEST_F(GainLinkSharedMemoryTest, FirstWriterCreatesAndInitialisesTheBlock)
{
    GainLinkSharedMemory writer(env);
    const auto before = GainLinkBlock::wallClockMs();
    writer.initAsWriter(7, -6.25f, true);

    auto* block = writer.getBlock();
    ASSERT_NE(block, nullptr);
    EXPECT_TRUE(writer.isWriterMapping());
    EXPECT_EQ(writer.getMappedLinkId(), 7);
    EXPECT_EQ(writer.getObjectName(), env.objectNameFor(7));
    EXPECT_EQ(block->gainDb.load(), -6.25f);
    EXPECT_EQ(block->bypass.load(), 1);
    EXPECT_EQ(block->masterLetter.load(), 0);
    EXPECT_EQ(block->compensationDb.load(), 0.0f);
    EXPECT_EQ(block->writerActive.load(), 1);
    EXPECT_GE(block->timestampMs.load(), before);
    EXPECT_TRUE(block->isCurrent(GainLinkBlock::wallClockMs()));

    struct stat info
    {
    };
    const int fd = shm_open(env.objectNameFor(7).c_str(), O_RDONLY, 0);
    ASSERT_NE(fd, -1);
    ASSERT_EQ(fstat(fd, &info), 0);
    ::close(fd);
    EXPECT_EQ(info.st_size, 72);
}

TEST_F(GainLinkSharedMemoryTest, SecondWriterKeepsTheValuesAndRefreshesStampAndFlag)
{
    GainLinkSharedMemory first(env), second(env);
    first.initAsWriter(3, 4.0f, false);
    auto* a = first.getBlock();
    a->masterLetter.store('C');
    a->compensationDb.store(-4.0f);
    a->timestampMs.store(5);
    a->writerActive.store(0);

    second.initAsWriter(3, -20.0f, true);
    auto* b = second.getBlock();
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->gainDb.load(), 4.0f);
    EXPECT_EQ(b->bypass.load(), 0);
    EXPECT_EQ(b->masterLetter.load(), 'C');
    EXPECT_EQ(b->compensationDb.load(), -4.0f);
    EXPECT_EQ(b->writerActive.load(), 1);
    EXPECT_TRUE(a->isCurrent(GainLinkBlock::wallClockMs())) << "both handles map one object";
}

TEST_F(GainLinkSharedMemoryTest, ReaderOnAMissingObjectStaysClosedAndCreatesNothing)
{
    GainLinkSharedMemory reader(env);
    EXPECT_FALSE(reader.initAsReader(12));
    expectClosed(reader);
    EXPECT_FALSE(scope.nameExists(12));
}

TEST_F(GainLinkSharedMemoryTest, ReaderMapsTheWritersObjectWithoutTouchingIt)
{
    GainLinkSharedMemory writer(env), reader(env);
    writer.initAsWriter(2, 9.0f, false);
    writer.getBlock()->timestampMs.store(77);

    ASSERT_TRUE(reader.initAsReader(2));
    EXPECT_FALSE(reader.isWriterMapping());
    EXPECT_EQ(reader.getMappedLinkId(), 2);
    EXPECT_EQ(reader.getBlock()->gainDb.load(), 9.0f);
    EXPECT_EQ(reader.getBlock()->timestampMs.load(), 77) << "a reader never stamps";

    reader.getBlock()->compensationDb.store(-9.0f);
    EXPECT_EQ(writer.getBlock()->compensationDb.load(), -9.0f);
}

// A process that has created the object but not yet sized it: mapping it and reading would fault.
TEST_F(GainLinkSharedMemoryTest, ReaderRefusesAnObjectThatIsNotFullySized)
{
    for (off_t bytes : {0, 16, 71})
    {
        const int fd = createRawObject(5, bytes);
        ASSERT_NE(fd, -1);

        GainLinkSharedMemory reader(env);
        EXPECT_FALSE(reader.initAsReader(5)) << bytes << " bytes";
        expectClosed(reader);

        ASSERT_EQ(ftruncate(fd, 72), 0);
        EXPECT_TRUE(reader.initAsReader(5)) << "sized by its creator afterwards";
        EXPECT_EQ(reader.getBlock()->writerActive.load(), 0);

        reader.close();
        ::close(fd);
        shm_unlink(env.objectNameFor(5).c_str());
    }
}

// Two processes creating one object at once must not both initialise it: the one that did not
// create it leaves the contents alone even when it finds the object still unsized.
TEST_F(GainLinkSharedMemoryTest, OnlyTheCreatorInitialises)
{
    const int fd = createRawObject(4, 0);
    ASSERT_NE(fd, -1);

    GainLinkSharedMemory writer(env);
    writer.initAsWriter(4, 12.0f, true);
    auto* block = writer.getBlock();
    ASSERT_NE(block, nullptr) << "the writer sizes an unsized object itself";
    EXPECT_EQ(block->gainDb.load(), 0.0f);
    EXPECT_EQ(block->bypass.load(), 0);
    EXPECT_EQ(block->writerActive.load(), 1);
    ::close(fd);
}

TEST_F(GainLinkSharedMemoryTest, ConcurrentWritersShareOneObjectThatIsInitialisedOnce)
{
    constexpr int writers = 6;
    for (int round = 0; round < 20; ++round)
    {
        std::vector<std::unique_ptr<GainLinkSharedMemory>> links;
        for (int i = 0; i < writers; ++i)
            links.push_back(std::make_unique<GainLinkSharedMemory>(env));

        // Each writer marks the block right after opening it; a late initialisation would wipe a mark.
        std::atomic<int> ready{0};
        std::vector<std::thread> threads;
        for (int i = 0; i < writers; ++i)
            threads.emplace_back(
                [&, i]
                {
                    ++ready;
                    while (ready.load() < writers)
                        std::this_thread::yield();
                    links[(size_t)i]->initAsWriter(9, 1.0f, false);
                    if (auto* block = links[(size_t)i]->getBlock())
                        block->masterLetter.store('Z');
                });
        for (auto& t : threads)
            t.join();

        for (auto& link : links)
        {
            ASSERT_NE(link->getBlock(), nullptr);
            EXPECT_EQ(link->getBlock()->masterLetter.load(), 'Z') << "round " << round;
        }
        links.front()->getBlock()->masterLetter.store(0);
        links.front()->getBlock()->compensationDb.store(float(round));
        for (auto& link : links)
            EXPECT_EQ(link->getBlock()->compensationDb.load(), float(round)) << "one object for all";

        links.clear();
        shm_unlink(env.objectNameFor(9).c_str());
    }
}

TEST_F(GainLinkSharedMemoryTest, ClosingAReaderNeverRemovesTheName)
{
    const int fd = createRawObject(6, 72);
    {
        GainLinkSharedMemory reader(env);
        ASSERT_TRUE(reader.initAsReader(6));
        reader.close();
        expectClosed(reader);
        EXPECT_EQ(reader.getObjectName(), env.objectNameFor(6)) << "the name is kept after closing";
        ASSERT_TRUE(reader.initAsReader(6));
    }
    EXPECT_TRUE(scope.nameExists(6));
    ::close(fd);
}

TEST_F(GainLinkSharedMemoryTest, ClosingTheLastWriterRemovesTheNameAndWritesNothing)
{
    GainLinkSharedMemory reader(env);
    {
        GainLinkSharedMemory writer(env);
        writer.initAsWriter(8, 2.0f, false);
        ASSERT_TRUE(reader.initAsReader(8));
    }
    // The reader still maps the object: the name stays, so that an instance added later finds it.
    EXPECT_TRUE(scope.nameExists(8));
    EXPECT_EQ(reader.getBlock()->writerActive.load(), 1);
    EXPECT_EQ(reader.getBlock()->gainDb.load(), 2.0f);

    reader.close();
    {
        GainLinkSharedMemory writer(env);
        writer.initAsWriter(8, 2.0f, false);
    }
    EXPECT_FALSE(scope.nameExists(8));
}

// Lock files show only the instances of one home folder; the block shows every mapping, whatever
// process or home folder it belongs to. A closing writer leaves the name while another one lives.
TEST_F(GainLinkSharedMemoryTest, WriterKeepsTheNameWhileAnyOtherMappingLives)
{
    auto otherHome = env;
    otherHome.applicationDataFolder = env.applicationDataFolder.getChildFile("other-home");

    struct Case
    {
        const char* other;
        std::function<std::unique_ptr<GainLinkSharedMemory>()> map;
        bool nameKept;
    };
    const Case cases[] = {
        {"an Undrel's reader",
         [&]
         {
             auto h = std::make_unique<GainLinkSharedMemory>(env);
             EXPECT_TRUE(h->initAsReader(9));
             return h;
         },
         true},
        {"an Ovrel of another home folder",
         [&]
         {
             auto h = std::make_unique<GainLinkSharedMemory>(otherHome, GainLinkSharedMemory::Holder::ovrel);
             h->initAsWriter(9, 2.5f, false);
             return h;
         },
         true},
        {"an Ovrel of another home folder that moved here as a reader",
         [&]
         {
             auto h = std::make_unique<GainLinkSharedMemory>(otherHome, GainLinkSharedMemory::Holder::ovrel);
             EXPECT_TRUE(h->initAsReader(9));
             return h;
         },
         true},
        {"none", [] { return std::unique_ptr<GainLinkSharedMemory>(); }, false},
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.other);
        auto writer = std::make_unique<GainLinkSharedMemory>(env, GainLinkSharedMemory::Holder::ovrel);
        writer->initAsWriter(9, -5.0f, false);
        auto other = c.map();
        writer.reset();
        EXPECT_EQ(scope.nameExists(9), c.nameKept);

        // A newcomer meets the object the other mapping still uses.
        GainLinkSharedMemory newcomer(env);
        if (c.nameKept)
        {
            ASSERT_TRUE(newcomer.initAsReader(9));
            newcomer.getBlock()->compensationDb.store(1.5f);
            EXPECT_EQ(other->getBlock()->compensationDb.load(), 1.5f);
        }
        newcomer.close();
        other.reset();
        shm_unlink(env.objectNameFor(9).c_str());
    }
}

// A mapping of a process that ended without closing stops counting once its stamp is older than the
// freshness limit; a live one that found every slot taken still counts.
TEST_F(GainLinkSharedMemoryTest, StalePresenceDoesNotKeepTheNameAndACrowdedOneDoes)
{
    {
        GainLinkSharedMemory writer(env);
        writer.initAsWriter(10, 0.0f, false);
        const auto stale = GainLinkBlock::wallClockMs() - GainLinkBlock::freshnessLimitMs - 1;
        for (auto& slot : writer.getBlock()->presence)
            if (slot.load() == 0)
                slot.store(GainLinkBlock::slotValue(0x1234u, stale));
        writer.getBlock()->crowdedMs.store(GainLinkBlock::stamp32(stale));
    }
    EXPECT_FALSE(scope.nameExists(10));

    auto writer = std::make_unique<GainLinkSharedMemory>(env);
    writer->initAsWriter(11, 0.0f, false);
    std::vector<std::unique_ptr<GainLinkSharedMemory>> readers;
    for (int i = 0; i < GainLinkBlock::presenceSlots + 1; ++i)
    {
        readers.push_back(std::make_unique<GainLinkSharedMemory>(env));
        ASSERT_TRUE(readers.back()->initAsReader(11));
    }
    // The writer and the first readers hold every slot; the last two readers found none. Once the
    // first readers are gone, only the crowded stamp shows the last two.
    readers.erase(readers.begin(), readers.begin() + GainLinkBlock::presenceSlots - 1);
    writer.reset();
    EXPECT_TRUE(scope.nameExists(11));

    // The timer takes a slot that has come free.
    readers.front()->keepPresence();
    int taken = 0;
    for (const auto& slot : readers.front()->getBlock()->presence)
        taken += slot.load() != 0 ? 1 : 0;
    EXPECT_EQ(taken, 1);
}

TEST_F(GainLinkSharedMemoryTest, CloseOnAClosedHandleChangesNothing)
{
    GainLinkSharedMemory link(env);
    link.close();
    expectClosed(link);
    EXPECT_TRUE(link.getObjectName().empty());
}

// The first of several Ovrel instances to close must not remove the name the others still write
// under, or an Undrel added afterwards never finds their block.
TEST_F(GainLinkSharedMemoryTest, WriterKeepsTheNameWhileAnotherOvrelIsLiveOnTheLinkId)
{
    GainLinkSharedMemory first(env), second(env);
    writeLiveOvrelLock(3, "second");
    first.initAsWriter(3, 5.0f, false);
    second.initAsWriter(3, 5.0f, false);

    first.close();
    EXPECT_TRUE(scope.nameExists(3));

    GainLinkSharedMemory undrel(env);
    ASSERT_TRUE(undrel.initAsReader(3));
    second.getBlock()->gainDb.store(-7.0f);
    EXPECT_EQ(undrel.getBlock()->gainDb.load(), -7.0f) << "the late reader sees the remaining writer";

    // The last one leaves: its own lock file goes first, then the name.
    undrel.close();
    GainLinkLockFiles::deleteLockFile(lockFiles.getLockFile(3, GainLinkLockFiles::Owner::ovrel, "second"));
    second.close();
    EXPECT_FALSE(scope.nameExists(3));
}

TEST_F(GainLinkSharedMemoryTest, StaleOrOtherLinkLockFilesDoNotKeepTheName)
{
    const auto stale = GainLinkBlock::wallClockMs() - 6001;
    writeFileAt(lockFiles.getLockFile(3, GainLinkLockFiles::Owner::ovrel, "gone"), "1|A", stale);
    writeFileAt(lockFiles.getLockFile(3, GainLinkLockFiles::Owner::undrel, "undrel"), "1",
                GainLinkBlock::wallClockMs());
    writeLiveOvrelLock(4, "elsewhere");

    GainLinkSharedMemory writer(env);
    writer.initAsWriter(3, 0.0f, false);
    writer.close();
    EXPECT_FALSE(scope.nameExists(3));
}

// A handle that closes late must not remove the name of a newer object made under it.
TEST_F(GainLinkSharedMemoryTest, LateWriterLeavesANewerObjectsName)
{
    GainLinkSharedMemory old(env), newer(env);
    old.initAsWriter(11, 1.0f, false);
    shm_unlink(env.objectNameFor(11).c_str());
    newer.initAsWriter(11, 2.0f, false);
    EXPECT_EQ(newer.getBlock()->gainDb.load(), 2.0f) << "a new object";

    old.close();
    ASSERT_TRUE(scope.nameExists(11));
    GainLinkSharedMemory reader(env);
    ASSERT_TRUE(reader.initAsReader(11));
    EXPECT_EQ(reader.getBlock()->gainDb.load(), 2.0f);
}

TEST_F(GainLinkSharedMemoryTest, WriterMovingToAnotherLinkIdLeavesTheOldMapping)
{
    GainLinkSharedMemory writer(env);
    writer.initAsWriter(1, 1.0f, false);
    writer.initAsWriter(2, 2.0f, true);
    EXPECT_EQ(writer.getMappedLinkId(), 2);
    EXPECT_EQ(writer.getObjectName(), env.objectNameFor(2));
    EXPECT_FALSE(scope.nameExists(1));
    EXPECT_TRUE(scope.nameExists(2));

    // Re-opening closes the writer mapping first, which removes the only writer's name.
    EXPECT_FALSE(writer.initAsReader(2));
    expectClosed(writer);
    EXPECT_FALSE(scope.nameExists(2));
}

enum class Refused
{
    sizing,
    reserving,
    mapping
};

struct FailureCase
{
    const char* name;
    Refused refused;
    bool objectExists;
};

class GainLinkWriterFailure : public GainLinkSharedMemoryTest, public ::testing::WithParamInterface<FailureCase>
{
};

// A writer that cannot size, reserve or map stays closed and removes only an object it created itself.
TEST_P(GainLinkWriterFailure, StaysClosedAndRemovesOnlyWhatItCreated)
{
    const auto& c = GetParam();
    auto failing = env;
    switch (c.refused)
    {
    case Refused::sizing:
        failing.sizeObject = [](int, off_t)
        {
            errno = EINVAL;
            return -1;
        };
        break;
    case Refused::reserving:
        failing.reserveObject = [](int, off_t) { return ENOSPC; };
        break;
    case Refused::mapping:
        failing.mapObject = [](void*, size_t, int, int, int, off_t)
        {
            errno = ENOMEM;
            return MAP_FAILED;
        };
        break;
    }

    GainLinkSharedMemory other(env);
    if (c.objectExists)
    {
        if (c.refused == Refused::sizing)
            ASSERT_NE(createRawObject(10, 0), -1); // Unsized, so the writer has to size it.
        else
            other.initAsWriter(10, 3.0f, false);
    }

    GainLinkSharedMemory writer(failing);
    writer.initAsWriter(10, 1.0f, false);
    expectClosed(writer);
    EXPECT_EQ(scope.nameExists(10), c.objectExists);
    if (other.getBlock() != nullptr)
    {
        EXPECT_EQ(other.getBlock()->gainDb.load(), 3.0f) << "the other writer's object is untouched";
    }

    // Once the platform gives in, the next open succeeds.
    GainLinkSharedMemory later(env);
    later.initAsWriter(10, 1.0f, false);
    EXPECT_NE(later.getBlock(), nullptr);
}

INSTANTIATE_TEST_SUITE_P(Cases, GainLinkWriterFailure,
                         ::testing::Values(FailureCase{"MapFailsOnNewObject", Refused::mapping, false},
                                           FailureCase{"MapFailsOnExistingObject", Refused::mapping, true},
                                           FailureCase{"SizingFailsOnNewObject", Refused::sizing, false},
                                           FailureCase{"SizingFailsOnExistingObject", Refused::sizing, true},
                                           FailureCase{"ReserveFailsOnNewObject", Refused::reserving, false},
                                           FailureCase{"ReserveFailsOnExistingObject", Refused::reserving, true}),
                         [](const auto& caseInfo) { return std::string(caseInfo.param.name); });

TEST_F(GainLinkSharedMemoryTest, ReaderThatCannotReserveStaysClosedAndKeepsTheName)
{
    GainLinkSharedMemory writer(env);
    writer.initAsWriter(12, 0.0f, false);

    auto failing = env;
    failing.reserveObject = [](int, off_t) { return ENOSPC; };
    GainLinkSharedMemory reader(failing);
    EXPECT_FALSE(reader.initAsReader(12));
    expectClosed(reader);
    EXPECT_TRUE(scope.nameExists(12));
}

// On a shared-memory file system with no room left, sizing and mapping a new object succeed, and
// without reserving its pages the first write to the block raised a bus error and ended the host.
// A child process mounts a one-page file system of its own over the shared-memory folder, fills it
// and opens a writer there; it must come out closed, alive.
TEST_F(GainLinkSharedMemoryTest, WriterOnAFullSharedMemoryFileSystemStaysClosed)
{
    enum Outcome
    {
        closed = 0,
        mapped = 1,
        noPrivateMount = 77
    };
    const pid_t child = fork();
    ASSERT_NE(child, -1);
    if (child == 0)
    {
        const bool privateNamespace = unshare(CLONE_NEWNS) == 0 || unshare(CLONE_NEWUSER | CLONE_NEWNS) == 0;
        if (!privateNamespace || mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
            mount("gainlinktest", "/dev/shm", "tmpfs", 0, "size=4k") != 0)
            _exit(noPrivateMount);

        const int filler = shm_open("/filler", O_RDWR | O_CREAT, 0600);
        static const char page[8192] = {};
        while (filler != -1 && write(filler, page, sizeof(page)) > 0)
        {
        }
        GainLinkSharedMemory writer(env);
        writer.initAsWriter(1, 6.0f, false);
        if (writer.getBlock() != nullptr)
            writer.getBlock()->gainDb.store(1.0f); // Faults when the pages were never there.
        _exit(writer.getBlock() == nullptr ? closed : mapped);
    }

    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_FALSE(WIFSIGNALED(status)) << "the writer died of signal " << WTERMSIG(status);
    ASSERT_TRUE(WIFEXITED(status));
    if (WEXITSTATUS(status) == noPrivateMount)
        GTEST_SKIP() << "no private mount namespace here";
    EXPECT_EQ(WEXITSTATUS(status), closed);
}

TEST_F(GainLinkSharedMemoryTest, ReaderThatCannotMapStaysClosedAndKeepsTheName)
{
    GainLinkSharedMemory writer(env);
    writer.initAsWriter(13, 0.0f, false);

    auto failing = env;
    failing.mapObject = [](void*, size_t, int, int, int, off_t) { return MAP_FAILED; };
    GainLinkSharedMemory reader(failing);
    EXPECT_FALSE(reader.initAsReader(13));
    expectClosed(reader);
    EXPECT_TRUE(scope.nameExists(13));
}

// Both kinds of access see the same mapping and role: the writer flag travels with the address.
template <typename Access> void expectAccessSeesTheMappingAndItsRole(const GainLinkEnvironment& env)
{
    GainLinkSharedMemory link(env);
    {
        Access access(link);
        EXPECT_EQ(access.block(), nullptr);
        EXPECT_FALSE(access.isWriter());
    }
    link.initAsWriter(14, 0.0f, false);
    {
        Access access(link);
        EXPECT_EQ(access.block(), link.getBlock());
        EXPECT_TRUE(access.isWriter());
    }
    GainLinkSharedMemory writer(env);
    writer.initAsWriter(15, 0.0f, false);
    ASSERT_TRUE(link.initAsReader(15));
    Access access(link);
    EXPECT_NE(access.block(), nullptr);
    EXPECT_EQ(access.block(), link.getBlock());
    EXPECT_FALSE(access.isWriter());
}

TEST_F(GainLinkSharedMemoryTest, AccessSeesTheMappingAndItsRole)
{
    expectAccessSeesTheMappingAndItsRole<GainLinkSharedMemory::ScopedAccess>(env);
    expectAccessSeesTheMappingAndItsRole<GainLinkSharedMemory::AudioAccess>(env);
}

// An audio block that took the mapping before a close keeps it until the block ends and a later
// block has seen the change; only then is it unmapped.
TEST_F(GainLinkSharedMemoryTest, ClosedMappingStaysUntilABlockAfterTheCloseHasEnded)
{
    struct Case
    {
        const char* name;
        bool reopen; // a move to another link ID rather than a plain close
    };
    for (const Case c : {Case{"close", false}, Case{"move", true}})
    {
        SCOPED_TRACE(c.name);
        GainLinkSharedMemory link(env);
        link.initAsWriter(17, 0.0f, false);
        {
            const GainLinkSharedMemory::AudioAccess inFlight(link);
            ASSERT_NE(inFlight.block(), nullptr);
            if (c.reopen)
                link.initAsWriter(18, 0.0f, false);
            else
                link.close();
            EXPECT_EQ(link.getNumRetiredMappings(), 1);
            inFlight.block()->compensationDb.store(2.0f); // Still mapped.
        }
        // The block that ended had seen the old mapping: it could be holding it still.
        link.releaseRetiredMappings();
        EXPECT_EQ(link.getNumRetiredMappings(), 1);

        {
            const GainLinkSharedMemory::AudioAccess next(link);
            EXPECT_EQ(next.block(), link.getBlock());
        }
        link.releaseRetiredMappings();
        EXPECT_EQ(link.getNumRetiredMappings(), 0);
        link.close();
    }
}

// The audio thread may still be inside a block when the message thread closes the handle: the
// mapping must stay until that access ends.
TEST_F(GainLinkSharedMemoryTest, CloseWaitsForAnAccessInProgress)
{
    GainLinkSharedMemory link(env);
    link.initAsWriter(16, 0.0f, false);

    std::atomic<bool> closed{false};
    std::thread closer;
    {
        GainLinkSharedMemory::ScopedAccess access(link);
        ASSERT_NE(access.block(), nullptr);
        closer = std::thread(
            [&]
            {
                link.close();
                closed = true;
            });

        while (link.getBlock() != nullptr)
            std::this_thread::yield();
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        EXPECT_FALSE(closed.load());
        access.block()->compensationDb.store(1.0f); // Still mapped.
    }
    closer.join();
    EXPECT_TRUE(closed.load());

    GainLinkSharedMemory::ScopedAccess after(link);
    EXPECT_EQ(after.block(), nullptr);
}
} // namespace
