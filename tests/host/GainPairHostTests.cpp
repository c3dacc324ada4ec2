#include "Lv2Rig.h"
#include "PluginHost.h"

#include "gainpair/common/GainLinkLockFiles.h"
#include "gainpair/common/GainLinkSharedMemory.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

using PluginHost::Bundle;
using PluginHost::Format;

namespace
{
const Bundle kOvrel{"Ovrel", Format::VST3, ORZ_OVREL_VST3};
const Bundle kUndrel{"Undrel", Format::VST3, ORZ_UNDREL_VST3};
const Bundle kUndrelLv2{"Undrel", Format::LV2, ORZ_UNDREL_LV2};

constexpr float kInput = 0.25f;
constexpr int kBlock = 512;

float linear(float db)
{
    return std::pow(10.0f, db * 0.05f);
}

juce::AudioProcessorParameter& parameterNamed(juce::AudioPluginInstance& plugin, const juce::String& name)
{
    for (auto* p : plugin.getParameters())
        if (p->getName(100) == name)
            return *p;
    ADD_FAILURE() << "no parameter " << name;
    static juce::AudioParameterFloat none{juce::ParameterID{"none", 1}, "none", 0.0f, 1.0f, 0.0f};
    return none;
}

// The gain and trim ranges are linear, so their normalised values follow directly.
void setGain(juce::AudioPluginInstance& ovrel, float db)
{
    parameterNamed(ovrel, "Gain").setValueNotifyingHost((db + 48.0f) / 96.0f);
}

void setTrim(juce::AudioPluginInstance& undrel, float db)
{
    parameterNamed(undrel, "Trim").setValueNotifyingHost((db + 12.0f) / 24.0f);
}

void setBypass(juce::AudioPluginInstance& plugin, bool on)
{
    auto* bypass = plugin.getBypassParameter();
    ASSERT_NE(bypass, nullptr);
    EXPECT_EQ(bypass, &parameterNamed(plugin, "Bypass")) << "the host's switch is the plug-in's own";
    bypass->setValueNotifyingHost(on ? 1.0f : 0.0f);
}

// The plug-in's own switch. An LV2 host shows its "enabled" port as a second switch named "Bypass".
juce::AudioProcessorParameter& ownBypass(juce::AudioPluginInstance& plugin)
{
    for (auto* p : plugin.getParameters())
        if (p->getName(100) == "Bypass" && p != plugin.getBypassParameter())
            return *p;
    return parameterNamed(plugin, "Bypass");
}

// Ovrel and Undrel built as bundles, loaded by a host in this process, with a plain gain stage standing
// in for the chain between them. The plug-ins link through the standard names and the application-data
// folder; the test runs with a /dev/shm and a home folder of its own (see private-shm.sh).
class GainPairHost : public ::testing::Test
{
protected:
    static constexpr float chainGain = 0.5f;

    void SetUp() override
    {
        if (std::getenv("ORZ_PRIVATE_SHM") == nullptr)
            GTEST_SKIP() << "needs a private /dev/shm: the plug-ins would meet real instances under the standard names";
        PluginHost::formats();
    }

    static std::unique_ptr<juce::AudioPluginInstance> load(const Bundle& bundle)
    {
        auto plugin = PluginHost::load(bundle, 48000.0, kBlock);
        if (plugin != nullptr)
            plugin->prepareToPlay(48000.0, kBlock);
        return plugin;
    }

    // Runs 0.32 s through the chain, longer than any ramp, and returns the output over the input at
    // the end. Without an Ovrel, drive stands in for the gain it applied.
    static float settledGain(juce::AudioPluginInstance* ovrel, juce::AudioPluginInstance& undrel, float driveDb = 0.0f)
    {
        juce::AudioBuffer<float> buffer(2, kBlock);
        juce::MidiBuffer midi;
        for (int block = 0; block < 30; ++block)
        {
            for (int ch = 0; ch < 2; ++ch)
                juce::FloatVectorOperations::fill(buffer.getWritePointer(ch), kInput, kBlock);
            if (ovrel != nullptr)
                ovrel->processBlock(buffer, midi);
            else
                buffer.applyGain(linear(driveDb));
            buffer.applyGain(chainGain);
            undrel.processBlock(buffer, midi);
        }
        EXPECT_FLOAT_EQ(buffer.getSample(0, kBlock - 1), buffer.getSample(1, kBlock - 1));
        return buffer.getSample(0, kBlock - 1) / (kInput * chainGain);
    }

    // What Undrel wrote back into the block of a link ID, as Ovrel's editor reads it.
    static float compensationDb(int linkId)
    {
        GainLinkSharedMemory reader;
        if (!reader.initAsReader(linkId))
            return std::nanf("");
        return reader.getBlock()->compensationDb.load(std::memory_order_acquire);
    }
};
} // namespace

TEST_F(GainPairHost, UndrelRestoresTheLevelThatOvrelDroveIntoTheChain)
{
    auto ovrel = load(kOvrel);
    auto undrel = load(kUndrel);
    ASSERT_NE(ovrel, nullptr);
    ASSERT_NE(undrel, nullptr);

    setGain(*ovrel, 6.0f);
    EXPECT_NEAR(settledGain(ovrel.get(), *undrel), 1.0f, 1e-4f);
    EXPECT_EQ(compensationDb(1), -6.0f);

    setBypass(*ovrel, true);
    EXPECT_NEAR(settledGain(ovrel.get(), *undrel), 1.0f, 1e-4f);
    EXPECT_EQ(compensationDb(1), 0.0f);
    setBypass(*ovrel, false);

    setTrim(*undrel, 3.0f);
    EXPECT_NEAR(settledGain(ovrel.get(), *undrel), linear(3.0f), 1e-4f);
    EXPECT_FLOAT_EQ(compensationDb(1), -3.0f);

    // Undrel's bypass removes the trim and keeps the compensation.
    setBypass(*undrel, true);
    EXPECT_NEAR(settledGain(ovrel.get(), *undrel), 1.0f, 1e-4f);
    EXPECT_EQ(compensationDb(1), -6.0f);
    setBypass(*undrel, false);
    setTrim(*undrel, 0.0f);

    // Without its Ovrel, Undrel keeps compensating the gain it received last.
    ovrel.reset();
    EXPECT_NEAR(settledGain(nullptr, *undrel, 0.0f), linear(-6.0f), 1e-4f);
}

TEST_F(GainPairHost, NewUndrelsPickTheNewestLiveOvrelWithoutAnUndrel)
{
    auto first = load(kOvrel);
    ASSERT_NE(first, nullptr);
    juce::Thread::sleep(30);
    auto second = load(kOvrel);
    ASSERT_NE(second, nullptr);
    setGain(*first, 6.0f);
    setGain(*second, -4.0f);

    // The lock files decide: the Ovrel whose file was written last, then the one left without an Undrel.
    const GainLinkLockFiles lockFiles;
    auto newestOf = [&](int linkId)
    {
        std::int64_t newest = 0;
        for (const auto& f : lockFiles.listLockFiles(lockFiles.getLockFolder(linkId), GainLinkLockFiles::Owner::ovrel))
            newest = std::max(newest, GainLinkLockFiles::modificationTimeMs(f));
        return newest;
    };
    const int newer = newestOf(2) >= newestOf(1) ? 2 : 1;

    auto undrelNewer = load(kUndrel);
    auto undrelOther = load(kUndrel);
    ASSERT_NE(undrelNewer, nullptr);
    ASSERT_NE(undrelOther, nullptr);
    auto& undrelOn1 = newer == 1 ? *undrelNewer : *undrelOther;
    auto& undrelOn2 = newer == 2 ? *undrelNewer : *undrelOther;

    EXPECT_EQ(parameterNamed(undrelOn1, "Link ID").getCurrentValueAsText(), "1");
    EXPECT_EQ(parameterNamed(undrelOn2, "Link ID").getCurrentValueAsText(), "2");
    EXPECT_NEAR(settledGain(first.get(), undrelOn1), 1.0f, 1e-4f);
    EXPECT_NEAR(settledGain(second.get(), undrelOn2), 1.0f, 1e-4f);
    EXPECT_EQ(compensationDb(1), -6.0f);
    EXPECT_EQ(compensationDb(2), 4.0f);
}

// An LV2 host sets Undrel's own bypass from its parameter controls or automation, and has an
// "enabled" port of its own; the parameter must stay as set, and the port must still switch. (Ovrel
// is the VST3 one: JUCE's LV2 host re-creates an instance on every prepare, which would move the
// link's block away under a fixed chain.)
TEST_F(GainPairHost, UndrelLv2BypassParameterStaysSetBesideTheEnabledPort)
{
    auto ovrel = load(kOvrel);
    auto undrel = load(kUndrelLv2);
    ASSERT_NE(ovrel, nullptr);
    ASSERT_NE(undrel, nullptr);
    setGain(*ovrel, 6.0f);
    setTrim(*undrel, 3.0f);
    // The re-created instance finds its link on a later tick of its 2 s timer.
    parameterNamed(*undrel, "Link ID").setValueNotifyingHost(0.0f);
    for (int wait = 0; wait < 50 && compensationDb(1) != -3.0f; ++wait)
    {
        settledGain(ovrel.get(), *undrel);
        juce::Thread::sleep(100);
    }
    EXPECT_NEAR(settledGain(ovrel.get(), *undrel), linear(3.0f), 1e-4f);
    EXPECT_FLOAT_EQ(compensationDb(1), -3.0f);

    // Its own bypass removes the trim and keeps the compensation.
    auto& bypass = ownBypass(*undrel);
    bypass.setValueNotifyingHost(1.0f);
    EXPECT_NEAR(settledGain(ovrel.get(), *undrel), 1.0f, 1e-4f);
    EXPECT_EQ(bypass.getValue(), 1.0f);
    EXPECT_EQ(compensationDb(1), -6.0f);
    bypass.setValueNotifyingHost(0.0f);
    EXPECT_NEAR(settledGain(ovrel.get(), *undrel), linear(3.0f), 1e-4f);

    // The host's switch still bypasses, through the same parameter inside the plug-in (the host's
    // own view of that parameter's port follows it only through an open editor).
    auto* hostSwitch = undrel->getBypassParameter();
    ASSERT_NE(hostSwitch, nullptr);
    ASSERT_NE(hostSwitch, &bypass);
    hostSwitch->setValueNotifyingHost(1.0f);
    EXPECT_NEAR(settledGain(ovrel.get(), *undrel), 1.0f, 1e-4f);
    hostSwitch->setValueNotifyingHost(0.0f);
    EXPECT_NEAR(settledGain(ovrel.get(), *undrel), linear(3.0f), 1e-4f);
    EXPECT_EQ(bypass.getValue(), 0.0f);
}

namespace
{
// What the host hears of one of its hosted parameters.
struct HeardChanges : juce::AudioProcessorParameter::Listener
{
    explicit HeardChanges(juce::AudioProcessorParameter& p) : parameter(p) { parameter.addListener(this); }
    ~HeardChanges() override { parameter.removeListener(this); }

    void parameterValueChanged(int, float value) override { values.push_back(value); }
    void parameterGestureChanged(int, bool) override {}

    juce::AudioProcessorParameter& parameter;
    std::vector<float> values;
};

// An Ovrel with its Undrel on link ID 1 and a lone Ovrel on link ID 2, for an Undrel that joins later.
class GainPairLoneOvrel : public GainPairHost
{
protected:
    void SetUp() override
    {
        GainPairHost::SetUp();
        if (IsSkipped())
            return;
        first = load(kOvrel);
        firstUndrel = load(kUndrel);
        lone = load(kOvrel);
        ASSERT_NE(first, nullptr);
        ASSERT_NE(lone, nullptr);
        ASSERT_EQ(parameterNamed(*lone, "Link ID").getCurrentValueAsText(), "2");
        setGain(*first, 6.0f);
        setGain(*lone, -4.0f);
    }

    std::unique_ptr<juce::AudioPluginInstance> first, firstUndrel, lone;
};
} // namespace

// An Undrel that joins a lone Ovrel's link ID on its own must say so to the host, or the host shows
// and saves the old link ID. LV2 is checked below through a reference host: JUCE's LV2 host takes its
// parameters' values only from control ports, which an LV2 plug-in cannot write except through its UI.
TEST_F(GainPairLoneOvrel, UndrelTellsTheHostTheLinkIdItChoseItself)
{
    setGain(*lone, 6.0f);

    auto undrel = load(kUndrel);
    ASSERT_NE(undrel, nullptr);
    auto& linkId = parameterNamed(*undrel, "Link ID");
    HeardChanges heard(linkId);

    juce::AudioBuffer<float> buffer(2, kBlock);
    juce::MidiBuffer midi;
    for (int wait = 0; wait < 60 && heard.values.empty(); ++wait)
    {
        buffer.clear();
        undrel->processBlock(buffer, midi);
        juce::MessageManager::getInstance()->runDispatchLoopUntil(100);
    }
    EXPECT_EQ(linkId.getCurrentValueAsText(), "2") << "heard " << heard.values.size() << " changes";
    ASSERT_FALSE(heard.values.empty()) << "the plug-in told the host";
    const float two = heard.values.back();
    EXPECT_EQ(linkId.getValue(), two);
    EXPECT_NEAR(settledGain(lone.get(), *undrel), 1.0f, 1e-4f) << "the plug-in itself is on link ID 2";

    // The host's own change stands: the plug-in moves there and does not tell its old choice again.
    linkId.setValueNotifyingHost(linkId.getValueForText("1"));
    heard.values.clear();
    for (int wait = 0; wait < 30; ++wait)
    {
        buffer.clear();
        undrel->processBlock(buffer, midi);
        juce::MessageManager::getInstance()->runDispatchLoopUntil(100);
    }
    EXPECT_EQ(linkId.getCurrentValueAsText(), "1");
    EXPECT_EQ(std::count(heard.values.begin(), heard.values.end(), two), 0);
    EXPECT_NEAR(settledGain(first.get(), *undrel), 1.0f, 1e-4f) << "the plug-in itself is on link ID 1";
}

// As above, through a host that instantiates once and reads the plug-in's output, as LV2 hosts do: the
// link ID the plug-in chose is announced as a patch message, a port still at its default does not undo
// it, and the host's own port change later moves the plug-in without that choice coming back.
TEST_F(GainPairLoneOvrel, UndrelLv2AnnouncesTheLinkIdItChoseItself)
{

    Lv2Rig undrel(ORZ_UNDREL_LV2, "urn:orlintz:undrel");
    ASSERT_TRUE(undrel.ready());
    ASSERT_EQ(undrel.control("linkID"), 1.0f);

    // Each Ovrel keeps its block current by running; the Undrel compensates whichever it is linked to.
    juce::AudioBuffer<float> buffer(2, kBlock);
    juce::MidiBuffer midi;
    const auto step = [&]
    {
        for (auto* ovrel : {first.get(), lone.get()})
        {
            buffer.clear();
            ovrel->processBlock(buffer, midi);
        }
        const auto gain = undrel.gains(1).first;
        juce::MessageManager::getInstance()->runDispatchLoopUntil(100);
        return gain;
    };

    for (int wait = 0; wait < 60 && undrel.announced("linkID").empty(); ++wait)
        step();
    EXPECT_EQ(undrel.announced("linkID"), std::vector<float>{2.0f}) << "told once, as the value it chose";
    // The host keeps its port in step with what it heard, as the plug-in's editor would write it.
    undrel.control("linkID") = 2.0f;
    float gain = 0.0f;
    for (int block = 0; block < 30; ++block)
        gain = step();
    EXPECT_NEAR(gain, linear(4.0f), 1e-4f) << "the plug-in itself is on link ID 2";

    // The host's own change stands.
    undrel.forgetAnnouncements();
    undrel.control("linkID") = 1.0f;
    for (int wait = 0; wait < 60 && std::abs(gain - linear(-6.0f)) > 1e-4f; ++wait)
        gain = step();
    for (int block = 0; block < 25; ++block)
        gain = step();
    EXPECT_NEAR(gain, linear(-6.0f), 1e-4f) << "the plug-in itself is on link ID 1";
    const auto told = undrel.announced("linkID");
    EXPECT_EQ(std::count(told.begin(), told.end(), 2.0f), 0) << "its old choice is not told again";
}
