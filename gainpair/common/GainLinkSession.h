#pragma once

#include "gainpair/common/GainLinkLockFiles.h"

#include <juce_core/juce_core.h>

#include <atomic>

// What both gain processors do to stay on their link ID: keep their instance lock file there (written
// on joining, rewritten by the heartbeat, moved with the link ID, deleted on leaving) and hand link-ID
// requests from the audio thread or a restore to the timer, which alone moves. Lock files are touched
// on the message thread only; requestLinkId is lock-free.
class GainLinkSession
{
public:
    GainLinkSession(GainLinkEnvironment environment, GainLinkLockFiles::Owner owner);

    // Deletes the own lock file, unless leave() has done so already.
    ~GainLinkSession();

    const GainLinkLockFiles& getLockFiles() const noexcept { return lockFiles; }
    const juce::String& getInstanceToken() const noexcept { return instanceToken; }

    // The own lock file of a link ID, named by the token.
    juce::File getOwnLockFile(int linkId) const;

    // Makes linkId the current one and writes the own lock file there, its folder created first.
    void join(int linkId, const juce::String& text);

    // Asks the timer to move to linkId, unless it is the current one. A later request replaces one
    // not yet taken.
    void requestLinkId(int linkId) noexcept
    {
        if (linkId != currentLinkId.load(std::memory_order_relaxed))
            pendingLinkId.store(linkId, std::memory_order_release);
    }

    // The link ID asked for since the last call, or -1. Taken in one exchange, so a request made
    // meanwhile is never lost.
    int takeRequestedLinkId() noexcept;

    // The own lock file leaves the current link ID's folder and is written in linkId's (created
    // first). currentLinkId changes only in setCurrentLinkId, once the caller has moved the rest.
    void moveLockFile(int linkId, const juce::String& text);
    void setCurrentLinkId(int linkId) noexcept { currentLinkId.store(linkId); }

    // Rewrites the own lock file in the current folder, which is not created here.
    void heartbeat(const juce::String& text);

    // Deletes the own lock file now (before a writer closes its block, which looks for live Ovrels).
    void leave();

    // Link ID whose lock folder and block are in use; -1 until joined.
    std::atomic<int> currentLinkId{-1};
    // Link ID the audio thread or a restore asks for; -1 when none.
    std::atomic<int> pendingLinkId{-1};

private:
    GainLinkLockFiles lockFiles;
    GainLinkLockFiles::Owner owner;
    juce::String instanceToken;

    JUCE_DECLARE_NON_COPYABLE(GainLinkSession)
};
