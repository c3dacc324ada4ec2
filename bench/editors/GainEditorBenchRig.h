#pragma once

#include "BenchGainLinkEnvironment.h"
#include "EditorBenchCase.h"
#include "PacedAudioFeeder.h"

#include <functional>
#include <memory>

// A gain plug-in's editor on the desktop, in a lock folder of its own. Busy, audio runs through the
// processor and the rig's move changes what the editor shows twice a second.
template <typename Processor> class GainEditorBenchRig : public EditorBenchRig
{
public:
    ~GainEditorBenchRig() override
    {
        close();
        env.applicationDataFolder.deleteRecursively();
    }

    juce::Component& editor() override { return *view; }

protected:
    void open(bool busy, std::function<void()> move)
    {
        proc = std::make_unique<Processor>(env);
        view.reset(proc->createEditor());
        view->addToDesktop(juce::ComponentPeer::windowHasTitleBar);
        view->setVisible(true);
        if (busy)
            feeder = std::make_unique<PacedAudioFeeder>(*proc, std::move(move));
    }

    // Feeder, editor and processor go before whatever a rig keeps beside them.
    void close()
    {
        feeder.reset();
        view.reset();
        proc.reset();
    }

    // Half a dB up at a time, from -6 to +6 and round again.
    float nextGainDb()
    {
        gainDb = gainDb >= 6.0f ? -6.0f : gainDb + 0.5f;
        return gainDb;
    }

    GainLinkEnvironment env = benchGainLinkEnvironment();
    std::unique_ptr<Processor> proc;

private:
    std::unique_ptr<juce::AudioProcessorEditor> view;
    std::unique_ptr<PacedAudioFeeder> feeder;
    float gainDb = 0.0f;
};
