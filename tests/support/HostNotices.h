#pragma once

#include "support/GainLinkTestEnvironment.h"

#include "gainpair/common/GainLinkLockFiles.h"

#include <juce_audio_processors/juce_audio_processors.h>
#include <juce_events/juce_events.h>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
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

// The link ID a gain processor chose in its constructor reaches the host once the host has prepared
// it, once, from the timer, inside a gesture; not before, and not over a value the host set itself.
// busy makes the processor under test choose link ID 2.
template <typename Processor>
void expectChosenLinkIdToldToHost(const ScopedGainLinkEnvironment& scope, const std::function<void()>& busy)
{
    const auto linkIdIndex = [](Processor& p) { return p.params.linkId.getParameterIndex(); };
    const auto normalisedLinkId = [](Processor& p, int id) { return p.params.linkId.convertTo0to1(float(id)); };

    struct Case
    {
        const char* what;
        bool prepare;
        int hostLinkId; // set by the host before the timer runs (0: not set)
        bool byRestore;
        int expectedChanges;
    };
    const Case cases[] = {
        {"prepared", true, 0, false, 1},
        {"not prepared yet", false, 0, false, 0},
        {"host restored another link ID", true, 7, true, 1},
        {"host set another link ID", true, 9, false, 1},
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.what);
        scope.env.applicationDataFolder.deleteRecursively();
        busy();
        auto proc = std::make_unique<Processor>(scope.env);
        ASSERT_EQ(proc->params.linkId.get(), 2);
        HostNotices notices(*proc, linkIdIndex(*proc));
        if (c.prepare)
            proc->prepareToPlay(48000.0, 64);
        if (c.hostLinkId != 0)
        {
            if (c.byRestore)
            {
                auto other = std::make_unique<Processor>(scope.env);
                other->params.linkId.setValueNotifyingHost(normalisedLinkId(*other, c.hostLinkId));
                juce::MemoryBlock state;
                other->getStateInformation(state);
                other.reset();
                proc->setStateInformation(state.getData(), static_cast<int>(state.getSize()));
            }
            else
            {
                proc->params.linkId.setValueNotifyingHost(normalisedLinkId(*proc, c.hostLinkId));
            }
        }
        for (int tick = 0; tick < 3; ++tick)
            proc->timerCallback();

        // The host's own change is heard as it is made; what follows must not undo it.
        ASSERT_EQ(static_cast<int>(notices.changes.size()), c.expectedChanges);
        const int expected = c.hostLinkId != 0 ? c.hostLinkId : 2;
        EXPECT_EQ(proc->params.linkId.get(), expected);
        if (c.expectedChanges == 1 && c.hostLinkId == 0)
        {
            const auto& told = notices.changes.front();
            EXPECT_FLOAT_EQ(told.normalised, normalisedLinkId(*proc, 2));
            EXPECT_TRUE(told.onMessageThread);
            EXPECT_TRUE(told.inGesture);
        }
    }
}
