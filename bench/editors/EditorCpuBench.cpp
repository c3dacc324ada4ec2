// The cost of an open editor: each editor of the table is shown in a real window, first idle and
// then while a thread feeds its processor stereo noise in real time, and the process's CPU time per
// wall-clock second is reported for both phases (100 % is one core). Bivarro's rows with the
// analyser open its window at the default size from saved settings, as a reloaded project would.
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

#if ORZ_BENCH_BIVARRO
// Bivarro with its analyser window open in the given scope mode and point density.
std::unique_ptr<juce::AudioProcessor> bivarroWithAnalyser(int scopeMode, float dotDensity)
{
    auto p = std::make_unique<BivarroAudioProcessor>();
    p->settings.analyserOpen = true;
    p->settings.analyserScopeMode = scopeMode;
    p->settings.analyserDotDensity = dotDensity;
    p->settings.analyserSnapToPlugin = false;
    return p;
}
#endif

const EditorCase editorCases[] = {
#if ORZ_BENCH_BIVARRO
    {"Bivarro", [] { return std::make_unique<BivarroAudioProcessor>(); }, 3.0, 10.0},
    {"Bivarro + analyser, dots", [] { return bivarroWithAnalyser(0, 1.0f); }, 20.0, 20.0},
    {"Bivarro + analyser, envelope", [] { return bivarroWithAnalyser(1, 1.0f); }, 20.0, 20.0},
    {"Bivarro + analyser, dots at density 2", [] { return bivarroWithAnalyser(0, 2.0f); }, 20.0, 20.0},
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

// CPU and wall-clock time at one moment, for the share between two of them.
struct Stamp
{
    double cpu = cpuSeconds(RUSAGE_SELF);
    double wall = wallSeconds();

    double percentSince(const Stamp& start) const { return 100.0 * (cpu - start.cpu) / (wall - start.wall); }
};

// One editor's run, driven by delayed calls from the framework's own blocking message loop, as in a
// host: the window settles, then the idle phase, then the phase with audio.
class EditorRun
{
public:
    EditorRun(const EditorCase& c, double secondsPerPhase, std::function<void(bool)> whenDone)
        : editorCase(c), phaseMs((int)(secondsPerPhase * 1000.0)), done(std::move(whenDone))
    {
    }

    void start()
    {
        processor = editorCase.makeProcessor();
        processor->setPlayConfigDetails(2, 2, sampleRate, blockSize);
        processor->prepareToPlay(sampleRate, blockSize);
        editor.reset(processor->createEditorIfNeeded());
        if (editor == nullptr)
        {
            std::printf("%s: no editor\n", editorCase.name);
            done(false);
            return;
        }
        editor->addToDesktop(juce::ComponentPeer::windowHasTitleBar | juce::ComponentPeer::windowIsResizable);
        editor->setVisible(true);
        after(1000, [this] { idlePhase(); });
    }

private:
    void after(int ms, std::function<void()> step) { juce::Timer::callAfterDelay(ms, std::move(step)); }

    void idlePhase()
    {
        const Stamp begin;
        after(phaseMs,
              [this, begin]
              {
                  idle = Stamp().percentSince(begin);
                  feeder = std::make_unique<NoiseFeeder>(*processor);
                  feeder->start();
                  after(500, [this] { audioPhase(); });
              });
    }

    void audioPhase()
    {
        const Stamp begin;
        after(phaseMs,
              [this, begin]
              {
                  const double withAudio = Stamp().percentSince(begin);
                  feeder->stop();
                  const double audioThread = 100.0 * feeder->threadCpuSeconds() / (phaseMs / 1000.0 + 0.5);
                  feeder.reset();
                  editor->setVisible(false);
                  editor.reset();
                  processor->releaseResources();
                  processor.reset();

                  std::printf("%-38s idle %6.2f %% (goal <= %.0f %%)   with audio %6.2f %% (goal <= %.0f %%; the "
                              "audio thread alone %.2f %%)\n",
                              editorCase.name, idle, editorCase.idleGoalPercent, withAudio, editorCase.audioGoalPercent,
                              audioThread);
                  done(idle <= editorCase.idleGoalPercent && withAudio <= editorCase.audioGoalPercent);
              });
    }

    const EditorCase& editorCase;
    const int phaseMs;
    std::function<void(bool)> done;
    std::unique_ptr<juce::AudioProcessor> processor;
    std::unique_ptr<juce::AudioProcessorEditor> editor;
    std::unique_ptr<NoiseFeeder> feeder;
    double idle = 0.0;
};
} // namespace

int main(int argc, char** argv)
{
    const double seconds = argc > 1 ? juce::jmax(1.0, std::atof(argv[1])) : 10.0;
    createWindowManagerAtoms();
    juce::ScopedJuceInitialiser_GUI juce;

    bool allWithinGoals = true;
    size_t next = 0;
    std::unique_ptr<EditorRun> run;
    std::function<void()> runNext = [&]
    {
        if (next == std::size(editorCases))
        {
            juce::MessageManager::getInstance()->stopDispatchLoop();
            return;
        }
        run = std::make_unique<EditorRun>(editorCases[next++], seconds,
                                          [&](bool withinGoals)
                                          {
                                              allWithinGoals = allWithinGoals && withinGoals;
                                              juce::MessageManager::callAsync(runNext);
                                          });
        run->start();
    };
    juce::MessageManager::callAsync(runNext);
    juce::MessageManager::getInstance()->runDispatchLoop();
    run.reset();
    return allWithinGoals ? 0 : 1;
}
