#include "GainPairBench.h"

#include "gainpair/ovrel/OvrelAudioProcessor.h"

// Ovrel alone on its link ID, publishing into the block on every block, as in a session with one pair.
namespace
{
GainPairBench::ScopedBenchEnvironment scope;

void setRaw(OvrelAudioProcessor& proc, const char* id, float value)
{
    proc.apvts.getRawParameterValue(id)->store(value);
}

void OvrelSteady(benchmark::State& state)
{
    OvrelAudioProcessor proc(scope.env);
    setRaw(proc, "gain", 6.0f);
    GainPairBench::runBlocks(state, proc, [](std::int64_t) {});
}

void OvrelRamping(benchmark::State& state)
{
    OvrelAudioProcessor proc(scope.env);
    setRaw(proc, "gain", 6.0f);
    GainPairBench::runBlocks(state, proc,
                             [&proc](std::int64_t samples)
                             {
                                 if (samples % GainPairBench::moveEverySamples == 0)
                                     setRaw(proc, "gain",
                                            (samples / GainPairBench::moveEverySamples) % 2 ? -6.0f : 6.0f);
                             });
}

void OvrelBypassed(benchmark::State& state)
{
    OvrelAudioProcessor proc(scope.env);
    setRaw(proc, "gain", 6.0f);
    setRaw(proc, "bypass", 1.0f);
    GainPairBench::runBlocks(state, proc, [](std::int64_t) {});
}
} // namespace

BENCHMARK(OvrelSteady)->Arg(64)->Arg(512);
BENCHMARK(OvrelRamping)->Arg(64)->Arg(512);
BENCHMARK(OvrelBypassed)->Arg(64)->Arg(512);
GAIN_PAIR_BENCH_REFERENCES();

int main(int argc, char** argv)
{
    return GainPairBench::runMain(argc, argv);
}
