#pragma once

#include "gainpair/common/GainLinkEnvironment.h"

#include <benchmark/benchmark.h>

#include <juce_audio_basics/juce_audio_basics.h>
#include <juce_events/juce_events.h>

#include <map>
#include <random>
#include <string>
#include <sys/mman.h>
#include <unistd.h>
#include <vector>

// Shared by the Ovrel and Undrel benchmarks: 48 kHz stereo noise fed block by block, the reference
// cases every processor case is measured against in the same run, and a private link environment so
// a benchmark never meets a live instance of the user.
namespace GainPairBench
{
inline constexpr double sampleRate = 48000.0;
inline constexpr int numChannels = 2;
// A ramp lasts 0.15 s (7200 samples); moving the target this often keeps the smoothers ramping.
inline constexpr int moveEverySamples = 512;

class ScopedBenchEnvironment
{
public:
    ScopedBenchEnvironment()
    {
        const auto tag = std::to_string(getpid());
        env.applicationDataFolder =
            juce::File::getSpecialLocation(juce::File::tempDirectory).getChildFile("OrzGainPairBench_" + tag);
        env.applicationDataFolder.createDirectory();
        env.objectNamePrefix = "/OrzGainPairBench_" + tag + "_ID_";
    }

    ~ScopedBenchEnvironment()
    {
        for (int linkId = 1; linkId <= 50; ++linkId)
            shm_unlink(env.objectNameFor(linkId).c_str());
        env.applicationDataFolder.deleteRecursively();
    }

    GainLinkEnvironment env;
};

// The noise is copied into the buffer before every block, in the processor cases and the references
// alike; the case Copy shows what that costs on its own.
class NoiseFeed
{
public:
    NoiseFeed() : noise(numChannels * length)
    {
        std::mt19937 rng(7);
        std::uniform_real_distribution<float> dist(-0.5f, 0.5f);
        for (auto& v : noise)
            v = dist(rng);
    }

    void fill(juce::AudioBuffer<float>& buffer)
    {
        const int n = buffer.getNumSamples();
        for (int ch = 0; ch < numChannels; ++ch)
            buffer.copyFrom(ch, 0, noise.data() + ch * length + offset, n);
        offset = (offset + n) & (length - 1);
    }

private:
    static constexpr int length = 1 << 14;
    std::vector<float> noise;
    int offset = 0;
};

inline void setPerFrameCounter(benchmark::State& state, int block)
{
    state.counters["ns_per_frame"] = benchmark::Counter(
        static_cast<double>(block), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// beforeBlock(samplesSoFar) may move parameters; it is timed with the block, so keep it cheap.
template <typename Processor, typename BeforeBlock>
void runBlocks(benchmark::State& state, Processor& proc, BeforeBlock&& beforeBlock)
{
    const int block = static_cast<int>(state.range(0));
    proc.prepareToPlay(sampleRate, block);
    juce::AudioBuffer<float> buffer(numChannels, block);
    juce::MidiBuffer midi;
    NoiseFeed feed;
    std::int64_t samples = 0;

    for (auto _ : state)
    {
        beforeBlock(samples);
        samples += block;
        feed.fill(buffer);
        proc.processBlock(buffer, midi);
        benchmark::DoNotOptimize(buffer.getReadPointer(0));
        benchmark::ClobberMemory();
    }
    setPerFrameCounter(state, block);
}

// What a bare gain costs: one vector multiply per channel.
inline void Multiply(benchmark::State& state)
{
    const int block = static_cast<int>(state.range(0));
    juce::AudioBuffer<float> buffer(numChannels, block);
    NoiseFeed feed;
    const float gain = juce::Decibels::decibelsToGain(6.0f);
    for (auto _ : state)
    {
        feed.fill(buffer);
        for (int ch = 0; ch < numChannels; ++ch)
            juce::FloatVectorOperations::multiply(buffer.getWritePointer(ch), gain, block);
        benchmark::DoNotOptimize(buffer.getReadPointer(0));
        benchmark::ClobberMemory();
    }
    setPerFrameCounter(state, block);
}

inline void Copy(benchmark::State& state)
{
    const int block = static_cast<int>(state.range(0));
    juce::AudioBuffer<float> buffer(numChannels, block);
    NoiseFeed feed;
    for (auto _ : state)
    {
        feed.fill(buffer);
        benchmark::DoNotOptimize(buffer.getReadPointer(0));
        benchmark::ClobberMemory();
    }
    setPerFrameCounter(state, block);
}

// After the usual table, each case's time as a multiple of Multiply's at the same block size: as
// measured, and net of the copy of the noise that every case includes. Medians when repeated.
class RatioReporter : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const auto& run : runs)
        {
            const bool single = run.run_type == Run::RT_Iteration && run.repetitions <= 1;
            const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            if (!run.error_occurred && (single || median))
                times[run.run_name.function_name][run.run_name.args] = run.GetAdjustedRealTime();
        }
    }

    void Finalize() override
    {
        ConsoleReporter::Finalize();
        auto& out = GetOutputStream();
        out << "\nRatio to Multiply (as measured | net of Copy):\n";
        for (const auto& [name, byBlock] : times)
        {
            if (name == "Multiply" || name == "Copy")
                continue;
            for (const auto& [block, t] : byBlock)
            {
                const double multiply = lookup("Multiply", block), copy = lookup("Copy", block);
                if (multiply <= 0.0)
                    continue;
                char line[160];
                std::snprintf(line, sizeof(line), "  %-16s block %4s  %6.2fx | %6.2fx\n", name.c_str(), block.c_str(),
                              t / multiply, copy > 0.0 && multiply > copy ? (t - copy) / (multiply - copy) : 0.0);
                out << line;
            }
        }
    }

private:
    double lookup(const std::string& name, const std::string& block) const
    {
        const auto n = times.find(name);
        if (n == times.end())
            return 0.0;
        const auto b = n->second.find(block);
        return b == n->second.end() ? 0.0 : b->second;
    }

    std::map<std::string, std::map<std::string, double>> times;
};

inline int runMain(int argc, char** argv)
{
    juce::ScopedJuceInitialiser_GUI juce;
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    // Benchmarks run on this thread; it flushes denormals as a host's audio thread does.
    juce::FloatVectorOperations::disableDenormalisedNumberSupport(true);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
} // namespace GainPairBench

#define GAIN_PAIR_BENCH_REFERENCES()                                                                                   \
    BENCHMARK(GainPairBench::Multiply)->Name("Multiply")->Arg(64)->Arg(512);                                           \
    BENCHMARK(GainPairBench::Copy)->Name("Copy")->Arg(64)->Arg(512)
