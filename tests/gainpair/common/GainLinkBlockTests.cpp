#include "gainpair/common/GainLinkBlock.h"

#include <juce_core/juce_core.h>

#include <gtest/gtest.h>

#include <cstring>

namespace
{
struct FreshnessCase
{
    const char* name;
    std::uint8_t writerActive;
    std::int64_t ageMs;
    bool current;
};

class GainLinkBlockFreshness : public ::testing::TestWithParam<FreshnessCase>
{
};

TEST_P(GainLinkBlockFreshness, FollowsActiveFlagAndAge)
{
    const auto& c = GetParam();
    alignas(8) unsigned char storage[sizeof(GainLinkBlock)] = {};
    auto* block = reinterpret_cast<GainLinkBlock*>(storage);

    const std::int64_t now = 1'700'000'000'123;
    block->timestampMs.store(now - c.ageMs);
    block->writerActive.store(c.writerActive);

    EXPECT_EQ(block->isCurrent(now), c.current);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, GainLinkBlockFreshness,
    ::testing::Values(FreshnessCase{"JustWritten", 1, 0, true}, FreshnessCase{"SixSecondsOld", 1, 6000, true},
                      FreshnessCase{"OneMsTooOld", 1, 6001, false}, FreshnessCase{"StampFromTheFuture", 1, -1, false},
                      FreshnessCase{"FarFuture", 1, -6'000'000, false}, FreshnessCase{"WriterGone", 0, 0, false},
                      FreshnessCase{"ActiveFlagNotOne", 2, 0, false}),
    [](const auto& caseInfo) { return std::string(caseInfo.param.name); });

TEST(GainLinkBlock, PublishWritesValuesStampAndFlagAtTheirOffsets)
{
    alignas(8) unsigned char storage[sizeof(GainLinkBlock)];
    std::memset(storage, 0xAB, sizeof(storage));
    auto* block = reinterpret_cast<GainLinkBlock*>(storage);

    block->publish(-12.5f, true, 0x0102030405060708);

    float gain = 0;
    std::int64_t stamp = 0;
    std::memcpy(&gain, storage + 0, 4);
    std::memcpy(&stamp, storage + 8, 8);
    EXPECT_EQ(gain, -12.5f);
    EXPECT_EQ(storage[4], 1);
    EXPECT_EQ(stamp, 0x0102030405060708);
    EXPECT_EQ(storage[16], 1);
    // Padding, the master letter and the compensation are not touched.
    for (int i : {5, 6, 7, 17, 18, 19, 20, 23, 24, 71})
        EXPECT_EQ(storage[i], 0xAB) << "byte " << i;

    block->publish(3.0f, false, 1);
    EXPECT_EQ(storage[4], 0);
}

TEST(GainLinkBlock, WallClockIsTheTimeOfDayInMilliseconds)
{
    const auto before = juce::Time::currentTimeMillis();
    const auto now = GainLinkBlock::wallClockMs();
    const auto after = juce::Time::currentTimeMillis();
    EXPECT_GE(now, before);
    EXPECT_LE(now, after);
}
} // namespace
