#include "EditorBenchCase.h"
#include "PacedAudioFeeder.h"

#include "bivarro/processor/BivarroAudioProcessor.h"

namespace
{
// Bivarro's editor; busy, the processor gets stereo noise in real time. With a scope mode, the
// analyser window opens from saved settings at its default size, as a reloaded project would. A
// display scale above 1 shows every window at that many device pixels per point.
class BivarroRig : public EditorBenchRig
{
public:
    BivarroRig(bool busy, int analyserScopeMode = -1, float dotDensity = 1.0f, float displayScale = 1.0f)
    {
        juce::Desktop::getInstance().setGlobalScaleFactor(displayScale);
        if (analyserScopeMode >= 0)
        {
            proc.settings.analyserOpen = true;
            proc.settings.analyserScopeMode = analyserScopeMode;
            proc.settings.analyserDotDensity = dotDensity;
            proc.settings.analyserSnapToPlugin = false;
        }
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
        juce::Desktop::getInstance().setGlobalScaleFactor(1.0f);
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
    return {
        {"Bivarro", [](bool busy) { return std::make_unique<BivarroRig>(busy); }, 3.0, 10.0},
        {"Bivarro + analyser, dots", [](bool busy) { return std::make_unique<BivarroRig>(busy, 0); }, 20.0, 20.0},
        {"Bivarro + analyser, envelope", [](bool busy) { return std::make_unique<BivarroRig>(busy, 1); }, 20.0, 20.0},
        {"Bivarro + analyser, dots at density 2", [](bool busy) { return std::make_unique<BivarroRig>(busy, 0, 2.0f); },
         20.0, 20.0},
        {"Bivarro + analyser at scale 2, dots",
         [](bool busy) { return std::make_unique<BivarroRig>(busy, 0, 1.0f, 2.0f); }, 20.0, 60.0},
        {"Bivarro + analyser at scale 2, envelope",
         [](bool busy) { return std::make_unique<BivarroRig>(busy, 1, 1.0f, 2.0f); }, 20.0, 60.0},
    };
}
