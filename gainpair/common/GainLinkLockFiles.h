#pragma once

#include "gainpair/common/GainLinkBlock.h"
#include "gainpair/common/GainLinkEnvironment.h"

#include <juce_core/juce_core.h>

#include <atomic>
#include <cstdint>

// The instance lock files of the gain pair: "<application data>/GainLink/ID_<n>/ovrel_<token>.lock"
// and "undrel_<token>.lock". A file is live while its modification time is at most 6000 ms old; the
// text inside is read only for Ovrel's letters. Message thread only.
class GainLinkLockFiles
{
public:
    enum class Owner
    {
        ovrel,
        undrel,
        any
    };

    static constexpr int firstLinkId = 1;
    static constexpr int lastLinkId = 50;
    static constexpr std::int64_t liveLimitMs = 6000;

    explicit GainLinkLockFiles(GainLinkEnvironment environment = GainLinkEnvironment::standard());

    juce::File getRootFolder() const;
    juce::File getLockFolder(int linkId) const;
    // owner is ovrel or undrel.
    juce::File getLockFile(int linkId, Owner owner, const juce::String& instanceToken) const;

    // "<wall-clock ms>_<random>_<random>", each random in 0..999998.
    static juce::String makeInstanceToken();
    static juce::String makeInstanceToken(std::int64_t nowMs, juce::Random& random);

    static juce::String ovrelFirstText(std::int64_t nowMs);         // "<ms>|?"
    static juce::String ovrelText(std::int64_t nowMs, char letter); // "<ms>|<letter>"
    static juce::String undrelText(std::int64_t nowMs);             // "<ms>"

    // Milliseconds, nanoseconds included; 0 when the file's status cannot be read.
    static std::int64_t modificationTimeMs(const juce::File& file);
    static bool isLive(const juce::File& file, std::int64_t nowMs);

    // Files only, not recursive, in the order the folder lists them.
    static juce::Array<juce::File> listLockFiles(const juce::File& lockFolder, Owner owner);
    int countLiveLockFiles(int linkId, Owner owner, std::int64_t nowMs = GainLinkBlock::wallClockMs()) const;

    // Replaces the whole text; createFolder also makes the lock folder first. False when it fails.
    static bool writeLockFile(const juce::File& file, const juce::String& text, bool createFolder);
    // Deletes the file when it exists as a file; anything else is left alone.
    static void deleteLockFile(const juce::File& file);

    // Ovrel's link-ID choice: the first ID with no live Ovrel lock file, deleting the stale ones met on
    // the way, and the own lock file written there with the first text. With all 50 busy it is 1, and
    // nothing is written.
    int chooseOvrelLinkId(const juce::String& instanceToken, std::int64_t nowMs = GainLinkBlock::wallClockMs()) const;

    // Undrel's link-ID choice: of the IDs with a live Ovrel and no live Undrel, the one whose Ovrel lock
    // file was rewritten last (the lower ID on a tie), deleting the stale lock files met on the way;
    // otherwise the first ID without a live lock file of either plug-in; with none, 1. Writes nothing.
    int chooseUndrelLinkId(std::int64_t nowMs = GainLinkBlock::wallClockMs()) const;

    // The first letter A..Z that no live Ovrel lock file of the link ID names ("A" when all are taken);
    // stored into instanceLetter, then written into the own lock file (its folder is not created).
    char assignInstanceLetter(int linkId, const juce::String& instanceToken, std::atomic<char>& instanceLetter,
                              std::int64_t nowMs = GainLinkBlock::wallClockMs()) const;

    // The letter a lock text names: the first character after the first "|", when it is A..Z; else 0.
    static char letterInText(const juce::String& text);

    // Our texts are a few dozen bytes at most. The folder is open to every process of the user, so a
    // longer file is not one of ours: it is not read beyond this and names no letter.
    static constexpr int maxTextBytes = 64;
    // The letter in a lock file's text, read up to maxTextBytes; 0 when unreadable or longer.
    static char letterInFile(const juce::File& file);

private:
    GainLinkEnvironment env;
};
