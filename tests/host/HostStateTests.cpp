#include "HostCases.h"
#include "NoiseRunner.h"
#include "support/DamagedStates.h"

#include <gtest/gtest.h>

#include <functional>

using HostCases::Case;

namespace
{
constexpr double kRate = 48000.0;
constexpr int kBlock = 256;

class HostState : public ::testing::TestWithParam<Case>
{
protected:
    std::unique_ptr<juce::AudioPluginInstance> loadPrepared()
    {
        return HostCases::loadPrepared(GetParam(), kRate, kBlock);
    }
};

// The plug-in's own saved bytes hold every parameter and setting it keeps, as it sees them.
void expectSameSavedState(juce::AudioPluginInstance& a, juce::AudioPluginInstance& b)
{
    EXPECT_TRUE(PluginHost::pluginChunk(a) == PluginHost::pluginChunk(b));
}

// Runs both for a few blocks of the same signal; a refused or faithful restore leaves them identical.
void expectIdenticalOutput(NoiseRunner& a, NoiseRunner& b, int blocks)
{
    for (int i = 0; i < blocks; ++i)
    {
        ASSERT_TRUE(a.process(kBlock));
        ASSERT_TRUE(b.process(kBlock));
        ASSERT_EQ(a.differenceFrom(b), 0.0f) << "block " << i;
    }
}

// The XML reader puts back closing tags lost at the end, so the instance's own bytes without their
// last ones restore what it already holds.
const std::vector<DamagedState>& damagedOwnChunks()
{
    using M = juce::MemoryBlock;
    static const std::vector<DamagedState> table = {
        {"last bytes missing",
         [](const M& v) { return damaged::firstBytes(v, v.getSize() > 16 ? v.getSize() - 16 : 0); }},
    };
    return table;
}

// Damage to the host's whole blob rather than to the plug-in's bytes inside it.
const std::vector<DamagedState>& damagedHostBlobs()
{
    using M = juce::MemoryBlock;
    static const std::vector<DamagedState> table = {
        {"host blob empty", [](const M&) { return M(); }},
        {"host blob random bytes", [](const M&) { return damaged::randomBytes(300); }},
        {"host blob cut in half", [](const M& v) { return damaged::firstBytes(v, v.getSize() / 2); }},
    };
    return table;
}
} // namespace

TEST_P(HostState, RestoredIntoAFreshInstanceProducesIdenticalOutput)
{
    const auto& c = GetParam();
    auto original = loadPrepared();
    ASSERT_NE(original, nullptr);
    juce::Random rng(42);
    HostCases::setRandomValues(*original, rng);
    NoiseRunner warmUp(*original, kBlock, 5);
    for (int i = 0; i < 20; ++i)
        ASSERT_TRUE(warmUp.process(kBlock));

    // Each plug-in saves a chunk of its own; without one the restore below would prove nothing.
    ASSERT_FALSE(PluginHost::pluginChunk(*original).isEmpty()) << "the host found no state of the plug-in's own";

    juce::MemoryBlock saved;
    original->getStateInformation(saved);
    auto restored = loadPrepared();
    ASSERT_NE(restored, nullptr);
    restored->setStateInformation(saved.getData(), static_cast<int>(saved.getSize()));
    NoiseRunner settle(*restored, kBlock);
    ASSERT_TRUE(settle.process(kBlock));

    // The host sees the values it had set, as the plug-in took them.
    const auto before = HostCases::hostedParameters(*original, *c.product);
    const auto after = HostCases::hostedParameters(*restored, *c.product);
    for (size_t i = 0; i < c.product->params.size(); ++i)
    {
        const auto& spec = c.product->params[i];
        ASSERT_NE(before.ours[i], nullptr);
        ASSERT_NE(after.ours[i], nullptr);
        EXPECT_NEAR(HostCases::plainValue(spec, after.ours[i]->getValue(), c.bundle.format),
                    HostCases::plainValue(spec, before.ours[i]->getValue(), c.bundle.format),
                    1.0e-4f * (spec.end - spec.start))
            << spec.id;
    }
    expectSameSavedState(*original, *restored);

    // Started again from the same point, prepared afresh with the same signal in, the two sound alike.
    // (JUCE's LV2 host re-creates the plug-in from its saved state on every prepare.)
    original->releaseResources();
    original->prepareToPlay(kRate, kBlock);
    restored->releaseResources();
    restored->prepareToPlay(kRate, kBlock);
    NoiseRunner a(*original, kBlock, 9);
    NoiseRunner b(*restored, kBlock, 9);
    expectIdenticalOutput(a, b, 40);
}

TEST_P(HostState, DamagedBlobsAreRefusedWithoutChangingAnything)
{
    // Twins with the same settings run in lockstep; only one is handed the damaged blobs.
    auto reference = loadPrepared();
    auto target = loadPrepared();
    ASSERT_NE(reference, nullptr);
    ASSERT_NE(target, nullptr);
    juce::Random rngA(7), rngB(7);
    HostCases::setRandomValues(*reference, rngA);
    HostCases::setRandomValues(*target, rngB);
    NoiseRunner a(*reference, kBlock, 3);
    NoiseRunner b(*target, kBlock, 3);
    expectIdenticalOutput(a, b, 10);

    const auto expectIgnored = [&](const juce::MemoryBlock& blob)
    {
        target->setStateInformation(blob.getData(), static_cast<int>(blob.getSize()));
        expectIdenticalOutput(a, b, 4);
        expectSameSavedState(*reference, *target);
    };
    for (const auto* table : {&damagedStates(), &damagedOwnChunks()})
        for (const auto& damage : *table)
        {
            SCOPED_TRACE(damage.name);
            expectIgnored(PluginHost::hostStateWithChunk(*target, damage.make(PluginHost::pluginChunk(*target))));
        }
    for (const auto& damage : damagedHostBlobs())
    {
        SCOPED_TRACE(damage.name);
        juce::MemoryBlock valid;
        target->getStateInformation(valid);
        expectIgnored(damage.make(valid));
    }
}

INSTANTIATE_TEST_SUITE_P(Bundles, HostState, ::testing::ValuesIn(HostCases::all()), HostCases::CaseName());
