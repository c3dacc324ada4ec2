#include "ReferenceChain.h"
#include "support/BivarroEverythingOn.h"
#include "support/ParamHelpers.h"

#include "bivarro/processor/BivarroAudioProcessor.h"

#include <gtest/gtest.h>

#include <random>
#include <utility>
#include <vector>

// The processor against the plain per-sample model over runs of blocks with parameters moving
// between blocks: odd block sizes, ramps that cross block and chunk borders, switches flipping.
namespace
{
using Changes = ParamValues;

struct Step
{
    int block;
    Changes changes; // applied before the block
};

struct Scenario
{
    const char* name;
    double rate;
    Changes initial; // applied before prepareToPlay
    std::vector<Step> steps;
};

[[maybe_unused]] void PrintTo(const Scenario& s, std::ostream* os)
{
    *os << s.name;
}

const Changes& everythingOn = bivarroEverythingOn();

const std::vector<Scenario> scenarios = {
    {"Defaults", 48000, {}, {{512, {}}, {64, {}}, {1000, {}}}},
    {"EverythingOnAndMoving",
     48000,
     everythingOn,
     {{64, {}},
      {129, {{"width", 160}, {"rotation", -20}, {"gainL", -4}, {"delayL", 9}, {"monoMakerFreq", 260}}},
      {1, {{"asymmetry", -60}, {"midGain", 2}}},
      {512, {{"sideGain", -6}, {"trimOut", 3}, {"delayR", 0.5f}, {"monoMakerInt", 40}}},
      {7, {{"rotation", 0}}},
      {1000, {{"width", 0}, {"rotation", 45}, {"monoMakerFreq", 80}}},
      {300, {{"apPhaseL", 90}, {"apOrder2R", 0}, {"panL", 100}, {"panR", -100}}},
      {2048, {}}}},
    {"FirstOrderStagesAndBlends",
     44100,
     {{"apPhaseL", 135}, {"apPhaseR", 45}, {"apFcL", 120}, {"apFcR", 19000}},
     {{256, {}},
      {256, {{"apPhaseL", 180}, {"apPhaseR", 0.1f}}},
      {256, {{"apOrder2L", 1}, {"apQL", 20}, {"apFcL", 20000}}},
      {256, {{"apOrder2L", 0}, {"apPhaseL", 37.3f}}}}},
    {"MutesMonoAndPolarity",
     48000,
     {{"muteMid", 1}, {"width", 300}},
     {{200, {}},
      {200, {{"muteMid", 0}, {"muteSide", 1}, {"polarityL", 1}}},
      {200, {{"muteSide", 0}, {"mono", 1}, {"muteL", 1}, {"gainR", -100}}},
      {200, {{"mono", 0}, {"muteR", 1}, {"polarityR", 1}, {"gainR", 6}}},
      {1200, {{"muteL", 0}, {"muteR", 0}, {"polarityL", 0}}}}},
    {"BassMonoSweeping",
     44100,
     {{"monoMakerInt", 60}},
     {{512, {{"monoMakerFreq", 4000}}},
      {3000, {{"monoMakerInt", 100}}},
      {100, {{"monoMakerFreq", 10}, {"monoMakerInt", 0}}},
      {9000, {{"monoMakerInt", 25}}}}},
    {"LowRateHighCrossover", 8000, {{"monoMakerInt", 100}, {"monoMakerFreq", 4000}}, {{512, {}}, {4000, {}}}},
    {"BypassInTheMiddleOfRamps",
     48000,
     {{"delayL", 20}},
     {{300, {{"gainL", -12}, {"delayL", 3}, {"rotation", 10}, {"monoMakerInt", 80}}},
      {256, {{"bypass", 1}, {"width", 250}, {"delayR", 40}}},
      {256, {{"bypass", 0}}},
      {512, {{"bypass", 0}, {"monoMakerFreq", 1500}}}}},
    {"HighRateLongBlock", 192000, everythingOn, {{20000, {{"rotation", -45}, {"delayL", 50}}}, {333, {}}}},
};

class ReferenceChain : public ::testing::TestWithParam<Scenario>
{
};

std::string scenarioName(const ::testing::TestParamInfo<Scenario>& p)
{
    return p.param.name;
}

void apply(BivarroAudioProcessor& proc, reference::Chain& ref, const Changes& changes)
{
    for (const auto& [id, value] : changes)
    {
        setParam(proc.apvts, id, value);
        ref.p[id] = rawParam(proc.apvts, id);
    }
}
} // namespace

TEST_P(ReferenceChain, MatchesPerSampleModel)
{
    const auto& sc = GetParam();
    BivarroAudioProcessor proc;
    reference::Chain ref;
    apply(proc, ref, sc.initial);
    proc.prepareToPlay(sc.rate, 512);
    ref.prepare(sc.rate);

    std::mt19937 rng(11);
    std::uniform_real_distribution<float> noise(-0.7f, 0.7f);
    juce::MidiBuffer midi;
    int blockIndex = 0;
    for (const auto& step : sc.steps)
    {
        apply(proc, ref, step.changes);
        juce::AudioBuffer<float> buffer(2, step.block);
        std::vector<float> l(static_cast<size_t>(step.block)), r(l.size());
        for (int i = 0; i < step.block; ++i)
        {
            // Noise with a slow sine under it, so the low band carries something.
            const float lowTone = 0.3f * std::sin(0.01f * static_cast<float>(i + blockIndex * 7));
            l[static_cast<size_t>(i)] = noise(rng) + lowTone;
            r[static_cast<size_t>(i)] = noise(rng) - lowTone;
            buffer.setSample(0, i, l[static_cast<size_t>(i)]);
            buffer.setSample(1, i, r[static_cast<size_t>(i)]);
        }
        proc.processBlock(buffer, midi);
        ref.process(l.data(), r.data(), step.block);

        for (int i = 0; i < step.block; ++i)
        {
            const float el = l[static_cast<size_t>(i)], er = r[static_cast<size_t>(i)];
            ASSERT_NEAR(buffer.getSample(0, i), el, 1e-6f * std::max(1.0f, std::abs(el)))
                << "block " << blockIndex << " sample " << i;
            ASSERT_NEAR(buffer.getSample(1, i), er, 1e-6f * std::max(1.0f, std::abs(er)))
                << "block " << blockIndex << " sample " << i;
        }
        EXPECT_NEAR(proc.peakDbL.load(), ref.peakDbL, 1e-4f) << "block " << blockIndex;
        EXPECT_NEAR(proc.peakDbR.load(), ref.peakDbR, 1e-4f) << "block " << blockIndex;
        EXPECT_NEAR(proc.rmsDbL.load(), ref.rmsDbL, 1e-4f) << "block " << blockIndex;
        EXPECT_NEAR(proc.rmsDbR.load(), ref.rmsDbR, 1e-4f) << "block " << blockIndex;
        ++blockIndex;
    }
}

INSTANTIATE_TEST_SUITE_P(Scenarios, ReferenceChain, ::testing::ValuesIn(scenarios), scenarioName);
