#include "BenchGainLinkEnvironment.h"
#include "EditorBenchCase.h"
#include "PacedAudioFeeder.h"

#include "gainpair/ovrel/OvrelAudioProcessor.h"

namespace
{
class OvrelRig : public EditorBenchRig
{
public:
    explicit OvrelRig(bool busy)
    {
        proc = std::make_unique<OvrelAudioProcessor>(env);
        view.reset(proc->createEditor());
        view->addToDesktop(juce::ComponentPeer::windowHasTitleBar);
        view->setVisible(true);
        if (busy)
            feeder = std::make_unique<PacedAudioFeeder>(*proc, [this] { moveGain(); });
    }

    ~OvrelRig() override
    {
        feeder.reset();
        view.reset();
        proc.reset();
        env.applicationDataFolder.deleteRecursively();
    }

    juce::Component& editor() override { return *view; }

private:
    // Half a dB up at a time, from -6 to +6 and round again.
    void moveGain()
    {
        auto* gain = proc->apvts.getParameter("gain");
        gainDb = gainDb >= 6.0f ? -6.0f : gainDb + 0.5f;
        gain->beginChangeGesture();
        gain->setValueNotifyingHost(gain->convertTo0to1(gainDb));
        gain->endChangeGesture();
    }

    GainLinkEnvironment env = benchGainLinkEnvironment();
    std::unique_ptr<OvrelAudioProcessor> proc;
    std::unique_ptr<juce::AudioProcessorEditor> view;
    std::unique_ptr<PacedAudioFeeder> feeder;
    float gainDb = 0.0f;
};
} // namespace

std::vector<EditorBenchCase> editorBenchCases()
{
    return {{"Ovrel", [](bool busy) { return std::make_unique<OvrelRig>(busy); }, 1.5, 10.0}};
}
