#include "gainpair/common/GainLinkEnvironment.h"

#include <fcntl.h>

GainLinkEnvironment GainLinkEnvironment::standard()
{
    GainLinkEnvironment env;
    env.applicationDataFolder = juce::File::getSpecialLocation(juce::File::userApplicationDataDirectory);
    env.objectNamePrefix = standardObjectNamePrefix;
    return env;
}

juce::File GainLinkEnvironment::getRootFolder() const
{
    return applicationDataFolder.getChildFile("GainLink");
}

std::string GainLinkEnvironment::objectNameFor(int linkId) const
{
    return objectNamePrefix + std::to_string(linkId);
}

int GainLinkEnvironment::reservePages(int fd, off_t length)
{
#if defined(__linux__)
    return posix_fallocate(fd, 0, length);
#else
    // Elsewhere shared memory is not backed by a file system that can run full.
    juce::ignoreUnused(fd, length);
    return 0;
#endif
}
