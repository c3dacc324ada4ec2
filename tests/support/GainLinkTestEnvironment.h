#pragma once

#include "gainpair/common/GainLinkEnvironment.h"

#include <juce_core/juce_core.h>

#include <atomic>
#include <cstdint>
#include <fcntl.h>
#include <string>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

// A private application-data folder and private shared-memory names for one test, so tests never
// meet the user's instances or each other, even when they run in parallel processes. Both are
// removed again when it goes.
class ScopedGainLinkEnvironment
{
public:
    ScopedGainLinkEnvironment()
    {
        static std::atomic<int> counter{0};
        const auto tag = std::to_string(getpid()) + "_" + std::to_string(counter++);
        env.applicationDataFolder =
            juce::File::getSpecialLocation(juce::File::tempDirectory).getChildFile("OrzGainLinkTest_" + tag);
        env.applicationDataFolder.deleteRecursively();
        env.applicationDataFolder.createDirectory();
        env.objectNamePrefix = "/OrzGainLinkTest_" + tag + "_ID_";
    }

    ~ScopedGainLinkEnvironment()
    {
        for (int linkId = 0; linkId <= 60; ++linkId)
            shm_unlink(env.objectNameFor(linkId).c_str());
        env.applicationDataFolder.deleteRecursively();
    }

    bool nameExists(int linkId) const
    {
        const int fd = shm_open(env.objectNameFor(linkId).c_str(), O_RDONLY, 0);
        if (fd != -1)
            ::close(fd);
        return fd != -1;
    }

    GainLinkEnvironment env;
};

// Sets a file's modification time to the millisecond, which the framework cannot do here.
inline void setModificationTimeMs(const juce::File& file, std::int64_t ms)
{
    timespec times[2];
    times[0].tv_sec = static_cast<time_t>(ms / 1000);
    times[0].tv_nsec = static_cast<long>((ms % 1000) * 1000000);
    times[1] = times[0];
    utimensat(AT_FDCWD, file.getFullPathName().toRawUTF8(), times, 0);
}

// Writes a file with the given text and modification time, making its folder first.
inline juce::File writeFileAt(const juce::File& file, const juce::String& text, std::int64_t modifiedMs)
{
    file.getParentDirectory().createDirectory();
    file.replaceWithText(text);
    setModificationTimeMs(file, modifiedMs);
    return file;
}
