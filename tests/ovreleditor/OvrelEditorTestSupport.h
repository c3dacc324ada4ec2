#pragma once

#include "gainpair/ovrel/OvrelTestSupport.h"
#include "support/EditorSnapshots.h"
#include "support/GainEditorTest.h"

#include "gainpair/ovrel/OvrelAudioProcessorEditor.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <gtest/gtest.h>

// Ovrel's editor on a processor whose roles a test sets by hand.
class OvrelEditorTest : public GainEditorTest<OvrelAudioProcessor, OvrelAudioProcessorEditor>
{
protected:
    void setRole(LinkRole role, bool multi, char letter = 'B')
    {
        proc->linkRole.store(static_cast<int>(role));
        proc->multiInstance.store(multi);
        proc->instanceLetter.store(letter);
    }
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
