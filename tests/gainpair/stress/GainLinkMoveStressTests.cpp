#include "gainpair/common/GainLinkLockFiles.h"
#include "gainpair/common/GainLinkSharedMemory.h"
#include "support/GainLinkTestEnvironment.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <thread>
#include <vector>

namespace
{
constexpr int linkIds = 4;

// One block as an audio thread runs it: every block it sees must hold the gain of its link ID.
template <typename Access>
void runBlock(GainLinkSharedMemory& link, std::atomic<long>& mapped, std::atomic<long>& wrong)
{
    const Access access(link);
    auto* block = access.block();
    if (block == nullptr)
        return;

    const auto gain = block->gainDb.load(std::memory_order_acquire);
    if (gain < 1.0f || gain > float(linkIds) || std::abs(gain - std::round(gain)) > 1.0e-6f)
        ++wrong;
    block->compensationDb.store(-gain, std::memory_order_release);
    if (access.isWriter())
        block->publish(gain, false, GainLinkBlock::wallClockMs());
    ++mapped;
}

// The message thread moves a handle between link IDs, as writer and as reader, while other threads
// use it block after block: the audio thread of the processor through its own access, restores and
// the like through the counted one. Any access to a mapping being unmapped faults or shows up under
// the sanitizers.
TEST(GainLinkMoveStress, AccessesNeverSeeAMappingBeingUnmapped)
{
    struct Case
    {
        const char* name;
        bool audioThread; // one thread with the audio access
        int counted;      // threads with the counted access
    };
    for (const Case c : {Case{"counted accesses only", false, 2}, Case{"audio thread beside a restore", true, 1},
                         Case{"audio thread alone", true, 0}})
    {
        SCOPED_TRACE(c.name);
        ScopedGainLinkEnvironment scope;
        const GainLinkLockFiles lockFiles(scope.env);
        constexpr int moves = 5000;

        // Other writers keep every object alive; on even link IDs a live Ovrel lock file (dated in the
        // future, so it stays live however slow the run) also keeps the name when the moving handle
        // leaves, on odd ones the name goes and the next writer makes a new object.
        std::vector<std::unique_ptr<GainLinkSharedMemory>> others;
        for (int linkId = 1; linkId <= linkIds; ++linkId)
        {
            others.push_back(std::make_unique<GainLinkSharedMemory>(scope.env));
            others.back()->initAsWriter(linkId, float(linkId), false);
            if (linkId % 2 == 0)
                writeFileAt(lockFiles.getLockFile(linkId, GainLinkLockFiles::Owner::ovrel, "other"), "1|A",
                            GainLinkBlock::wallClockMs() + 3'600'000);
        }

        GainLinkSharedMemory moving(scope.env);
        std::atomic<bool> running{true};
        std::atomic<long> mappedBlocks{0}, wrongValues{0}, audioBlocks{0};

        std::vector<std::thread> threads;
        if (c.audioThread)
            threads.emplace_back(
                [&]
                {
                    while (running.load(std::memory_order_relaxed))
                    {
                        runBlock<GainLinkSharedMemory::AudioAccess>(moving, mappedBlocks, wrongValues);
                        ++audioBlocks;
                    }
                });
        for (int t = 0; t < c.counted; ++t)
            threads.emplace_back(
                [&]
                {
                    while (running.load(std::memory_order_relaxed))
                        runBlock<GainLinkSharedMemory::ScopedAccess>(moving, mappedBlocks, wrongValues);
                });

        for (int move = 0; move < moves; ++move)
        {
            const int linkId = 1 + move % linkIds;
            switch (move % 3)
            {
            case 0:
                moving.initAsWriter(linkId, float(linkId), false);
                break;
            case 1:
                moving.initAsReader(linkId);
                break;
            default:
                moving.close();
                break;
            }

            // The objects whose names went are made again, as the next Ovrel on the link ID would.
            if (move % 7 == 0)
                for (int id = 1; id <= linkIds; ++id)
                    others[(size_t)id - 1]->initAsWriter(id, float(id), false);
        }

        // Once the audio thread has gone on past the last move, nothing is left waiting.
        if (c.audioThread)
        {
            const long seen = audioBlocks.load();
            while (audioBlocks.load() < seen + 2)
                std::this_thread::yield();
            moving.releaseRetiredMappings();
            EXPECT_EQ(moving.getNumRetiredMappings(), 0);
        }

        running = false;
        for (auto& t : threads)
            t.join();

        EXPECT_GT(mappedBlocks.load(), 0);
        EXPECT_EQ(wrongValues.load(), 0);
    }
}
} // namespace
