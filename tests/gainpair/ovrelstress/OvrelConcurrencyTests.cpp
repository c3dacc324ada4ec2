#include "gainpair/ovrel/OvrelTestSupport.h"

#include <array>
#include <cmath>
#include <thread>

namespace
{
// Runs blocks on a thread of its own, as a host's audio thread would, until it goes.
class AudioThread
{
public:
    // Every first sample of a block must come out with a gain between lowest and highest.
    AudioThread(OvrelAudioProcessor& p, float lowestGain, float highestGain)
        : lowest(lowestGain), highest(highestGain), proc(p), thread(
                                                                 [this]
                                                                 {
                                                                     juce::AudioBuffer<float> buffer(2, 64);
                                                                     juce::MidiBuffer midi;
                                                                     while (!stop.load())
                                                                     {
                                                                         buffer.clear();
                                                                         buffer.setSample(0, 0, 1.0f);
                                                                         proc.processBlock(buffer, midi);
                                                                         const float g = buffer.getSample(0, 0);
                                                                         if (!(g >= lowest && g <= highest))
                                                                             outOfRange = true;
                                                                         ++blocks;
                                                                     }
                                                                 })
    {
    }

    ~AudioThread()
    {
        stop = true;
        thread.join();
    }

    void waitForBlocks(int count) const
    {
        const int target = blocks.load() + count;
        while (blocks.load() < target)
            std::this_thread::yield();
    }

    std::atomic<bool> outOfRange{false};

private:
    const float lowest, highest;
    OvrelAudioProcessor& proc;
    std::atomic<bool> stop{false};
    std::atomic<int> blocks{0};
    std::thread thread;
};

juce::MemoryBlock stateWithGain(OvrelAudioProcessor& source, float gainDb)
{
    setParam(source.apvts, "gain", gainDb);
    juce::MemoryBlock block;
    source.getStateInformation(block);
    return block;
}
} // namespace

// Restores from a host thread while blocks run: each block applies a whole restored value.
TEST_F(OvrelTest, RestoreWhileAudioRuns)
{
    auto proc = makeProcessor();
    proc->prepareToPlay(48000.0, 64);
    std::array<juce::MemoryBlock, 2> states;
    {
        auto source = makeProcessor();
        states = {stateWithGain(*source, -12.0f), stateWithGain(*source, 12.0f)};
    }

    AudioThread audio(*proc, OvrelAudioProcessor::linearGain(-12.0f) * 0.999f,
                      OvrelAudioProcessor::linearGain(12.0f) * 1.001f);
    for (int i = 0; i < 200; ++i)
    {
        proc->setStateInformation(states[static_cast<size_t>(i % 2)].getData(), static_cast<int>(states[0].getSize()));
        audio.waitForBlocks(1);
    }
    EXPECT_FALSE(audio.outOfRange.load());
}

// The timer moves the instance between link IDs, claims and restores while its blocks run and
// publish into whichever mapping they hold.
TEST_F(OvrelTest, TimerMovesTheLinkWhileAudioRuns)
{
    auto proc = makeProcessor();
    auto other = makeProcessor();
    proc->prepareToPlay(48000.0, 64);
    juce::MemoryBlock state;
    {
        auto source = makeProcessor();
        state = stateWithGain(*source, 3.0f);
    }

    AudioThread audio(*proc, 0.999f, OvrelAudioProcessor::linearGain(3.0f) * 1.001f);
    for (int i = 0; i < 300; ++i)
    {
        setParam(proc->apvts, "linkID", static_cast<float>(1 + i % 3));
        audio.waitForBlocks(1);
        tick(*proc);
        tick(*other);
        if (i % 5 == 0)
            proc->requestMaster = true;
        if (i % 7 == 0)
            proc->setStateInformation(state.getData(), static_cast<int>(state.getSize()));
    }
    EXPECT_FALSE(audio.outOfRange.load());
}
