#include "BenchGainLinkEnvironment.h"
#include "EditorBenchCase.h"
#include "PacedAudioFeeder.h"

#include "gainpair/undrel/UndrelAudioProcessor.h"
#include "support/OvrelStandIn.h"

namespace
{
// Undrel linked to an Ovrel stand-in on link ID 1; busy, the stand-in's gain moves by half a dB twice
// a second, so values, knob, meter and pulses keep running.
class UndrelRig : public EditorBenchRig
{
public:
    explicit UndrelRig(bool busy)
    {
        env.applicationDataFolder.createDirectory();
        ovrel = std::make_unique<OvrelStandIn>(env, 1, 0.0f);
        proc = std::make_unique<UndrelAudioProcessor>(env);
        view.reset(proc->createEditor());
        view->addToDesktop(juce::ComponentPeer::windowHasTitleBar);
        view->setVisible(true);
        if (busy)
            feeder = std::make_unique<PacedAudioFeeder>(*proc, [this] { moveGain(); });
    }

    ~UndrelRig() override
    {
        feeder.reset();
        view.reset();
        proc.reset();
        ovrel.reset();
        env.applicationDataFolder.deleteRecursively();
    }

    juce::Component& editor() override { return *view; }

private:
    void moveGain()
    {
        gainDb = gainDb >= 6.0f ? -6.0f : gainDb + 0.5f;
        ovrel->publish(gainDb);
    }

    GainLinkEnvironment env = benchGainLinkEnvironment();
    std::unique_ptr<OvrelStandIn> ovrel;
    std::unique_ptr<UndrelAudioProcessor> proc;
    std::unique_ptr<juce::AudioProcessorEditor> view;
    std::unique_ptr<PacedAudioFeeder> feeder;
    float gainDb = 0.0f;
};
} // namespace

std::vector<EditorBenchCase> editorBenchCases()
{
    return {{"Undrel", [](bool busy) { return std::make_unique<UndrelRig>(busy); }, 3.0, 10.0}};
}
