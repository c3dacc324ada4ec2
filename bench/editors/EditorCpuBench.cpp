// The cost of an open editor: each editor of the table is shown in a real window, first idle and
// then while a thread feeds its processor stereo noise in real time, and the process's CPU time per
// wall-clock second is reported for both phases (100 % is one core).
//
// Each executable is built against one plug-in's code (see bench/CMakeLists.txt), so its table
// holds the rows of that plug-in. Run under an X server, e.g.
//   xvfb-run -a -s "-screen 0 1280x1024x24" ./BivarroEditorBench [seconds per phase]

#include "tests/host/WindowManagerAtoms.h"

#if ORZ_BENCH_BIVARRO
#include "bivarro/processor/BivarroAudioProcessor.h"
#endif

#include <juce_audio_processors/juce_audio_processors.h>
#include <juce_gui_basics/juce_gui_basics.h>

#include <sys/resource.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <random>
#include <thread>

namespace
{
constexpr double sampleRate = 48000.0;
constexpr int blockSize = 512;

struct EditorCase
{
    const char* name;
    std::function<std::unique_ptr<juce::AudioProcessor>()> makeProcessor;
    double idleGoalPercent;
    double audioGoalPercent;
};

const EditorCase editorCases[] = {
#if ORZ_BENCH_BIVARRO
    {"Bivarro", [] { return std::make_unique<BivarroAudioProcessor>(); }, 3.0, 10.0},
#endif
};

double cpuSeconds(int who)
{
    rusage usage{};
    getrusage(who, &usage);
    const auto seconds = [](const timeval& t) { return (double)t.tv_sec + (double)t.tv_usec * 1.0e-6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

double wallSeconds()
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// Blocks of stereo noise at the pace of a real audio device.
class NoiseFeeder
{
public:
    explicit NoiseFeeder(juce::AudioProcessor& p) : processor(p) {}

    ~NoiseFeeder() { stop(); }

    void start()
    {
        running = true;
        thread = std::thread([this] { run(); });
    }

    void stop()
    {
        running = false;
        if (thread.joinable())
            thread.join();
    }

    double threadCpuSeconds() const { return threadCpu.load(); }

private:
    void run()
    {
        juce::ScopedNoDenormals noDenormals;
        juce::AudioBuffer<float> buffer(2, blockSize);
        juce::MidiBuffer midi;
        std::minstd_rand rng(7);
        std::uniform_real_distribution<float> noise(-0.5f, 0.5f);
        const auto blockTime = std::chrono::duration<double>(blockSize / sampleRate);
        auto next = std::chrono::steady_clock::now();
        const double cpuStart = cpuSeconds(RUSAGE_THREAD);
        while (running)
        {
            for (int ch = 0; ch < 2; ++ch)
                for (int i = 0; i < blockSize; ++i)
                    buffer.setSample(ch, i, noise(rng));
            processor.processBlock(buffer, midi);
            next += std::chrono::duration_cast<std::chrono::steady_clock::duration>(blockTime);
            std::this_thread::sleep_until(next);
        }
        threadCpu = cpuSeconds(RUSAGE_THREAD) - cpuStart;
    }

    juce::AudioProcessor& processor;
    std::atomic<bool> running{false};
    std::atomic<double> threadCpu{0.0};
    std::thread thread;
};

// CPU time of the whole process per wall-clock second while the message loop runs.
double measure(double seconds)
{
    const double cpu0 = cpuSeconds(RUSAGE_SELF);
    const double wall0 = wallSeconds();
    juce::MessageManager::getInstance()->runDispatchLoopUntil((int)(seconds * 1000.0));
    return 100.0 * (cpuSeconds(RUSAGE_SELF) - cpu0) / (wallSeconds() - wall0);
}

bool runCase(const EditorCase& c, double seconds)
{
    auto processor = c.makeProcessor();
    processor->setPlayConfigDetails(2, 2, sampleRate, blockSize);
    processor->prepareToPlay(sampleRate, blockSize);

    std::unique_ptr<juce::AudioProcessorEditor> editor(processor->createEditorIfNeeded());
    if (editor == nullptr)
    {
        std::printf("%s: no editor\n", c.name);
        return false;
    }
    editor->addToDesktop(juce::ComponentPeer::windowHasTitleBar | juce::ComponentPeer::windowIsResizable);
    editor->setVisible(true);
    // Let the window appear and the first full paint pass before measuring.
    juce::MessageManager::getInstance()->runDispatchLoopUntil(1000);

    const double idle = measure(seconds);

    NoiseFeeder feeder(*processor);
    feeder.start();
    juce::MessageManager::getInstance()->runDispatchLoopUntil(500);
    const double withAudio = measure(seconds);
    feeder.stop();
    const double audioThread = 100.0 * feeder.threadCpuSeconds() / (seconds + 0.5);

    editor->setVisible(false);
    editor.reset();
    processor->releaseResources();

    std::printf("%-10s idle %6.2f %% (goal <= %.0f %%)   with audio %6.2f %% (goal <= %.0f %%, of which the audio "
                "thread %.2f %%)\n",
                c.name, idle, c.idleGoalPercent, withAudio, c.audioGoalPercent, audioThread);
    return idle <= c.idleGoalPercent && withAudio <= c.audioGoalPercent;
}
} // namespace

int main(int argc, char** argv)
{
    const double seconds = argc > 1 ? juce::jmax(1.0, std::atof(argv[1])) : 10.0;
    createWindowManagerAtoms();
    juce::ScopedJuceInitialiser_GUI juce;

    bool allWithinGoals = true;
    for (const auto& c : editorCases)
        allWithinGoals = runCase(c, seconds) && allWithinGoals;
    return allWithinGoals ? 0 : 1;
}
