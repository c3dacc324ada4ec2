#include "EditorBenchCase.h"

#include "gainpair/ovrel/OvrelAudioProcessor.h"

#include <unistd.h>

namespace
{
// Feeds the processor as a host would: blocks of 512 samples of a sine at 48 kHz on their own thread,
// and a gain that moves by half a dB twice a second, so meter and pulses keep running.
class OvrelFeeder : private juce::Thread, private juce::Timer
{
public:
    explicit OvrelFeeder(OvrelAudioProcessor& p) : juce::Thread("Ovrel bench audio"), proc(p)
    {
        proc.prepareToPlay(sampleRate, blockSize);
        startThread(juce::Thread::Priority::high);
        startTimer(500);
    }

    ~OvrelFeeder() override
    {
        stopTimer();
        stopThread(1000);
        proc.releaseResources();
    }

private:
    static constexpr double sampleRate = 48000.0;
    static constexpr int blockSize = 512;

    void run() override
    {
        juce::AudioBuffer<float> buffer(2, blockSize);
        juce::MidiBuffer midi;
        double phase = 0.0;
        const double blockMs = 1000.0 * blockSize / sampleRate;
        double next = juce::Time::getMillisecondCounterHiRes();
        while (!threadShouldExit())
        {
            for (int i = 0; i < blockSize; ++i)
            {
                const auto v = (float)(0.25 * std::sin(phase));
                phase += 2.0 * juce::MathConstants<double>::pi * 440.0 / sampleRate;
                buffer.setSample(0, i, v);
                buffer.setSample(1, i, v);
            }
            proc.processBlock(buffer, midi);
            next += blockMs;
            const double wait = next - juce::Time::getMillisecondCounterHiRes();
            if (wait > 0.0)
                juce::Thread::sleep((int)wait);
        }
    }

    void timerCallback() override
    {
        auto* gain = proc.apvts.getParameter("gain");
        gainDb = gainDb >= 6.0f ? -6.0f : gainDb + 0.5f;
        gain->beginChangeGesture();
        gain->setValueNotifyingHost(gain->convertTo0to1(gainDb));
        gain->endChangeGesture();
    }

    OvrelAudioProcessor& proc;
    float gainDb = 0.0f;
};

class OvrelRig : public EditorBenchRig
{
public:
    explicit OvrelRig(bool busy)
    {
        // A private lock folder and object names, so the benchmark never meets the user's instances.
        env.applicationDataFolder = juce::File::getSpecialLocation(juce::File::tempDirectory)
                                        .getChildFile("OrzEditorBench_" + juce::String(getpid()));
        env.objectNamePrefix = "/OrzEditorBench_" + std::to_string(getpid()) + "_ID_";
        proc = std::make_unique<OvrelAudioProcessor>(env);
        view.reset(proc->createEditor());
        view->addToDesktop(juce::ComponentPeer::windowHasTitleBar);
        view->setVisible(true);
        if (busy)
            feeder = std::make_unique<OvrelFeeder>(*proc);
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
    GainLinkEnvironment env;
    std::unique_ptr<OvrelAudioProcessor> proc;
    std::unique_ptr<juce::AudioProcessorEditor> view;
    std::unique_ptr<OvrelFeeder> feeder;
};
} // namespace

EditorBenchCase ovrelEditorBenchCase()
{
    return {"Ovrel", [](bool busy) { return std::make_unique<OvrelRig>(busy); }, 3.0, 10.0};
}
