#include "EditorBenchCase.h"
#include "PacedAudioFeeder.h"

#include "bivarro/processor/BivarroAudioProcessor.h"

namespace
{
// Bivarro's editor with default settings; busy, the processor gets stereo noise in real time.
class BivarroRig : public EditorBenchRig
{
public:
    explicit BivarroRig(bool busy)
    {
        proc.setPlayConfigDetails(2, 2, 48000.0, 512);
        view.reset(proc.createEditor());
        view->addToDesktop(juce::ComponentPeer::windowHasTitleBar | juce::ComponentPeer::windowIsResizable);
        view->setVisible(true);
        if (busy)
            feeder = std::make_unique<PacedAudioFeeder>(proc, nullptr);
    }

    ~BivarroRig() override
    {
        feeder.reset();
        view.reset();
    }

    juce::Component& editor() override { return *view; }

private:
    BivarroAudioProcessor proc;
    std::unique_ptr<juce::AudioProcessorEditor> view;
    std::unique_ptr<PacedAudioFeeder> feeder;
};
} // namespace

std::vector<EditorBenchCase> editorBenchCases()
{
    return {{"Bivarro", [](bool busy) { return std::make_unique<BivarroRig>(busy); }, 3.0, 10.0}};
}
