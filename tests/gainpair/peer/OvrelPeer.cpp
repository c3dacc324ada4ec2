// The far side of the two-process Ovrel tests: one Ovrel instance in a process of its own, moved to
// a link ID and driven through its timer and audio blocks as a host would. It claims the master role
// once it sees another instance (when asked to), writes "role gain bypass" into <folder>/peer-status
// after every tick, and ends when <folder>/stop appears.
// Usage: OvrelPeer <application-data folder> <object-name prefix> <link ID> <gain dB> <claim 0|1>

#include "gainpair/ovrel/OvrelAudioProcessor.h"

#include <juce_events/juce_events.h>

#include <cstdlib>

int main(int argc, char** argv)
{
    if (argc != 6)
        return 2;

    juce::ScopedJuceInitialiser_GUI juce;
    GainLinkEnvironment env;
    env.applicationDataFolder = juce::File(juce::CharPointer_UTF8(argv[1]));
    env.objectNamePrefix = argv[2];
    const float linkId = static_cast<float>(std::atoi(argv[3]));
    const float gain = std::strtof(argv[4], nullptr);
    bool claim = std::atoi(argv[5]) != 0;

    const auto status = env.applicationDataFolder.getChildFile("peer-status");
    const auto stop = env.applicationDataFolder.getChildFile("stop");
    {
        OvrelAudioProcessor proc(env);
        proc.stopTimer();
        proc.prepareToPlay(48000.0, 64);
        for (auto [id, value] : {std::pair{"gain", gain}, std::pair{"linkID", linkId}})
        {
            auto* param = proc.apvts.getParameter(id);
            param->setValueNotifyingHost(param->convertTo0to1(value));
        }

        juce::AudioBuffer<float> buffer(2, 64);
        juce::MidiBuffer midi;
        const auto deadline = juce::Time::getMillisecondCounter() + 30000;
        while (!stop.exists() && juce::Time::getMillisecondCounter() < deadline)
        {
            buffer.clear();
            proc.processBlock(buffer, midi);
            if (claim && proc.multiInstance.load())
            {
                proc.requestMaster = true;
                claim = false;
            }
            proc.timerCallback();
            const auto text = juce::String(proc.linkRole.load()) + " " +
                              juce::String(proc.apvts.getRawParameterValue("gain")->load(), 2) + " " +
                              juce::String(proc.apvts.getRawParameterValue("bypass")->load() > 0.5f ? 1 : 0);
            status.replaceWithText(text);
            juce::Thread::sleep(20);
        }
    }
    return stop.exists() ? 0 : 4;
}
