#include "HostCases.h"
#include "NoiseRunner.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

using HostCases::Case;
using PluginHost::Format;

namespace
{
using Instance = std::unique_ptr<juce::AudioPluginInstance>;
using HostCases::expectPassThrough;

std::vector<int> blocksOf(int size, int count)
{
    return std::vector<int>(static_cast<size_t>(count), size);
}

class HostBuses : public ::testing::TestWithParam<Case>
{
};

class HostLifecycle : public ::testing::TestWithParam<Case>
{
};

class HostFuzz : public ::testing::TestWithParam<Case>
{
};

using RateCase = std::tuple<Case, double>;

class HostRates : public ::testing::TestWithParam<RateCase>
{
};

std::string rateCaseName(const ::testing::TestParamInfo<RateCase>& info)
{
    return HostCases::caseName(std::get<0>(info.param)) + "_" +
           std::to_string(static_cast<int>(std::get<1>(info.param)));
}
} // namespace

TEST_P(HostBuses, AcceptsTheLayoutsItsRulesAllowAndProcessesThem)
{
    const auto& c = GetParam();
    auto plugin = HostCases::load(c, 48000.0, 512);
    ASSERT_NE(plugin, nullptr);

    auto layoutOf = [](int inputs, int outputs)
    {
        auto set = [](int n)
        { return n == 0 ? juce::AudioChannelSet::disabled() : juce::AudioChannelSet::canonicalChannelSet(n); };
        juce::AudioProcessor::BusesLayout layout;
        layout.inputBuses.add(set(inputs));
        layout.outputBuses.add(set(outputs));
        return layout;
    };

    auto runIn = [&](const juce::AudioProcessor::BusesLayout& layout)
    {
        ASSERT_TRUE(plugin->setBusesLayout(layout));
        plugin->prepareToPlay(48000.0, 256);
        NoiseRunner run(*plugin, 256);
        expectPassThrough(run, blocksOf(256, 8));
        plugin->releaseResources();
    };

    struct Layout
    {
        int inputs, outputs;
    };
    for (const auto& l : {Layout{2, 2}, Layout{1, 1}, Layout{1, 2}, Layout{2, 1}})
    {
        SCOPED_TRACE(std::to_string(l.inputs) + " in, " + std::to_string(l.outputs) + " out");
        // An LV2 bundle declares fixed ports, so a host can only run it in the stereo layout it was
        // built with.
        const bool expected = c.bundle.format == Format::LV2 ? (l.inputs == 2 && l.outputs == 2)
                                                             : c.product->acceptsLayout(l.inputs, l.outputs);
        EXPECT_EQ(plugin->checkBusesLayoutSupported(layoutOf(l.inputs, l.outputs)), expected);
        if (expected)
            runIn(layoutOf(l.inputs, l.outputs));
    }

    // The VST3 wrapper lets a host switch a bus off whatever the processor's rules say, falling back
    // to a layout the processor takes, so for these only that the plug-in keeps running is checked.
    for (const auto& l : {Layout{0, 2}, Layout{0, 1}, Layout{2, 0}})
    {
        SCOPED_TRACE(std::to_string(l.inputs) + " in, " + std::to_string(l.outputs) + " out");
        if (plugin->checkBusesLayoutSupported(layoutOf(l.inputs, l.outputs)))
            runIn(layoutOf(l.inputs, l.outputs));
    }
}

TEST_P(HostRates, NoiseAtEveryBlockSizePassesThroughAtDefaults)
{
    const auto& [c, rate] = GetParam();
    auto plugin = HostCases::load(c, rate, 512);
    ASSERT_NE(plugin, nullptr);

    for (const int size : {1, 2, 7, 64, 512, 4096})
    {
        SCOPED_TRACE("block size " + std::to_string(size));
        plugin->prepareToPlay(rate, size);
        NoiseRunner run(*plugin, size);
        expectPassThrough(run, blocksOf(size, juce::jmax(2, 8192 / size)));
        plugin->releaseResources();
    }

    // A size that changes on every call, empty blocks included, never above the prepared maximum.
    SCOPED_TRACE("changing block size");
    constexpr int maxBlock = 1024;
    plugin->prepareToPlay(rate, maxBlock);
    NoiseRunner run(*plugin, maxBlock);
    juce::Random sizes(static_cast<juce::int64>(rate));
    std::vector<int> changing;
    for (int i = 0; i < 48; ++i)
        changing.push_back(i % 12 == 5 ? 0 : sizes.nextInt({1, maxBlock + 1}));
    changing.push_back(maxBlock);
    expectPassThrough(run, changing);
    plugin->releaseResources();
}

TEST_P(HostLifecycle, ReleaseAndPrepareManyTimesWithDifferentRates)
{
    const auto& c = GetParam();
    auto plugin = HostCases::load(c, 48000.0, 512);
    ASSERT_NE(plugin, nullptr);

    const double rates[] = {44100.0, 8000.0, 192000.0, 48000.0, 96000.0, 88200.0};
    const int sizes[] = {512, 64, 4096, 256};
    for (int cycle = 0; cycle < 24; ++cycle)
    {
        const double rate = rates[cycle % 6];
        const int size = sizes[cycle % 4];
        SCOPED_TRACE("cycle " + std::to_string(cycle));
        plugin->prepareToPlay(rate, size);
        NoiseRunner run(*plugin, size);
        expectPassThrough(run, blocksOf(size, 3));
        // Hosts also prepare again without releasing first.
        if (cycle % 3 != 2)
            plugin->releaseResources();
    }
    plugin->releaseResources();
}

TEST_P(HostLifecycle, FiftyInstancesOpenProcessAndClose)
{
    const auto& c = GetParam();
    constexpr int count = 50;
    std::vector<Instance> instances;
    std::vector<std::unique_ptr<NoiseRunner>> runs;
    for (int i = 0; i < count; ++i)
    {
        instances.push_back(HostCases::loadPrepared(c, 44100.0, 256));
        ASSERT_NE(instances.back(), nullptr) << "instance " << i;
        runs.push_back(std::make_unique<NoiseRunner>(*instances.back(), 256, i));
    }

    // Round-robin, as a host's graph renders its nodes.
    for (int block = 0; block < 4; ++block)
        for (int i = 0; i < count; ++i)
        {
            ASSERT_TRUE(runs[static_cast<size_t>(i)]->process(256)) << "instance " << i;
            ASSERT_LE(runs[static_cast<size_t>(i)]->deviationFromPassThrough(), kPassThroughTolerance)
                << "instance " << i;
        }

    // Closed out of the order they were opened in.
    runs.clear();
    for (int parity : {1, 0})
        for (size_t i = static_cast<size_t>(parity); i < instances.size(); i += 2)
        {
            instances[i]->releaseResources();
            instances[i].reset();
        }
}

TEST_P(HostFuzz, RandomParametersEveryBlockThenDefaultsPassThrough)
{
    const auto& c = GetParam();
    constexpr double rate = 48000.0;
    constexpr int block = 256;
    auto plugin = HostCases::loadPrepared(c, rate, block);
    ASSERT_NE(plugin, nullptr);
    NoiseRunner run(*plugin, block);

    juce::Random rng(1234);
    const int blocks = static_cast<int>(3.0 * rate) / block;
    for (int b = 0; b < blocks; ++b)
    {
        HostCases::automateRandomly(*plugin, rng);
        ASSERT_TRUE(run.process(1 + rng.nextInt(block))) << "block " << b;
    }

    HostCases::expectDefaultsRestorePassThrough(*plugin, run, rate, block);
    plugin->releaseResources();
}

INSTANTIATE_TEST_SUITE_P(Bundles, HostBuses, ::testing::ValuesIn(HostCases::all()), HostCases::CaseName());
INSTANTIATE_TEST_SUITE_P(Bundles, HostLifecycle, ::testing::ValuesIn(HostCases::all()), HostCases::CaseName());
INSTANTIATE_TEST_SUITE_P(Bundles, HostFuzz, ::testing::ValuesIn(HostCases::all()), HostCases::CaseName());
INSTANTIATE_TEST_SUITE_P(Bundles, HostRates,
                         ::testing::Combine(::testing::ValuesIn(HostCases::all()),
                                            ::testing::Values(8000.0, 44100.0, 48000.0, 88200.0, 96000.0, 192000.0)),
                         rateCaseName);
