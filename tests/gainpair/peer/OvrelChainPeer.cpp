// The Ovrel side of the two-process gain-pair tests: one Ovrel instance in a process of its own,
// driving a constant input of 0.25 block after block as a host would. It follows the command file
// <folder>/<name>.command ("<gain dB> <bypass 0|1> <timer ticks>", ticks counted from the start),
// writes "<link ID> <ticks done> <output over input> <compensation dB>" into <folder>/<name>.status
// after every block, and ends when <folder>/<name>.stop appears.
// Usage: OvrelChainPeer <application-data folder> <object-name prefix> <name>

#include "gainpair/ovrel/OvrelAudioProcessor.h"

#include <juce_events/juce_events.h>

#include <cmath>

namespace
{
void setParameter(OvrelAudioProcessor& proc, const char* id, float value)
{
    auto* param = proc.apvts.getParameter(id);
    if (std::abs(param->convertFrom0to1(param->getValue()) - value) > 1.0e-6f)
        param->setValueNotifyingHost(param->convertTo0to1(value));
}
} // namespace

int main(int argc, char** argv)
{
    if (argc != 4)
        return 2;

    juce::ScopedJuceInitialiser_GUI juce;
    GainLinkEnvironment env;
    env.applicationDataFolder = juce::File(juce::CharPointer_UTF8(argv[1]));
    env.objectNamePrefix = argv[2];
    const juce::String name(argv[3]);
    const auto command = env.applicationDataFolder.getChildFile(name + ".command");
    const auto status = env.applicationDataFolder.getChildFile(name + ".status");
    const auto stop = env.applicationDataFolder.getChildFile(name + ".stop");

    constexpr float input = 0.25f;
    constexpr int blockSize = 64;
    {
        OvrelAudioProcessor proc(env);
        // The test decides when the timer ticks, so that lock-file times stay as it set them.
        proc.stopTimer();
        proc.prepareToPlay(48000.0, blockSize);

        juce::AudioBuffer<float> buffer(2, blockSize);
        juce::MidiBuffer midi;
        int ticksDone = 0;
        const auto deadline = juce::Time::getMillisecondCounter() + 60000;
        while (!stop.exists() && juce::Time::getMillisecondCounter() < deadline)
        {
            const auto words = juce::StringArray::fromTokens(command.loadFileAsString(), false);
            if (words.size() == 3)
            {
                setParameter(proc, "gain", words[0].getFloatValue());
                setParameter(proc, "bypass", words[1].getFloatValue());
                for (; ticksDone < words[2].getIntValue(); ++ticksDone)
                    proc.timerCallback();
            }

            for (int ch = 0; ch < 2; ++ch)
                juce::FloatVectorOperations::fill(buffer.getWritePointer(ch), input, blockSize);
            proc.processBlock(buffer, midi);

            const auto* block = proc.gainLink.getBlock();
            const float compensation = block != nullptr ? block->compensationDb.load() : std::nanf("");
            status.replaceWithText(juce::String(proc.currentLinkId.load()) + " " + juce::String(ticksDone) + " " +
                                   juce::String(buffer.getSample(0, blockSize - 1) / input, 7) + " " +
                                   juce::String(compensation, 4));
            juce::Thread::sleep(2);
        }
    }
    return stop.exists() ? 0 : 4;
}
