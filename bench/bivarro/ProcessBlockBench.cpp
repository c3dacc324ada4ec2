#include "BivarroBenchSettings.h"
#include "bivarro/processor/BivarroAudioProcessor.h"

#include <benchmark/benchmark.h>

#include <juce_events/juce_events.h>

#include <atomic>
#include <initializer_list>
#include <random>
#include <utility>
#include <vector>

// processBlock at 48 kHz on stereo noise. The counter ns_per_frame is the time per stereo frame
// (shown with an SI prefix: "12.3n" is 12.3 ns). The copy of the noise into the buffer before
// each block is included; it is a small fraction of a nanosecond per frame.
namespace
{
constexpr double sampleRate = 48000.0;

using BivarroBenchSettings::allActive;
using BivarroBenchSettings::Settings;

// Every 512 samples the ramped parameters swap between these and the values above, so that the
// smoothers are always ramping (20 ms is 960 samples) and the crossover follows its frequency.
const Settings allActiveMoved = {{"width", 160.0f},  {"asymmetry", 35.0f}, {"rotation", 25.0f},      {"midGain", -2.0f},
                                 {"sideGain", 3.5f}, {"trimOut", -1.0f},   {"gainL", -2.0f},         {"gainR", 1.0f},
                                 {"delayL", 8.5f},   {"delayR", 11.25f},   {"monoMakerFreq", 230.0f}};

const Settings bypassOn = {{"bypass", 1.0f}};

// The raw values are what the audio thread reads; writing them directly keeps the host-side
// parameter machinery out of the timing.
using RawValues = std::vector<std::pair<std::atomic<float>*, float>>;

RawValues rawValues(BivarroAudioProcessor& p, const Settings& settings)
{
    RawValues raw;
    for (const auto& [id, value] : settings)
        raw.emplace_back(p.apvts.getRawParameterValue(id), value);
    return raw;
}

void apply(const RawValues& raw)
{
    for (const auto& [param, value] : raw)
        param->store(value);
}

void runProcessBlock(benchmark::State& state, const Settings& settings, const Settings& moved)
{
    const int block = static_cast<int>(state.range(0));
    BivarroAudioProcessor proc;
    const auto initial = rawValues(proc, settings);
    const auto changed = rawValues(proc, moved);
    apply(initial);
    proc.prepareToPlay(sampleRate, block);

    constexpr int noiseLength = 1 << 14;
    std::vector<float> noise(2 * noiseLength);
    std::mt19937 rng(7);
    std::uniform_real_distribution<float> dist(-0.5f, 0.5f);
    for (auto& v : noise)
        v = dist(rng);

    juce::AudioBuffer<float> buffer(2, block);
    juce::MidiBuffer midi;
    int offset = 0;
    int sinceMove = 0;
    bool swapped = false;

    for (auto _ : state)
    {
        if (!moved.empty() && (sinceMove += block) >= 512)
        {
            sinceMove = 0;
            swapped = !swapped;
            apply(swapped ? changed : initial);
        }
        buffer.copyFrom(0, 0, noise.data() + offset, block);
        buffer.copyFrom(1, 0, noise.data() + noiseLength + offset, block);
        offset = (offset + block) & (noiseLength - 1);
        proc.processBlock(buffer, midi);
        benchmark::DoNotOptimize(buffer.getReadPointer(0));
        benchmark::ClobberMemory();
    }

    state.counters["ns_per_frame"] = benchmark::Counter(
        static_cast<double>(block), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void Defaults(benchmark::State& state)
{
    runProcessBlock(state, {}, {});
}

void AllActive(benchmark::State& state)
{
    runProcessBlock(state, allActive, allActiveMoved);
}

// The settings above held still, as the peer benchmark runs them.
void AllActiveStill(benchmark::State& state)
{
    runProcessBlock(state, allActive, {});
}

void Bypass(benchmark::State& state)
{
    runProcessBlock(state, bypassOn, {});
}
} // namespace

BENCHMARK(Defaults)->Arg(64)->Arg(512);
BENCHMARK(AllActive)->Arg(64)->Arg(512);
BENCHMARK(AllActiveStill)->Arg(64)->Arg(512);
BENCHMARK(Bypass)->Arg(64)->Arg(512);

int main(int argc, char** argv)
{
    juce::ScopedJuceInitialiser_GUI juce;
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
