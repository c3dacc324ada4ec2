#include "HostCases.h"
#include "NoiseRunner.h"

#include <gtest/gtest.h>

using HostCases::Case;
using PluginHost::Format;

namespace
{
class BundleLoad : public ::testing::TestWithParam<Case>
{
};
} // namespace

TEST_P(BundleLoad, DescribesAndPassesAudio)
{
    const auto& c = GetParam();
    const auto desc = PluginHost::describe(c.bundle);
    ASSERT_EQ(desc.name, c.bundle.product);
    EXPECT_EQ(desc.manufacturerName, "Orlintz Engineer");
    if (c.bundle.format == Format::VST3)
    {
        EXPECT_EQ(desc.version, ORZ_VERSION);
    }
    EXPECT_FALSE(desc.isInstrument);

    auto plugin = PluginHost::load(c.bundle);
    ASSERT_NE(plugin, nullptr);
    EXPECT_EQ(plugin->getName(), c.bundle.product);
    EXPECT_EQ(plugin->getTotalNumInputChannels(), 2);
    EXPECT_EQ(plugin->getTotalNumOutputChannels(), 2);

    plugin->prepareToPlay(48000.0, 512);
    NoiseRunner run(*plugin, 512, 7);
    for (int block = 0; block < 20; ++block)
    {
        ASSERT_TRUE(run.process(512));
        // At their defaults all three pass the signal at unity.
        ASSERT_LE(run.deviationFromPassThrough(), kPassThroughTolerance) << "block " << block;
    }
    plugin->releaseResources();
}

// Hosts list, automate and recall parameters by ID and position; the format's wrapper may add one
// switch of its own (its bypass) after ours.
TEST_P(BundleLoad, ParameterIdsOrderAndDefaults)
{
    const auto& c = GetParam();
    auto plugin = PluginHost::load(c.bundle);
    ASSERT_NE(plugin, nullptr);

    const auto& specs = c.product->params;
    const auto hosted = HostCases::hostedParameters(*plugin, *c.product);
    ASSERT_LE(hosted.extra.size(), 1u);
    if (!hosted.extra.empty())
    {
        EXPECT_EQ(hosted.extra.front(), plugin->getBypassParameter());
    }

    for (size_t i = 0; i < specs.size(); ++i)
    {
        const auto& spec = specs[i];
        auto* p = hosted.ours[i];
        ASSERT_NE(p, nullptr) << spec.id;
        EXPECT_EQ(p->getName(100), spec.name) << spec.id;
        EXPECT_NEAR(p->getDefaultValue(), HostCases::expectedDefault(spec, c.bundle.format), 1.0e-4f) << spec.id;
        EXPECT_FLOAT_EQ(p->getValue(), p->getDefaultValue()) << spec.id;
        // LV2 hosts address parameters by URI, and JUCE's LV2 host lists them sorted, so only VST3
        // shows our order.
        if (c.bundle.format == Format::VST3)
        {
            EXPECT_EQ(p->getParameterIndex(), static_cast<int>(i)) << spec.id;
        }
    }
}

// Each plug-in has one factory program. A host lists it by name, and a validator rejects a program
// without one; choosing it or renaming it changes nothing.
TEST_P(BundleLoad, OneNamedProgram)
{
    const auto& c = GetParam();
    if (c.bundle.format != Format::VST3)
        GTEST_SKIP() << "an LV2 host lists a bundle's presets, and ours ship none";
    auto plugin = PluginHost::load(c.bundle);
    ASSERT_NE(plugin, nullptr);

    EXPECT_EQ(PluginHost::vst3ProgramNames(*plugin).joinIntoString("|"), "Default");

    plugin->setCurrentProgram(0);
    plugin->changeProgramName(0, "Renamed");
    EXPECT_EQ(PluginHost::vst3ProgramNames(*plugin).joinIntoString("|"), "Default");
}

INSTANTIATE_TEST_SUITE_P(Bundles, BundleLoad, ::testing::ValuesIn(HostCases::all()), HostCases::CaseName());
