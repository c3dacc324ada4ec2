#include "GainPairBench.h"

#include "gainpair/common/GainLinkSharedMemory.h"
#include "gainpair/undrel/UndrelAudioProcessor.h"

// Undrel reading a current block from an Ovrel at +6 dB on its link ID, as in a session with one pair.
namespace
{
GainPairBench::ScopedBenchEnvironment scope;

// The Ovrel side: a writer mapping made before Undrel chooses its link ID (the first free one), kept
// current by a fresh stamp now and then.
struct LinkedUndrel
{
    LinkedUndrel() : writer(scope.env)
    {
        writer.initAsWriter(1, 6.0f, false);
        proc = std::make_unique<UndrelAudioProcessor>(scope.env);
    }

    void keepCurrent(std::int64_t samples)
    {
        if (samples % (1 << 16) == 0)
            writer.getBlock()->publish(6.0f, false, GainLinkBlock::wallClockMs());
    }

    void setRaw(const char* id, float value) { proc->apvts.getRawParameterValue(id)->store(value); }

    GainLinkSharedMemory writer;
    std::unique_ptr<UndrelAudioProcessor> proc;
};

void UndrelSteady(benchmark::State& state)
{
    LinkedUndrel link;
    link.setRaw("trim", 3.0f);
    GainPairBench::runBlocks(state, *link.proc, [&link](std::int64_t samples) { link.keepCurrent(samples); });
}

void UndrelRamping(benchmark::State& state)
{
    LinkedUndrel link;
    link.setRaw("trim", 3.0f);
    GainPairBench::runBlocks(state, *link.proc,
                             [&link](std::int64_t samples)
                             {
                                 link.keepCurrent(samples);
                                 if (samples % GainPairBench::moveEverySamples == 0)
                                     link.setRaw("trim",
                                                 (samples / GainPairBench::moveEverySamples) % 2 ? -3.0f : 3.0f);
                             });
}

void UndrelBypassed(benchmark::State& state)
{
    LinkedUndrel link;
    link.setRaw("trim", 3.0f);
    link.setRaw("bypass", 1.0f);
    GainPairBench::runBlocks(state, *link.proc, [&link](std::int64_t samples) { link.keepCurrent(samples); });
}
} // namespace

BENCHMARK(UndrelSteady)->Arg(64)->Arg(512);
BENCHMARK(UndrelRamping)->Arg(64)->Arg(512);
BENCHMARK(UndrelBypassed)->Arg(64)->Arg(512);
GAIN_PAIR_BENCH_REFERENCES();

int main(int argc, char** argv)
{
    return GainPairBench::runMain(argc, argv);
}
