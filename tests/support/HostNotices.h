#pragma once

#include <juce_audio_processors/juce_audio_processors.h>
#include <juce_events/juce_events.h>

#include <vector>

// What a plug-in wrapper hears from a processor about one parameter: each change with its value and
// whether it came on the message thread inside a gesture.
class HostNotices : private juce::AudioProcessorListener
{
public:
    HostNotices(juce::AudioProcessor& p, int index) : proc(p), parameterIndex(index) { proc.addListener(this); }
    ~HostNotices() override { proc.removeListener(this); }

    struct Change
    {
        float normalised;
        bool onMessageThread;
        bool inGesture;
    };
    std::vector<Change> changes;

private:
    void audioProcessorParameterChanged(juce::AudioProcessor*, int index, float value) override
    {
        if (index == parameterIndex)
            changes.push_back({value, juce::MessageManager::getInstance()->isThisTheMessageThread(), depth > 0});
    }
    void audioProcessorParameterChangeGestureBegin(juce::AudioProcessor*, int index) override
    {
        depth += index == parameterIndex ? 1 : 0;
    }
    void audioProcessorParameterChangeGestureEnd(juce::AudioProcessor*, int index) override
    {
        depth -= index == parameterIndex ? 1 : 0;
    }
    void audioProcessorChanged(juce::AudioProcessor*, const ChangeDetails&) override {}

    juce::AudioProcessor& proc;
    int parameterIndex;
    int depth = 0;
};
