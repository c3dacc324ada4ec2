#pragma once

#include "gainpair/undrel/UndrelTestSupport.h"
#include "support/EditorSnapshots.h"
#include "support/GainEditorTest.h"

#include "gainpair/ui/GainEditorFrame.h"
#include "gainpair/undrel/UndrelAudioProcessorEditor.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <gtest/gtest.h>

#include <limits>
#include <memory>

// Undrel's editor; linkToOvrel puts an Ovrel stand-in on link ID 1 before a new processor is made,
// so the processor reads it as a host's would.
class UndrelEditorTest : public GainEditorTest<UndrelAudioProcessor, UndrelAudioProcessorEditor>
{
protected:
    void TearDown() override
    {
        GainEditorTest::TearDown();
        ovrel.reset();
    }

    void linkToOvrel(float gainDb, bool bypass = false)
    {
        editor.reset();
        proc.reset();
        ovrel = std::make_unique<OvrelStandIn>(scope.env, 1, gainDb, bypass);
        freshProcessor();
        proc->prepareToPlay(48000.0, 512);
    }

    // As the audio thread leaves them after taking a block.
    void receive(float gainDb, bool bypass = false)
    {
        proc->receivedGainDb.store(gainDb);
        proc->receivedBypass.store(bypass);
    }

    std::unique_ptr<OvrelStandIn> ovrel;
};

inline juce::Colour pixelAt(const juce::Image& image, juce::Point<float> p)
{
    return image.getPixelAt((int)p.x, (int)p.y);
}

inline bool near(juce::Colour a, juce::Colour b, int tolerance = 40)
{
    return std::abs(a.getRed() - b.getRed()) <= tolerance && std::abs(a.getGreen() - b.getGreen()) <= tolerance &&
           std::abs(a.getBlue() - b.getBlue()) <= tolerance;
}
