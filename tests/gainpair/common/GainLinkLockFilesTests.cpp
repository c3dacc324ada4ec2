#include "gainpair/common/GainLinkLockFiles.h"
#include "support/GainLinkTestEnvironment.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{
using Owner = GainLinkLockFiles::Owner;

class GainLinkLockFilesTest : public ::testing::Test
{
protected:
    ScopedGainLinkEnvironment scope;
    GainLinkLockFiles lockFiles{scope.env};
    const std::int64_t now = GainLinkBlock::wallClockMs();
    const std::int64_t live = now - 1000;
    const std::int64_t stale = now - 6001;

    juce::File lock(int linkId, Owner owner, const juce::String& token, std::int64_t modifiedMs,
                    const juce::String& text = "1|?")
    {
        return writeFileAt(lockFiles.getLockFile(linkId, owner, token), text, modifiedMs);
    }

    juce::File ownLock(int linkId) const { return lockFiles.getLockFile(linkId, Owner::ovrel, "me"); }

    char letterAmong(const std::vector<juce::String>& liveTexts)
    {
        int i = 0;
        for (const auto& text : liveTexts)
            lock(1, Owner::ovrel, "other" + juce::String(i++), live, text);
        std::atomic<char> letter{0};
        return lockFiles.assignInstanceLetter(1, "me", letter, now);
    }
};

TEST_F(GainLinkLockFilesTest, FolderLayoutAndFileNames)
{
    const auto root = scope.env.applicationDataFolder.getChildFile("GainLink");
    EXPECT_EQ(lockFiles.getRootFolder(), root);
    EXPECT_EQ(lockFiles.getLockFolder(7), root.getChildFile("ID_7"));
    EXPECT_EQ(lockFiles.getLockFile(7, Owner::ovrel, "12_3_4"), root.getChildFile("ID_7/ovrel_12_3_4.lock"));
    EXPECT_EQ(lockFiles.getLockFile(50, Owner::undrel, "9_0_1"), root.getChildFile("ID_50/undrel_9_0_1.lock"));
}

TEST_F(GainLinkLockFilesTest, InstanceTokenIsMillisecondsAndTwoRandomNumbers)
{
    const auto before = GainLinkBlock::wallClockMs();
    const auto token = GainLinkLockFiles::makeInstanceToken();
    const auto parts = juce::StringArray::fromTokens(token, "_", "");
    ASSERT_EQ(parts.size(), 3) << token;
    EXPECT_GE(parts[0].getLargeIntValue(), before);
    EXPECT_LE(parts[0].getLargeIntValue(), GainLinkBlock::wallClockMs());
    for (const auto& part : parts)
    {
        EXPECT_TRUE(part.containsOnly("0123456789")) << token;
        EXPECT_TRUE(part == "0" || !part.startsWith("0")) << token;
    }

    // The random draws cover 0..999998, written without leading zeros.
    juce::Random random(42);
    for (int i = 0; i < 2000; ++i)
    {
        const auto drawn = juce::StringArray::fromTokens(GainLinkLockFiles::makeInstanceToken(5, random), "_", "");
        EXPECT_EQ(drawn[0], "5");
        for (int j : {1, 2})
        {
            EXPECT_GE(drawn[j].getIntValue(), 0);
            EXPECT_LE(drawn[j].getIntValue(), 999998);
            EXPECT_EQ(juce::String(drawn[j].getIntValue()), drawn[j]);
        }
    }
    EXPECT_NE(GainLinkLockFiles::makeInstanceToken(), GainLinkLockFiles::makeInstanceToken());
}

TEST_F(GainLinkLockFilesTest, ModificationTimeKeepsMilliseconds)
{
    const auto file = lock(1, Owner::ovrel, "a", 1'700'000'000'987);
    EXPECT_EQ(GainLinkLockFiles::modificationTimeMs(file), 1'700'000'000'987);
    EXPECT_EQ(GainLinkLockFiles::modificationTimeMs(lockFiles.getLockFolder(1).getChildFile("missing.lock")), 0);
}

struct LivenessCase
{
    const char* name;
    std::int64_t ageMs;
    bool live;
};

class GainLinkLockLiveness : public GainLinkLockFilesTest, public ::testing::WithParamInterface<LivenessCase>
{
};

TEST_P(GainLinkLockLiveness, FollowsTheModificationTimeToTheMillisecond)
{
    const auto& c = GetParam();
    const std::int64_t at = 1'700'000'000'500;
    const auto file = lock(2, Owner::undrel, "x", at - c.ageMs);
    EXPECT_EQ(GainLinkLockFiles::isLive(file, at), c.live);
}

INSTANTIATE_TEST_SUITE_P(Cases, GainLinkLockLiveness,
                         ::testing::Values(LivenessCase{"Fresh", 0, true}, LivenessCase{"SixSecondsOld", 6000, true},
                                           LivenessCase{"OneMsTooOld", 6001, false},
                                           LivenessCase{"HalfSecondPastLimit", 6500, false},
                                           LivenessCase{"FromTheFuture", -60'000, true}),
                         [](const auto& caseInfo) { return std::string(caseInfo.param.name); });

TEST_F(GainLinkLockFilesTest, MissingFileIsNotLive)
{
    EXPECT_FALSE(GainLinkLockFiles::isLive(ownLock(1), now));
}

TEST_F(GainLinkLockFilesTest, ListingAndCountingSeparateTheTwoPlugins)
{
    lock(4, Owner::ovrel, "a", live);
    lock(4, Owner::ovrel, "b", live);
    const auto staleOvrel = lock(4, Owner::ovrel, "c", stale);
    lock(4, Owner::undrel, "d", live);
    writeFileAt(lockFiles.getLockFolder(4).getChildFile("notes.txt"), "", live);
    lockFiles.getLockFolder(4).getChildFile("ovrel_folder.lock").createDirectory();

    const auto folder = lockFiles.getLockFolder(4);
    EXPECT_EQ(GainLinkLockFiles::listLockFiles(folder, Owner::ovrel).size(), 3);
    EXPECT_EQ(GainLinkLockFiles::listLockFiles(folder, Owner::undrel).size(), 1);
    EXPECT_EQ(GainLinkLockFiles::listLockFiles(folder, Owner::any).size(), 4);
    EXPECT_EQ(lockFiles.countLiveLockFiles(4, Owner::ovrel, now), 2);
    EXPECT_EQ(lockFiles.countLiveLockFiles(4, Owner::undrel, now), 1);
    EXPECT_EQ(lockFiles.countLiveLockFiles(5, Owner::ovrel, now), 0);
    EXPECT_TRUE(staleOvrel.existsAsFile()) << "counting deletes nothing";
}

TEST_F(GainLinkLockFilesTest, WritingReplacesTheTextAndCreatesTheFolderOnlyWhenAsked)
{
    const auto file = ownLock(9);
    EXPECT_FALSE(GainLinkLockFiles::writeLockFile(file, "1|A", false));
    EXPECT_FALSE(lockFiles.getLockFolder(9).exists());

    EXPECT_TRUE(GainLinkLockFiles::writeLockFile(file, "123|A", true));
    EXPECT_TRUE(GainLinkLockFiles::writeLockFile(file, "45|B", false));
    EXPECT_EQ(file.loadFileAsString(), "45|B");

    GainLinkLockFiles::deleteLockFile(file);
    EXPECT_FALSE(file.exists());
    GainLinkLockFiles::deleteLockFile(file);

    const auto folderNamedLikeALock = lockFiles.getLockFolder(9).getChildFile("ovrel_x.lock");
    folderNamedLikeALock.createDirectory();
    GainLinkLockFiles::deleteLockFile(folderNamedLikeALock);
    EXPECT_TRUE(folderNamedLikeALock.isDirectory());
}

TEST_F(GainLinkLockFilesTest, TextsOfBothPlugins)
{
    EXPECT_EQ(GainLinkLockFiles::ovrelFirstText(1700000000123), "1700000000123|?");
    EXPECT_EQ(GainLinkLockFiles::ovrelText(1700000000123, 'Q'), "1700000000123|Q");
    EXPECT_EQ(GainLinkLockFiles::undrelText(1700000000123), "1700000000123");
}

TEST_F(GainLinkLockFilesTest, FirstOvrelCreatesTheFoldersTakesOneAndWritesItsFirstText)
{
    EXPECT_FALSE(lockFiles.getRootFolder().exists());
    EXPECT_EQ(lockFiles.chooseOvrelLinkId("me", now), 1);
    EXPECT_TRUE(lockFiles.getLockFolder(1).isDirectory());
    EXPECT_EQ(ownLock(1).loadFileAsString(), juce::String(now) + "|?");

    std::atomic<char> letter{0};
    EXPECT_EQ(lockFiles.assignInstanceLetter(1, "me", letter, now + 1), 'A');
    EXPECT_EQ(letter.load(), 'A');
    EXPECT_EQ(ownLock(1).loadFileAsString(), juce::String(now + 1) + "|A");
}

TEST_F(GainLinkLockFilesTest, SecondOvrelTakesTheNextFreeLinkId)
{
    const auto first = GainLinkLockFiles::makeInstanceToken();
    ASSERT_EQ(lockFiles.chooseOvrelLinkId(first, now), 1);
    EXPECT_EQ(lockFiles.chooseOvrelLinkId("me", now), 2);
    EXPECT_TRUE(ownLock(2).existsAsFile());
    EXPECT_FALSE(ownLock(1).exists());
}

TEST_F(GainLinkLockFilesTest, StaleOvrelFilesAreClearedAndTheirLinkIdTaken)
{
    const auto a = lock(1, Owner::ovrel, "a", stale);
    const auto b = lock(1, Owner::ovrel, "b", now - 60'000);
    EXPECT_EQ(lockFiles.chooseOvrelLinkId("me", now), 1);
    EXPECT_FALSE(a.exists());
    EXPECT_FALSE(b.exists());
}

TEST_F(GainLinkLockFilesTest, LinkIdsWithOnlyUndrelFilesOrEmptyFoldersAreFreeForOvrel)
{
    const auto undrel = lock(1, Owner::undrel, "u", live, "1");
    EXPECT_EQ(lockFiles.chooseOvrelLinkId("me", now), 1);
    EXPECT_TRUE(undrel.existsAsFile());

    lock(2, Owner::ovrel, "other", live);
    lockFiles.getLockFolder(3).createDirectory();
    EXPECT_EQ(lockFiles.chooseOvrelLinkId("third", now), 3);
}

TEST_F(GainLinkLockFilesTest, StaleFilesAreDeletedOnlyUpToTheFirstLiveOne)
{
    for (const auto* token : {"a", "b", "c", "d"})
        lock(1, Owner::ovrel, token, stale);

    // The listing order is the folder's own; make the second listed file the live one.
    const auto listed = GainLinkLockFiles::listLockFiles(lockFiles.getLockFolder(1), Owner::ovrel);
    ASSERT_EQ(listed.size(), 4);
    setModificationTimeMs(listed[1], live);

    EXPECT_EQ(lockFiles.chooseOvrelLinkId("me", now), 2);
    EXPECT_FALSE(listed[0].exists());
    EXPECT_TRUE(listed[1].existsAsFile());
    EXPECT_TRUE(listed[2].existsAsFile());
    EXPECT_TRUE(listed[3].existsAsFile());
}

TEST_F(GainLinkLockFilesTest, AllFiftyBusyGivesOneAndWritesNothing)
{
    for (int linkId = 1; linkId <= 50; ++linkId)
        lock(linkId, Owner::ovrel, "busy", live);

    EXPECT_EQ(lockFiles.chooseOvrelLinkId("me", now), 1);
    for (int linkId = 1; linkId <= 50; ++linkId)
        EXPECT_FALSE(ownLock(linkId).exists()) << linkId;
    EXPECT_FALSE(lockFiles.getLockFolder(51).exists());

    std::atomic<char> letter{0};
    EXPECT_EQ(lockFiles.assignInstanceLetter(1, "me", letter, now), 'A') << "\"1|?\" names no letter";
    EXPECT_TRUE(ownLock(1).existsAsFile());
}

TEST_F(GainLinkLockFilesTest, LetterFillsTheFirstGap)
{
    EXPECT_EQ(letterAmong({"1|A", "2|C"}), 'B');
}

TEST_F(GainLinkLockFilesTest, AllTwentySixLettersInUseGiveA)
{
    std::vector<juce::String> texts;
    for (char c = 'Z'; c >= 'A'; --c)
        texts.push_back("1|" + juce::String::charToString(c));
    EXPECT_EQ(letterAmong(texts), 'A');
}

TEST_F(GainLinkLockFilesTest, LetterTextsAreTrimmedAndOnlyCapitalsCount)
{
    struct Case
    {
        const char* text;
        char letter;
    };
    const Case cases[] = {
        {"1|A", 'A'},   {"  12 |  B  \n", 'B'},
        {"1|C|D", 'C'}, {"1|Dx", 'D'},
        {"|E", 'E'},    {"1|?", 0},
        {"1|", 0},      {"1| ", 0},
        {"1A", 0},      {"", 0},
        {"1|b", 0},     {"1|[", 0},
        {"1|@", 0},     {"1|\xc3\x89", 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(GainLinkLockFiles::letterInText(juce::String::fromUTF8(c.text)), c.letter) << c.text;
}

TEST_F(GainLinkLockFilesTest, UnparsableAndStaleFilesTakeNoLetter)
{
    lock(1, Owner::ovrel, "old", stale, "1|A");
    // Bytes that read back as UTF-16 rather than as "|B".
    const char garbage[] = {'\xff', '\xfe', '|', 'B'};
    const auto binary = lockFiles.getLockFile(1, Owner::ovrel, "binary");
    binary.replaceWithData(garbage, sizeof(garbage));
    setModificationTimeMs(binary, live);

    EXPECT_EQ(letterAmong({"1|?", "7", "1|", "1|z", ""}), 'A');
    EXPECT_TRUE(lockFiles.getLockFile(1, Owner::ovrel, "old").existsAsFile()) << "stale files are not deleted";
}

// Any process of the user can write into the folder: a text longer than ours is foreign, whatever
// it holds, and is not read whole.
TEST_F(GainLinkLockFilesTest, TextsLongerThanOursAreForeign)
{
    const auto longest = juce::String("1|A") + juce::String::repeatedString(" ", GainLinkLockFiles::maxTextBytes - 3);
    const struct
    {
        juce::String text;
        char letterInFile, assigned;
    } cases[] = {
        {longest, 'A', 'B'},
        {longest + " ", 0, 'A'},
        {"1|A" + juce::String::repeatedString(" ", 1 << 20), 0, 'A'},
        {juce::String::repeatedString("9", 1 << 20) + "|A", 0, 'A'},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.text.length());
        const auto file = lock(1, Owner::ovrel, "other", live, c.text);
        EXPECT_EQ(GainLinkLockFiles::letterInFile(file), c.letterInFile);
        std::atomic<char> letter{0};
        EXPECT_EQ(lockFiles.assignInstanceLetter(1, "me", letter, now), c.assigned);
        // A foreign text still marks a live instance; it just names no letter.
        EXPECT_EQ(lockFiles.countLiveLockFiles(1, Owner::ovrel, now), 2);
        file.deleteFile();
        ownLock(1).deleteFile();
    }
}

TEST_F(GainLinkLockFilesTest, UnreadableFileTakesNoLetter)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "every file is readable to root";
    const auto file = lock(1, Owner::ovrel, "locked", live, "1|A");
    file.setReadOnly(true);
    chmod(file.getFullPathName().toRawUTF8(), 0);
    std::atomic<char> letter{0};
    EXPECT_EQ(lockFiles.assignInstanceLetter(1, "me", letter, now), 'A');
    chmod(file.getFullPathName().toRawUTF8(), 0644);
}

TEST_F(GainLinkLockFilesTest, OwnFileCountsSoAMovedInstanceTakesAnotherLetter)
{
    // After a move the own file already carries the letter from the old link ID.
    GainLinkLockFiles::writeLockFile(ownLock(6), GainLinkLockFiles::ovrelText(now, 'A'), true);
    std::atomic<char> letter{'A'};
    EXPECT_EQ(lockFiles.assignInstanceLetter(6, "me", letter, now + 5), 'B');
    EXPECT_EQ(letter.load(), 'B');
    EXPECT_EQ(ownLock(6).loadFileAsString(), juce::String(now + 5) + "|B");
}

TEST_F(GainLinkLockFilesTest, LetterWithoutAFolderIsStoredButWritesNothing)
{
    std::atomic<char> letter{0};
    EXPECT_EQ(lockFiles.assignInstanceLetter(20, "me", letter, now), 'A');
    EXPECT_EQ(letter.load(), 'A');
    EXPECT_FALSE(lockFiles.getLockFolder(20).exists());
}
} // namespace
