#include "PluginHost.h"

#include <gtest/gtest.h>

#include <cmath>

using PluginHost::Bundle;
using PluginHost::Format;

namespace
{
struct Expected
{
    Bundle bundle;
    std::vector<juce::String> names;
};

const std::vector<juce::String> kBivarroNames = {"Gain L",
                                                 "Pan L",
                                                 "Delay L",
                                                 "APF Freq L",
                                                 "APF Phase L",
                                                 "APF Q L",
                                                 "APF 2nd Order L",
                                                 "Inv Polarity L",
                                                 "Gain R",
                                                 "Pan R",
                                                 "Delay R",
                                                 "APF Freq R",
                                                 "APF Phase R",
                                                 "APF Q R",
                                                 "APF 2nd Order R",
                                                 "Inv Polarity R",
                                                 "Width",
                                                 "Asymmetry",
                                                 "Rotation",
                                                 "Trim Out",
                                                 "Mid",
                                                 "Side",
                                                 "Mute L",
                                                 "Mute R",
                                                 "Mute Mid",
                                                 "Mute Side",
                                                 "Mono",
                                                 "Bypass",
                                                 "Bass Mono Freq",
                                                 "Bass Mono Intensity"};

const Expected kBundles[] = {
    {{"Bivarro", Format::VST3, ORZ_BIVARRO_VST3}, kBivarroNames},
    {{"Bivarro", Format::LV2, ORZ_BIVARRO_LV2}, kBivarroNames},
    {{"Ovrel", Format::VST3, ORZ_OVREL_VST3}, {"Gain", "Link ID", "Bypass"}},
    {{"Ovrel", Format::LV2, ORZ_OVREL_LV2}, {"Gain", "Link ID", "Bypass"}},
    {{"Undrel", Format::VST3, ORZ_UNDREL_VST3}, {"Trim", "Link ID", "Bypass"}},
    {{"Undrel", Format::LV2, ORZ_UNDREL_LV2}, {"Trim", "Link ID", "Bypass"}},
};

class BundleLoad : public ::testing::TestWithParam<Expected>
{
};

std::string bundleName(const ::testing::TestParamInfo<Expected>& info)
{
    return std::string(info.param.bundle.product) + PluginHost::formatName(info.param.bundle.format);
}
} // namespace

// Hosts may append parameters of their own (a VST3 host's bypass or program switch); ours come first.
TEST_P(BundleLoad, DescribesAndPassesAudio)
{
    const auto& e = GetParam();
    const auto desc = PluginHost::describe(e.bundle);
    ASSERT_EQ(desc.name, e.bundle.product);
    EXPECT_EQ(desc.manufacturerName, "Orlintz Engineer");
    if (e.bundle.format == Format::VST3)
    {
        EXPECT_EQ(desc.version, "2.0.0");
    }
    EXPECT_FALSE(desc.isInstrument);

    auto plugin = PluginHost::load(e.bundle);
    ASSERT_NE(plugin, nullptr);
    EXPECT_EQ(plugin->getName(), e.bundle.product);

    const auto& params = plugin->getParameters();
    // The format wrapper adds its own bypass switch after ours.
    const int ours = static_cast<int>(e.names.size());
    ASSERT_GE(params.size(), ours);
    ASSERT_LE(params.size(), ours + 1);
    if (e.bundle.format == Format::VST3)
    {
        for (size_t i = 0; i < e.names.size(); ++i)
            EXPECT_EQ(params[static_cast<int>(i)]->getName(100), e.names[i]) << "index " << i;
    }
    else
    {
        // LV2 hosts address parameters by URI; JUCE's host lists them sorted, so only the set is ours.
        juce::StringArray got;
        for (auto* p : params)
            got.add(p->getName(100));
        for (const auto& n : e.names)
            EXPECT_TRUE(got.contains(n)) << n;
    }

    EXPECT_EQ(plugin->getTotalNumInputChannels(), 2);
    EXPECT_EQ(plugin->getTotalNumOutputChannels(), 2);

    plugin->prepareToPlay(48000.0, 512);
    juce::AudioBuffer<float> buffer(2, 512);
    juce::MidiBuffer midi;
    juce::Random rng(7);
    double inEnergy = 0.0, outEnergy = 0.0;
    for (int block = 0; block < 20; ++block)
    {
        for (int ch = 0; ch < 2; ++ch)
            for (int i = 0; i < 512; ++i)
                buffer.setSample(ch, i, rng.nextFloat() * 0.5f - 0.25f);
        for (int ch = 0; ch < 2; ++ch)
            for (int i = 0; i < 512; ++i)
                inEnergy += static_cast<double>(buffer.getSample(ch, i)) * buffer.getSample(ch, i);
        plugin->processBlock(buffer, midi);
        for (int ch = 0; ch < 2; ++ch)
            for (int i = 0; i < 512; ++i)
            {
                const float s = buffer.getSample(ch, i);
                ASSERT_TRUE(std::isfinite(s));
                outEnergy += static_cast<double>(s) * s;
            }
    }
    plugin->releaseResources();
    // At their defaults all three pass the signal at unity.
    EXPECT_NEAR(outEnergy / inEnergy, 1.0, 1e-3);
}

INSTANTIATE_TEST_SUITE_P(Bundles, BundleLoad, ::testing::ValuesIn(kBundles), bundleName);
