#include "HostCases.h"
#include "NoiseRunner.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <limits>

using HostCases::Case;

// JUCE's VST3 wrapper ends the plug-in's bytes with a record of its own: int64 0, the record, the
// record's size as int64, then a marker. A damaged project may carry any size there.
namespace
{
constexpr double kRate = 48000.0;
constexpr int kBlock = 256;
const juce::String kMarker = "JUCEPrivateData";

struct TrailerDamage
{
    const char* name;
    // The record size to write, from the size of the whole IComponent blob and the true record size.
    std::uint64_t (*size)(std::uint64_t blob, std::uint64_t record);
};

const TrailerDamage kDamages[] = {
    {"one byte past the blob", [](std::uint64_t blob, std::uint64_t) { return blob + 1; }},
    {"all bits set", [](std::uint64_t, std::uint64_t) { return std::numeric_limits<std::uint64_t>::max(); }},
    {"largest signed",
     [](std::uint64_t, std::uint64_t) { return std::uint64_t(std::numeric_limits<std::int64_t>::max()); }},
    {"true size plus 4 GiB", [](std::uint64_t, std::uint64_t record) { return record + (std::uint64_t(1) << 32); }},
    // Covers everything before the size field, leaving no room for the leading zero.
    {"whole blob before the size", [](std::uint64_t blob, std::uint64_t) { return blob - 8 - 15; }},
    {"eight bytes short of the start", [](std::uint64_t blob, std::uint64_t) { return blob - 8 - 15 - 4; }},
};

std::vector<Case> vst3Cases()
{
    std::vector<Case> cases;
    for (const auto& c : HostCases::all())
        if (c.bundle.format == PluginHost::Format::VST3)
            cases.push_back(c);
    return cases;
}

// The IComponent bytes of a host state of JUCE's VST3 host, and a host state around other bytes.
juce::MemoryBlock componentBytes(const juce::MemoryBlock& hostState)
{
    juce::MemoryBlock bytes;
    const auto xml = juce::AudioProcessor::getXmlFromBinary(hostState.getData(), static_cast<int>(hostState.getSize()));
    if (xml != nullptr && xml->getChildByName("IComponent") != nullptr)
        bytes.fromBase64Encoding(xml->getChildByName("IComponent")->getAllSubText());
    return bytes;
}

juce::MemoryBlock hostStateAround(const juce::MemoryBlock& bytes)
{
    juce::XmlElement xml("VST3PluginState");
    xml.createNewChildElement("IComponent")->addTextElement(bytes.toBase64Encoding());
    juce::MemoryBlock hostState;
    juce::AudioProcessor::copyXmlToBinary(xml, hostState);
    return hostState;
}

class Vst3StateTrailer : public ::testing::TestWithParam<Case>
{
};
} // namespace

TEST_P(Vst3StateTrailer, ARecordSizeThatDoesNotFitIsIgnored)
{
    auto plugin = HostCases::loadPrepared(GetParam(), kRate, kBlock);
    ASSERT_NE(plugin, nullptr);
    juce::Random rng(23);
    HostCases::setRandomValues(*plugin, rng);
    NoiseRunner run(*plugin, kBlock);
    ASSERT_TRUE(run.process(kBlock));

    juce::MemoryBlock saved;
    plugin->getStateInformation(saved);
    const auto savedChunk = PluginHost::pluginChunk(*plugin);
    const auto bytes = componentBytes(saved);
    const auto markerSize = static_cast<size_t>(kMarker.length());
    ASSERT_GT(bytes.getSize(), markerSize + 16);
    ASSERT_EQ(juce::String(static_cast<const char*>(bytes.getData()) + bytes.getSize() - markerSize, markerSize),
              kMarker);
    std::uint64_t record = 0;
    std::memcpy(&record, static_cast<const char*>(bytes.getData()) + bytes.getSize() - markerSize - 8, 8);

    for (const auto& damage : kDamages)
    {
        SCOPED_TRACE(damage.name);
        // Moved away from the saved values, so that a restore shows.
        HostCases::setRandomValues(*plugin, rng);
        ASSERT_TRUE(run.process(kBlock));

        auto damaged = bytes;
        const auto size = damage.size(bytes.getSize(), record);
        std::memcpy(static_cast<char*>(damaged.getData()) + damaged.getSize() - markerSize - 8, &size, 8);
        const auto hostState = hostStateAround(damaged);
        plugin->setStateInformation(hostState.getData(), static_cast<int>(hostState.getSize()));

        // The plug-in read its own data as it was saved, and goes on sounding sane.
        for (int b = 0; b < 8; ++b)
            ASSERT_TRUE(run.process(kBlock)) << "block " << b;
        if (!savedChunk.isEmpty())
            EXPECT_TRUE(PluginHost::pluginChunk(*plugin) == savedChunk);
    }

    NoiseRunner check(*plugin, kBlock);
    HostCases::expectDefaultsRestorePassThrough(*plugin, check, kRate, kBlock);
    plugin->releaseResources();
}

INSTANTIATE_TEST_SUITE_P(Bundles, Vst3StateTrailer, ::testing::ValuesIn(vst3Cases()), HostCases::CaseName());
