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
// The message thread moves a handle between link IDs, as writer and as reader, while audio threads
// use it block after block. Any access to a mapping being unmapped faults or shows up under the
// sanitizers; every block any of them sees must hold the gain of its link ID.
TEST(GainLinkMoveStress, AudioThreadsNeverSeeAMappingBeingUnmapped)
{
    ScopedGainLinkEnvironment scope;
    const GainLinkLockFiles lockFiles(scope.env);
    constexpr int linkIds = 4;
    constexpr int moves = 5000;
    constexpr int audioThreads = 2;

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
    std::atomic<long> mappedBlocks{0}, wrongValues{0};

    std::vector<std::thread> audio;
    for (int t = 0; t < audioThreads; ++t)
        audio.emplace_back(
            [&]
            {
                while (running.load(std::memory_order_relaxed))
                {
                    const GainLinkSharedMemory::ScopedAccess access(moving);
                    auto* block = access.block();
                    if (block == nullptr)
                        continue;

                    const auto gain = block->gainDb.load(std::memory_order_acquire);
                    if (gain < 1.0f || gain > float(linkIds) || std::abs(gain - std::round(gain)) > 1.0e-6f)
                        ++wrongValues;
                    block->compensationDb.store(-gain, std::memory_order_release);
                    if (access.isWriter())
                        block->publish(gain, false, GainLinkBlock::wallClockMs());
                    ++mappedBlocks;
                }
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

    running = false;
    for (auto& t : audio)
        t.join();

    EXPECT_GT(mappedBlocks.load(), 0);
    EXPECT_EQ(wrongValues.load(), 0);
}
} // namespace
