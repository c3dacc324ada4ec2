#include "gainpair/undrel/UndrelTestSupport.h"

#include <thread>

namespace
{
// The audio thread runs block after block while the message thread moves the instance between link
// IDs, loses and reopens its mapping, sees the name pass to new objects and restores saved states. A
// mapping used while it is unmapped, or a smoother set from two threads, faults or shows up under the
// sanitizers; no block may carry anything but a gain the chain could have.
TEST_F(UndrelTest, AudioThreadRunsWhileTheTimerMovesReopensAndRestores)
{
    constexpr int linkIds = 3;
    std::unique_ptr<OvrelStandIn> ovrels[linkIds];
    for (int i = 0; i < linkIds; ++i)
        ovrels[i] = std::make_unique<OvrelStandIn>(scope.env, i + 1, float(i + 1));

    auto proc = makeProcessor();
    proc->prepareToPlay(48000.0, 64);
    juce::MemoryBlock saved;
    proc->getStateInformation(saved);

    std::atomic<bool> running{true};
    std::atomic<long> blocks{0}, wrong{0};
    std::thread audio(
        [&]
        {
            juce::AudioBuffer<float> buffer(2, 64);
            juce::MidiBuffer midi;
            while (running.load(std::memory_order_relaxed))
            {
                for (int ch = 0; ch < 2; ++ch)
                    juce::FloatVectorOperations::fill(buffer.getWritePointer(ch), 0.5f, 64);
                proc->processBlock(buffer, midi);
                const float db = dbOf(buffer.getSample(0, 63) / 0.5f);
                if (!std::isfinite(db) || db > 0.001f || db < -float(linkIds) - 0.001f)
                    ++wrong;
                ++blocks;
            }
        });

    for (int move = 0; move < 3000; ++move)
    {
        // Link ID linkIds + 1 has no object: the handle closes and is retried on later ticks.
        const int linkId = 1 + move % (linkIds + 1);
        setParam(proc->apvts, "linkID", float(linkId));
        while (proc->pendingLinkId.load() != linkId && proc->currentLinkId.load() != linkId)
            std::this_thread::yield();
        proc->timerCallback();

        // A new Ovrel takes the name of one that went.
        if (move % 5 == 0)
        {
            const int i = (move / 5) % linkIds;
            ovrels[i].reset();
            ovrels[i] = std::make_unique<OvrelStandIn>(scope.env, i + 1, float(i + 1));
        }
        if (move % 3 == 0)
            proc->setStateInformation(saved.getData(), static_cast<int>(saved.getSize()));
        proc->timerCallback();
    }

    running = false;
    audio.join();
    EXPECT_GT(blocks.load(), 0);
    EXPECT_EQ(wrong.load(), 0);
}
} // namespace
