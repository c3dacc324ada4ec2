#pragma once

#include <juce_core/juce_core.h>

#include <string>
#include <sys/mman.h>
#include <sys/types.h>
#include <unistd.h>

// Where instances of the gain pair meet: the folder that holds the "GainLink" lock-file tree and the
// prefix of the shared-memory object names. Every process of the user must resolve both alike; tests
// point them at a private folder and private names.
struct GainLinkEnvironment
{
    juce::File applicationDataFolder;
    std::string objectNamePrefix;

    // Takes the memory behind an object's first length bytes now; 0 on success, else an error
    // number. A full shared-memory file system otherwise shows only at the first write to the
    // mapping, as a bus error that ends the host.
    static int reservePages(int fd, off_t length);

    // The calls that can fail once an object exists, so tests can reach those paths.
    int (*sizeObject)(int fd, off_t length) = ::ftruncate;
    int (*reserveObject)(int fd, off_t length) = reservePages;
    void* (*mapObject)(void* address, size_t length, int protection, int flags, int fd, off_t offset) = ::mmap;

    static constexpr const char* standardObjectNamePrefix = "/GainLink_ID_";

    // The user's application-data folder and the names every host process uses.
    static GainLinkEnvironment standard();

    // "<application data>/GainLink"
    juce::File getRootFolder() const;

    // "<prefix><linkId>", e.g. "/GainLink_ID_7".
    std::string objectNameFor(int linkId) const;
};
