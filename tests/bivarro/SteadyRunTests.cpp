#include "ReferenceChain.h"
#include "support/BivarroEverythingOn.h"
#include "support/BivarroProbe.h"
#include "support/ParamHelpers.h"

#include "bivarro/processor/BivarroAudioProcessor.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

// Runs in which a stage's work can be left out or folded into another stage's loop (bass mono
// off, a crossover frequency that holds, angles that did not change, a delay that holds) against the per-sample
// model, across the borders into and out of them: ramps in flight, changes between short blocks
// (a host that splits its block to place a change), blocks that end between two coefficient
// checks. The crossover must keep exactly the states of the model: at any later block the
// intensity may rise and make them heard.
namespace
{
struct Step
{
    int block;
    ParamValues changes; // applied before the block
};

struct Case
{
    const char* name;
    ParamValues initial;
    std::vector<Step> steps;
    double rate = 48000.0;
};

[[maybe_unused]] void PrintTo(const Case& c, std::ostream* os)
{
    *os << c.name;
}

const std::vector<Case> cases = {
    {"BassMonoComesAndGoes",
     {},
     {{512, {}},
      {37, {{"monoMakerInt", 50}}},
      {129, {}},
      {1, {}},
      {700, {{"monoMakerFreq", 300}}},
      {1000, {{"monoMakerInt", 0}}},
      {1500, {}}, // the 50 ms ramp down ends inside this block
      {512, {}},
      {3, {{"monoMakerInt", 100}}},
      {61, {{"monoMakerInt", 0}}},
      {2400, {}}}},
    {"FrequencyMovesWhileOff",
     {{"monoMakerFreq", 10}},
     {{256, {}},
      {333, {{"monoMakerFreq", 3000}}},
      {4000, {}},
      {3000, {}}, // the 150 ms ramp ends inside this block
      {256, {}},
      {128, {{"monoMakerInt", 100}}},
      {128, {}}}},
    {"SmallFrequencyNudges",
     {{"monoMakerFreq", 120}},
     {{64, {}},
      {1, {{"monoMakerFreq", 120.03f}}},
      {31, {}},
      {33, {{"monoMakerFreq", 120.2f}}},
      {127, {}},
      {129, {{"monoMakerFreq", 119.99f}}},
      {5, {{"monoMakerInt", 30}}},
      {64, {{"monoMakerInt", 0}}},
      {4096, {}}}},
    {"EverythingElseMovingWhileOff",
     withAlso(bivarroEverythingOn(), {{"monoMakerInt", 0}}),
     {{300, {}},
      {77, {{"rotation", -10}, {"width", 40}, {"panL", 40}}},
      {77, {{"panL", 40}, {"panR", -60}}},
      {256, {{"panL", 0}, {"panR", 0}, {"rotation", 0}}},
      {1024, {{"delayL", 0}, {"gainR", 0}}},
      {513, {{"monoMakerInt", 20}}},
      {300, {}}}},
    {"DelaysSettleAndMove",
     {{"delayL", 0.5f}, {"delayR", 50}, {"gainL", -3}},
     {{700, {}},
      {129, {{"delayL", 0.01f}}}, // 0.48 samples: the read spans the sample just written and the one before
      {960, {}},
      {5, {{"delayL", 21.33f}, {"delayR", 0}}},
      {1000, {}},
      {2048, {}}, // both delays settled, the right one at 0
      {77, {{"delayR", 0.02f}}},
      {1024, {{"gainL", 0}}}}},
    // Stages whose factors sit at exactly 1 (width, mid, side, trim, no asymmetry, no switch) are
    // left out; each factor leaves 1 and comes back to it, by ramps that end inside blocks and
    // inside the loop's four-sample steps, and by changes placed between short blocks.
    {"IdentityStagesComeAndGo",
     {},
     {{256, {}},
      {37, {{"trimOut", -3}}},
      {1000, {{"trimOut", 0}}},
      {3, {{"width", 101.3f}}},
      {958, {{"width", 100}}}, // the ramp back ends two samples before this block does
      {2, {}},
      {129, {{"midGain", 0.1f}, {"sideGain", -0.1f}}},
      {1, {{"midGain", 0}}},
      {1100, {{"sideGain", 0}}},
      {64, {{"asymmetry", 0.1f}}},
      {1000, {}},
      {5, {{"asymmetry", 0}}},
      {1000, {}},
      {77, {{"asymmetry", -90}, {"width", 0}}},
      {1000, {{"asymmetry", 0}, {"width", 100}}},
      {128, {}}}},
    // At 51200 Hz a 20 ms ramp has 1024 steps, so a width ramp from 0 to 200 % passes exactly
    // through 100 %, here at the first sample of a block: a moving ramp is no identity.
    {"RampPassesExactlyThroughUnity",
     {{"width", 0}},
     {{64, {}}, {511, {{"width", 200}}}, {700, {}}, {300, {{"width", 100}}}},
     51200.0},
    {"SwitchesCrossTheIdentityRuns",
     {{"monoMakerFreq", 900}},
     {{64, {{"muteMid", 1}}},
      {3, {{"muteMid", 0}}},
      {61, {{"mono", 1}}},
      {1, {{"mono", 0}, {"muteR", 1}}},
      {130, {{"muteR", 0}, {"muteL", 1}}},
      {7, {{"muteL", 0}, {"muteSide", 1}}},
      {9, {{"muteSide", 0}, {"rotation", 0.5f}}},
      {1000, {{"rotation", 0}}},
      {1000, {{"monoMakerInt", 10}}},
      {3000, {{"monoMakerInt", 0}}}}},
    // A channel whose gain holds at exactly 0 dB (no polarity flip) is worked in place; each
    // channel leaves and comes back on its own, mid-block and between short blocks, with the
    // all-pass, the delay, a pan that mixes the channels and a moving crossover frequency (the
    // path that pans apart) around.
    {"UnityGainChannelsInPlace",
     {{"panL", 30}, {"panR", -20}},
     {{256, {}},
      {37, {{"gainL", -3}}},
      {1000, {{"gainL", 0}, {"polarityR", 1}}},
      {5, {{"polarityR", 0}}},
      {960, {{"monoMakerFreq", 700}}},
      {3, {{"gainR", 0.5f}, {"apPhaseL", 90}}},
      {1000, {{"gainR", 0}, {"delayL", 3}}},
      {2000, {{"monoMakerInt", 40}}},
      {1, {{"gainL", 6}, {"monoMakerFreq", 60}}},
      {1100, {{"gainL", 0}, {"bypass", 1}}},
      {64, {{"bypass", 0}}},
      {512, {}}}},
    {"SwitchesAndBypassWhileOff",
     {{"monoMakerFreq", 2000}},
     {{128, {{"muteSide", 1}}},
      {128, {{"muteSide", 0}, {"mono", 1}}},
      {200, {{"bypass", 1}}},
      {200, {{"bypass", 0}, {"mono", 0}}},
      {90, {{"muteL", 1}}},
      {90, {{"muteL", 0}}}}},
};

class SteadyRuns : public ::testing::TestWithParam<Case>
{
protected:
    void apply(const ParamValues& changes)
    {
        for (const auto& [id, value] : changes)
        {
            setParam(proc.apvts, id, value);
            ref.p[id] = rawParam(proc.apvts, id);
        }
    }

    BivarroAudioProcessor proc;
    BivarroProcessorProbe probe{proc};
    reference::Chain ref;
};

std::string caseName(const ::testing::TestParamInfo<Case>& p)
{
    return p.param.name;
}
} // namespace

TEST_P(SteadyRuns, MatchPerSampleModelAndKeepCrossoverStates)
{
    const auto& c = GetParam();
    apply(c.initial);
    proc.prepareToPlay(c.rate, 512);
    ref.prepare(c.rate);

    std::mt19937 rng(5);
    std::uniform_real_distribution<float> noise(-0.7f, 0.7f);
    juce::MidiBuffer midi;
    int t = 0;
    for (size_t b = 0; b < c.steps.size(); ++b)
    {
        const auto& step = c.steps[b];
        apply(step.changes);
        juce::AudioBuffer<float> buffer(2, step.block);
        std::vector<float> l(static_cast<size_t>(step.block)), r(l.size());
        for (size_t i = 0; i < l.size(); ++i, ++t)
        {
            // A low tone under the noise, so that the low band carries something.
            const float low = 0.4f * std::sin(0.004f * static_cast<float>(t));
            l[i] = noise(rng) + low;
            r[i] = noise(rng) - 0.5f * low;
            buffer.setSample(0, static_cast<int>(i), l[i]);
            buffer.setSample(1, static_cast<int>(i), r[i]);
        }
        proc.processBlock(buffer, midi);
        ref.process(l.data(), r.data(), step.block);

        for (int i = 0; i < step.block; ++i)
        {
            const float el = l[static_cast<size_t>(i)], er = r[static_cast<size_t>(i)];
            ASSERT_NEAR(buffer.getSample(0, i), el, 1e-6f * std::max(1.0f, std::abs(el)))
                << "step " << b << " at " << i;
            ASSERT_NEAR(buffer.getSample(1, i), er, 1e-6f * std::max(1.0f, std::abs(er)))
                << "step " << b << " at " << i;
        }

        // The same arithmetic in the same order: the states are equal, not merely close.
        const auto& states = probe.crossoverStates();
        for (size_t k = 0; k < states.size(); ++k)
        {
            ASSERT_EQ(states[k].s1, ref.xo[k][0]) << "step " << b << " crossover stage " << k;
            ASSERT_EQ(states[k].s2, ref.xo[k][1]) << "step " << b << " crossover stage " << k;
        }
        ASSERT_EQ(probe.crossoverCounter(), ref.counter) << "step " << b;
        ASSERT_EQ(probe.lastCrossoverFreq(), ref.lastFreq) << "step " << b;
        EXPECT_NEAR(proc.peakDbL.load(), ref.peakDbL, 1e-4f) << "step " << b;
        EXPECT_NEAR(proc.rmsDbR.load(), ref.rmsDbR, 1e-4f) << "step " << b;
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, SteadyRuns, ::testing::ValuesIn(cases), caseName);
