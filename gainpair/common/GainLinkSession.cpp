#include "gainpair/common/GainLinkSession.h"

GainLinkSession::GainLinkSession(GainLinkEnvironment environment, GainLinkLockFiles::Owner lockOwner)
    : lockFiles(std::move(environment)), owner(lockOwner), instanceToken(GainLinkLockFiles::makeInstanceToken())
{
}

GainLinkSession::~GainLinkSession()
{
    leave();
}

juce::File GainLinkSession::getOwnLockFile(int linkId) const
{
    return lockFiles.getLockFile(linkId, owner, instanceToken);
}

void GainLinkSession::join(int linkId, const juce::String& text)
{
    currentLinkId.store(linkId);
    GainLinkLockFiles::writeLockFile(getOwnLockFile(linkId), text, true);
}

int GainLinkSession::takeRequestedLinkId() noexcept
{
    const int requested = pendingLinkId.exchange(-1, std::memory_order_acq_rel);
    return requested != currentLinkId.load() ? requested : -1;
}

void GainLinkSession::moveLockFile(int linkId, const juce::String& text)
{
    GainLinkLockFiles::deleteLockFile(getOwnLockFile(currentLinkId.load()));
    GainLinkLockFiles::writeLockFile(getOwnLockFile(linkId), text, true);
}

void GainLinkSession::heartbeat(const juce::String& text)
{
    GainLinkLockFiles::writeLockFile(getOwnLockFile(currentLinkId.load()), text, false);
}

void GainLinkSession::leave()
{
    if (const int linkId = currentLinkId.load(); linkId != -1)
        GainLinkLockFiles::deleteLockFile(getOwnLockFile(linkId));
}
