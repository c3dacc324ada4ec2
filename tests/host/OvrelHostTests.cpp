#include "PluginHost.h"

#include <gtest/gtest.h>

#include <cmath>

using PluginHost::Bundle;
using PluginHost::Format;

namespace
{
const Bundle kOvrelBundles[] = {
    {"Ovrel", Format::VST3, ORZ_OVREL_VST3},
    {"Ovrel", Format::LV2, ORZ_OVREL_LV2},
};

class OvrelHost : public ::testing::TestWithParam<Bundle>
{
};

std::string bundleName(const ::testing::TestParamInfo<Bundle>& info)
{
    return PluginHost::formatName(info.param.format);
}

// Ovrel's own parameter of that name. An LV2 host shows its "enabled" port as a switch named
// "Bypass" beside Ovrel's; a VST3 host uses Ovrel's own switch.
juce::AudioProcessorParameter* ownParameter(juce::AudioPluginInstance& plugin, Format format, const juce::String& name)
{
    for (auto* p : plugin.getParameters())
        if (p->getName(100) == name && (format == Format::VST3 || p != plugin.getBypassParameter()))
            return p;
    return nullptr;
}

// Runs long enough for any 0.15 s ramp to finish, then returns the gain of the last sample.
float settledGain(juce::AudioPluginInstance& plugin, float input = 0.25f)
{
    juce::AudioBuffer<float> buffer(2, 512);
    juce::MidiBuffer midi;
    for (int block = 0; block < 20; ++block)
    {
        for (int ch = 0; ch < 2; ++ch)
            juce::FloatVectorOperations::fill(buffer.getWritePointer(ch), input, 512);
        plugin.processBlock(buffer, midi);
    }
    EXPECT_FLOAT_EQ(buffer.getSample(0, 511), buffer.getSample(1, 511));
    return buffer.getSample(0, 511) / input;
}
} // namespace

TEST_P(OvrelHost, AppliesItsGainAndTheHostsBypassSwitch)
{
    auto plugin = PluginHost::load(GetParam());
    ASSERT_NE(plugin, nullptr);
    // The host process keeps the lock files away from the user's folder.
    const auto appData = juce::File::getSpecialLocation(juce::File::userApplicationDataDirectory);
    EXPECT_TRUE(appData.isAChildOf(juce::File::getSpecialLocation(juce::File::tempDirectory)))
        << appData.getFullPathName();
    EXPECT_TRUE(appData.getChildFile("GainLink").isDirectory());
    plugin->prepareToPlay(48000.0, 512);

    EXPECT_NEAR(settledGain(*plugin), 1.0f, 1e-5f);

    auto* gain = ownParameter(*plugin, GetParam().format, "Gain");
    ASSERT_NE(gain, nullptr);
    gain->setValueNotifyingHost((6.0f + 48.0f) / 96.0f);
    EXPECT_NEAR(settledGain(*plugin), std::pow(10.0f, 6.0f / 20.0f), 1e-4f);

    gain->setValueNotifyingHost((-12.0f + 48.0f) / 96.0f);
    EXPECT_NEAR(settledGain(*plugin), std::pow(10.0f, -12.0f / 20.0f), 1e-5f);

    // The host's switch is Ovrel's own bypass: the gain ramps back to unity.
    auto* hostBypass = plugin->getBypassParameter();
    ASSERT_NE(hostBypass, nullptr);
    if (GetParam().format == Format::VST3)
    {
        EXPECT_EQ(hostBypass, ownParameter(*plugin, GetParam().format, "Bypass"));
        EXPECT_EQ(plugin->getParameters().size(), 3);
    }
    hostBypass->setValueNotifyingHost(1.0f);
    EXPECT_NEAR(settledGain(*plugin), 1.0f, 1e-5f);
    // An LV2 host's view of the bypass parameter's port follows the plug-in only through an open
    // editor; the gain above shows the plug-in's own switch.
    if (GetParam().format == Format::VST3)
        EXPECT_EQ(ownParameter(*plugin, GetParam().format, "Bypass")->getValue(), 1.0f);
    hostBypass->setValueNotifyingHost(0.0f);
    EXPECT_NEAR(settledGain(*plugin), std::pow(10.0f, -12.0f / 20.0f), 1e-5f);
    plugin->releaseResources();
}

// Hosts also set Ovrel's own switch from their parameter controls or automation (in LV2 beside the
// host's "enabled" port): it must stay as set and act.
TEST_P(OvrelHost, OwnBypassParameterStaysSetAndActs)
{
    auto plugin = PluginHost::load(GetParam());
    ASSERT_NE(plugin, nullptr);
    plugin->prepareToPlay(48000.0, 512);
    auto* gain = ownParameter(*plugin, GetParam().format, "Gain");
    auto* bypass = ownParameter(*plugin, GetParam().format, "Bypass");
    ASSERT_NE(gain, nullptr);
    ASSERT_NE(bypass, nullptr);
    gain->setValueNotifyingHost((-12.0f + 48.0f) / 96.0f);
    EXPECT_NEAR(settledGain(*plugin), std::pow(10.0f, -12.0f / 20.0f), 1e-5f);

    bypass->setValueNotifyingHost(1.0f);
    EXPECT_NEAR(settledGain(*plugin), 1.0f, 1e-5f);
    EXPECT_EQ(bypass->getValue(), 1.0f);
    bypass->setValueNotifyingHost(0.0f);
    EXPECT_NEAR(settledGain(*plugin), std::pow(10.0f, -12.0f / 20.0f), 1e-5f);
    EXPECT_EQ(bypass->getValue(), 0.0f);
    plugin->releaseResources();
}

INSTANTIATE_TEST_SUITE_P(Ovrel, OvrelHost, ::testing::ValuesIn(kOvrelBundles), bundleName);
