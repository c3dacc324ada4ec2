#pragma once

#include "support/GainPairTest.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

// One gain processor in its own sandbox and the editor a host would get from it. The processor's own
// timer is stopped so that what a test sets stays as set; tests tick the editor by hand. Addresses
// the logo button would open are collected instead.
template <typename Processor, typename Editor> class GainEditorTest : public GainPairTest<Processor>
{
protected:
    void SetUp() override
    {
        freshProcessor();
        launched = std::make_shared<std::vector<juce::URL>>();
    }

    void TearDown() override
    {
        editor.reset();
        proc.reset();
    }

    // The old processor goes first, so the new one never meets its lock file.
    void freshProcessor()
    {
        editor.reset();
        proc.reset();
        proc = this->makeProcessor();
        proc->stopTimer();
    }

    Editor& openEditor()
    {
        editor.reset();
        editor.reset(static_cast<Editor*>(proc->createEditor()));
        auto sink = launched;
        editor->openUrl = [sink](const juce::URL& url) { sink->push_back(url); };
        return *editor;
    }

    void tickEditor(int times = 1)
    {
        for (int i = 0; i < times; ++i)
            editor->timerCallback();
    }

    std::unique_ptr<Processor> proc;
    std::unique_ptr<Editor> editor;
    std::shared_ptr<std::vector<juce::URL>> launched;
};
