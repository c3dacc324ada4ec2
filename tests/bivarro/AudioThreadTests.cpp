#include "ChainRig.h"

#include <gtest/gtest.h>

#include <dlfcn.h>
#include <pthread.h>

#include <cstdlib>
#include <limits>
#include <memory>
#include <mutex>
#include <new>

// processBlock must neither allocate nor lock. This test program replaces the global allocation
// functions and the C allocator, and wraps pthread_mutex_lock, counting the calls made on a
// thread while it has asked to be watched. Sanitizers bring their own allocator and lock hooks;
// under them only operator new is counted.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define ORZ_HOOK_C_LIBRARY 0
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
#define ORZ_HOOK_C_LIBRARY 0
#endif
#endif
#ifndef ORZ_HOOK_C_LIBRARY
#define ORZ_HOOK_C_LIBRARY 1
#endif

namespace
{
thread_local bool watching = false;
thread_local int allocations = 0;
thread_local int locks = 0;

void noteAllocation()
{
    if (watching)
        ++allocations;
}

void* allocateOrThrow(std::size_t n)
{
    noteAllocation();
    if (void* p = std::malloc(n == 0 ? 1 : n))
        return p;
    throw std::bad_alloc();
}

void* allocateAligned(std::size_t n, std::align_val_t align) noexcept
{
    noteAllocation();
    void* p = nullptr;
    const auto a = std::max(static_cast<std::size_t>(align), sizeof(void*));
    return posix_memalign(&p, a, n == 0 ? 1 : n) == 0 ? p : nullptr;
}

struct Watch
{
    Watch()
    {
        allocations = 0;
        locks = 0;
        watching = true;
    }
    ~Watch() { watching = false; }
};
} // namespace

#if ORZ_HOOK_C_LIBRARY
extern "C"
{
    void* __libc_malloc(std::size_t);
    void* __libc_calloc(std::size_t, std::size_t);
    void* __libc_realloc(void*, std::size_t);

    void* malloc(std::size_t n)
    {
        noteAllocation();
        return __libc_malloc(n);
    }
    void* calloc(std::size_t count, std::size_t n)
    {
        noteAllocation();
        return __libc_calloc(count, n);
    }
    void* realloc(void* p, std::size_t n)
    {
        noteAllocation();
        return __libc_realloc(p, n);
    }

    int pthread_mutex_lock(pthread_mutex_t* m)
    {
        using Lock = int (*)(pthread_mutex_t*);
        static const auto real = reinterpret_cast<Lock>(dlsym(RTLD_NEXT, "pthread_mutex_lock"));
        if (watching)
            ++locks;
        return real(m);
    }
}
#endif

void* operator new(std::size_t n)
{
    return allocateOrThrow(n);
}
void* operator new[](std::size_t n)
{
    return allocateOrThrow(n);
}
void* operator new(std::size_t n, const std::nothrow_t&) noexcept
{
    noteAllocation();
    return std::malloc(n == 0 ? 1 : n);
}
void* operator new[](std::size_t n, const std::nothrow_t&) noexcept
{
    noteAllocation();
    return std::malloc(n == 0 ? 1 : n);
}
void* operator new(std::size_t n, std::align_val_t a)
{
    if (void* p = allocateAligned(n, a))
        return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t n, std::align_val_t a)
{
    if (void* p = allocateAligned(n, a))
        return p;
    throw std::bad_alloc();
}
void* operator new(std::size_t n, std::align_val_t a, const std::nothrow_t&) noexcept
{
    return allocateAligned(n, a);
}
void* operator new[](std::size_t n, std::align_val_t a, const std::nothrow_t&) noexcept
{
    return allocateAligned(n, a);
}
// Compilers without sized deallocation switched on do not declare the sized forms.
#ifndef __cpp_sized_deallocation
void operator delete(void* p, std::size_t) noexcept;
void operator delete[](void* p, std::size_t) noexcept;
void operator delete(void* p, std::size_t, std::align_val_t) noexcept;
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept;
#endif

void operator delete(void* p) noexcept
{
    std::free(p);
}
void operator delete[](void* p) noexcept
{
    std::free(p);
}
void operator delete(void* p, std::align_val_t) noexcept
{
    std::free(p);
}
void operator delete[](void* p, std::align_val_t) noexcept
{
    std::free(p);
}
void operator delete(void* p, const std::nothrow_t&) noexcept
{
    std::free(p);
}
void operator delete[](void* p, const std::nothrow_t&) noexcept
{
    std::free(p);
}

void operator delete(void* p, std::size_t) noexcept
{
    std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept
{
    std::free(p);
}
void operator delete(void* p, std::size_t, std::align_val_t) noexcept
{
    std::free(p);
}
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept
{
    std::free(p);
}

TEST(AudioThread, TheWatchSeesAllocationsAndLocks)
{
    std::mutex m;
    int seenAllocations = 0, seenLocks = 0;
    {
        Watch w;
        auto p = std::make_unique<int>(3);
        void* c = std::malloc(16);
        std::free(c);
        std::lock_guard<std::mutex> g(m);
        juce::CriticalSection cs;
        const juce::ScopedLock sl(cs);
        seenAllocations = allocations;
        seenLocks = locks;
    }
    EXPECT_GE(seenAllocations, 1);
    if (ORZ_HOOK_C_LIBRARY)
    {
        EXPECT_GE(seenAllocations, 2);
        EXPECT_GE(seenLocks, 2);
    }
}

TEST(AudioThread, ProcessBlockNeitherAllocatesNorLocks)
{
    struct Case
    {
        const char* what;
        ChainRig::Params params;
        ChainRig::Params between; // set before each block after the first
        int block;
        int channels;
        double rate;
    };
    const Case cases[] = {
        {"defaults", {}, {}, 512, 2, 48000},
        {"everything on and ramping",
         withAlso(bivarroEverythingOn(), {{"mono", 1}, {"muteSide", 1}}),
         {{"width", 400}, {"rotation", -30}, {"gainL", -10}, {"delayL", 40}, {"monoMakerFreq", 900}},
         64,
         2,
         44100},
        {"bypass", {{"bypass", 1}}, {}, 256, 2, 48000},
        {"bypass switching", {}, {{"bypass", 1}}, 300, 2, 96000},
        {"a block longer than the rings", {{"delayR", 50}}, {}, 20000, 2, 192000},
        {"one channel", {}, {}, 512, 1, 48000},
        {"more channels than two", {{"width", 10}}, {}, 128, 4, 48000},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.what);
        ChainRig rig(c.params, c.rate);
        juce::AudioBuffer<float> buffer(c.channels, c.block);
        juce::MidiBuffer midi;
        for (int b = 0; b < 4; ++b)
        {
            if (b > 0)
                rig.set(c.between);
            for (int ch = 0; ch < c.channels; ++ch)
                for (int i = 0; i < c.block; ++i)
                    buffer.setSample(ch, i, std::sin(0.01f * static_cast<float>(i * (ch + 1) + b)));
            {
                Watch w;
                rig.proc.processBlock(buffer, midi);
                ASSERT_EQ(allocations, 0) << "block " << b;
                ASSERT_EQ(locks, 0) << "block " << b;
            }
        }
    }

    // The recovery from a non-finite sample is part of the audio path too.
    ChainRig rig({{"apPhaseL", 90}, {"delayL", 5}});
    juce::AudioBuffer<float> buffer(2, 512);
    buffer.clear();
    buffer.setSample(0, 3, std::numeric_limits<float>::quiet_NaN());
    juce::MidiBuffer midi;
    Watch w;
    rig.proc.processBlock(buffer, midi);
    rig.proc.processBlock(buffer, midi);
    EXPECT_EQ(allocations, 0);
    EXPECT_EQ(locks, 0);
}
