#pragma once

#include "gainpair/ovrel/OvrelTestSupport.h"

#include "gainpair/ovrel/OvrelAudioProcessorEditor.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

// One processor in its own sandbox and the editor a host would get from it. The processor's own
// timer is stopped so that the roles a test sets stay as set; tests tick both timers by hand.
class OvrelEditorTest : public OvrelTest
{
protected:
    void SetUp() override
    {
        proc = makeProcessor();
        proc->stopTimer();
        launched = std::make_shared<std::vector<juce::URL>>();
    }

    void TearDown() override
    {
        editor.reset();
        proc.reset();
    }

    OvrelAudioProcessorEditor& openEditor()
    {
        editor.reset();
        editor.reset(static_cast<OvrelAudioProcessorEditor*>(proc->createEditor()));
        auto sink = launched;
        editor->openUrl = [sink](const juce::URL& url) { sink->push_back(url); };
        return *editor;
    }

    void setRole(LinkRole role, bool multi, char letter = 'B')
    {
        proc->linkRole.store(static_cast<int>(role));
        proc->multiInstance.store(multi);
        proc->instanceLetter.store(letter);
    }

    void tickEditor(int times = 1)
    {
        for (int i = 0; i < times; ++i)
            editor->timerCallback();
    }

    std::unique_ptr<OvrelAudioProcessor> proc;
    std::unique_ptr<OvrelAudioProcessorEditor> editor;
    std::shared_ptr<std::vector<juce::URL>> launched;
};

// A press at a position local to the component, as the desktop's main mouse would deliver it.
inline juce::MouseEvent pressAt(juce::Component& c, juce::Point<float> pos,
                                juce::ModifierKeys mods = juce::ModifierKeys::leftButtonModifier, int clicks = 1)
{
    const auto now = juce::Time::getCurrentTime();
    return juce::MouseEvent(juce::Desktop::getInstance().getMainMouseSource(), pos, mods,
                            juce::MouseInputSource::defaultPressure, juce::MouseInputSource::defaultOrientation,
                            juce::MouseInputSource::defaultRotation, juce::MouseInputSource::defaultTiltX,
                            juce::MouseInputSource::defaultTiltY, &c, &c, now, pos, now, clicks, false);
}

inline juce::Image snapshotOf(juce::Component& c)
{
    return c.createComponentSnapshot(c.getLocalBounds(), true, 1.0f);
}
