#include "PluginHost.h"

#include <gtest/gtest.h>

using PluginHost::Bundle;
using PluginHost::Format;

namespace
{
// JUCE's hosts wrap the plug-in's own bytes in JUCE's base64 text: VST3 in the "IComponent" element
// of an XML document, LV2 in the state string of a Turtle preset.
const juce::String lv2StateMarker = "StateString> \"";

juce::MemoryBlock pluginBytes(Format f, const juce::MemoryBlock& hostBlob)
{
    juce::MemoryBlock bytes;
    if (f == Format::VST3)
    {
        const auto xml =
            juce::AudioProcessor::getXmlFromBinary(hostBlob.getData(), static_cast<int>(hostBlob.getSize()));
        if (xml != nullptr)
            if (const auto* component = xml->getChildByName("IComponent"))
                bytes.fromBase64Encoding(component->getAllSubText());
        return bytes;
    }
    const auto text = hostBlob.toString();
    const int start = text.indexOf(lv2StateMarker) + lv2StateMarker.length();
    bytes.fromBase64Encoding(text.substring(start, text.indexOf(start, "\"")));
    return bytes;
}

juce::MemoryBlock withPluginBytes(Format f, const juce::MemoryBlock& hostBlob, const juce::MemoryBlock& bytes)
{
    if (f == Format::VST3)
    {
        auto xml = juce::AudioProcessor::getXmlFromBinary(hostBlob.getData(), static_cast<int>(hostBlob.getSize()));
        auto* component = xml->getChildByName("IComponent");
        component->deleteAllTextElements();
        component->addTextElement(bytes.toBase64Encoding());
        juce::MemoryBlock out;
        juce::AudioProcessor::copyXmlToBinary(*xml, out);
        return out;
    }
    const auto text = hostBlob.toString();
    const int start = text.indexOf(lv2StateMarker) + lv2StateMarker.length();
    const auto replaced = text.replaceSection(start, text.indexOf(start, "\"") - start, bytes.toBase64Encoding());
    return {replaced.toRawUTF8(), replaced.getNumBytesAsUTF8()};
}

std::unique_ptr<juce::XmlElement> savedForm(Format f, juce::AudioPluginInstance& plugin)
{
    juce::MemoryBlock blob;
    plugin.getStateInformation(blob);
    const auto bytes = pluginBytes(f, blob);
    return juce::AudioProcessor::getXmlFromBinary(bytes.getData(), static_cast<int>(bytes.getSize()));
}

juce::AudioProcessorParameter* byName(juce::AudioPluginInstance& plugin, const juce::String& name)
{
    for (auto* p : plugin.getParameters())
        if (p->getName(100) == name)
            return p;
    return nullptr;
}

// Hosts pass parameter changes on with the next block, and JUCE's LV2 host shows a value the plug-in
// changed itself only after that block and a turn of the message loop.
void settle(juce::AudioPluginInstance& plugin)
{
    juce::AudioBuffer<float> buffer(2, 512);
    juce::MidiBuffer midi;
    for (int i = 0; i < 2; ++i)
    {
        buffer.clear();
        plugin.processBlock(buffer, midi);
        juce::MessageManager::getInstance()->runDispatchLoopUntil(20);
    }
}

std::unique_ptr<juce::AudioPluginInstance> loadPrepared(const Bundle& bundle)
{
    auto plugin = PluginHost::load(bundle);
    if (plugin != nullptr)
        plugin->prepareToPlay(48000.0, 512);
    return plugin;
}

juce::XmlElement* slotChild(juce::XmlElement& root, int index)
{
    for (auto* c : root.getChildIterator())
        if (c->getIntAttribute("_slotIndex", -1) == index)
            return c;
    return nullptr;
}

void setParamIn(juce::XmlElement& tree, const char* id, double value)
{
    tree.getChildByAttribute("id", id)->setAttribute("value", value);
}

const Bundle kBundles[] = {{"Bivarro", Format::VST3, ORZ_BIVARRO_VST3}, {"Bivarro", Format::LV2, ORZ_BIVARRO_LV2}};

class BivarroHostState : public ::testing::TestWithParam<Bundle>
{
};

std::string bundleName(const ::testing::TestParamInfo<Bundle>& info)
{
    return PluginHost::formatName(info.param.format);
}
} // namespace

// One instance saves through the host; the saved form is edited (settings, slots, active slot C) and
// restored into a second instance, whose host parameters and own saved form must show every edit.
TEST_P(BivarroHostState, SurvivesSaveAndRestoreThroughTheHost)
{
    const auto& bundle = GetParam();
    auto a = loadPrepared(bundle);
    ASSERT_NE(a, nullptr);
    auto* width = byName(*a, "Width");
    ASSERT_NE(width, nullptr);
    width->setValueNotifyingHost(0.5f); // 250 %
    settle(*a);

    juce::MemoryBlock blobA;
    a->getStateInformation(blobA);
    const auto bytesA = pluginBytes(bundle.format, blobA);
    auto form = juce::AudioProcessor::getXmlFromBinary(bytesA.getData(), static_cast<int>(bytesA.getSize()));
    ASSERT_NE(form, nullptr);
    ASSERT_TRUE(form->hasTagName("Parameters"));
    EXPECT_EQ(form->getNumAttributes(), 34);
    EXPECT_EQ(form->getChildByAttribute("id", "width")->getDoubleAttribute("value"), 250.0);
    ASSERT_NE(slotChild(*form, 2), nullptr);

    form->setAttribute("editorWidth", 480);
    form->setAttribute("languageSpanish", 1);
    form->setAttribute("linkPan", -1);
    form->setAttribute("analyserZoom", 2.5);
    form->setAttribute("analyserWinX", 200);
    form->setAttribute("activeSlot", 2);
    setParamIn(*slotChild(*form, 0), "gainL", -3.0);
    setParamIn(*slotChild(*form, 2), "width", 75.0);
    setParamIn(*slotChild(*form, 2), "gainL", 6.0);
    juce::MemoryBlock edited;
    juce::AudioProcessor::copyXmlToBinary(*form, edited);

    auto b = loadPrepared(bundle);
    ASSERT_NE(b, nullptr);
    const auto blobB = withPluginBytes(bundle.format, blobA, edited);
    b->setStateInformation(blobB.getData(), static_cast<int>(blobB.getSize()));
    settle(*b);

    // The live parameters are slot C's.
    EXPECT_NEAR(byName(*b, "Width")->getValue(), 75.0f / 500.0f, 1e-4f);
    EXPECT_NEAR(byName(*b, "Gain L")->getValue(), 106.0f / 148.0f, 1e-4f);

    const auto formB = savedForm(bundle.format, *b);
    ASSERT_NE(formB, nullptr);
    for (int i = 0; i < form->getNumAttributes(); ++i)
    {
        const auto key = form->getAttributeName(i);
        EXPECT_EQ(formB->getStringAttribute(key), form->getStringAttribute(key)) << key;
    }
    for (int i = 0; i < 3; ++i)
    {
        ASSERT_NE(slotChild(*formB, i), nullptr);
        EXPECT_TRUE(slotChild(*formB, i)->isEquivalentTo(slotChild(*form, i), false)) << "slot " << i;
    }
    EXPECT_EQ(formB->getChildByAttribute("id", "width")->getDoubleAttribute("value"), 75.0);

    a->releaseResources();
    b->releaseResources();
}

// Bytes a host hands back that are not a saved form leave the instance as it was.
TEST_P(BivarroHostState, UnreadableStateIsIgnoredThroughTheHost)
{
    const auto& bundle = GetParam();
    auto plugin = loadPrepared(bundle);
    ASSERT_NE(plugin, nullptr);
    byName(*plugin, "Width")->setValueNotifyingHost(0.5f);
    settle(*plugin);

    juce::MemoryBlock blob;
    plugin->getStateInformation(blob);
    const auto before = savedForm(bundle.format, *plugin);
    ASSERT_NE(before, nullptr);

    const juce::String junk = "not a saved form";
    const auto bad =
        withPluginBytes(bundle.format, blob, juce::MemoryBlock(junk.toRawUTF8(), junk.getNumBytesAsUTF8()));
    plugin->setStateInformation(bad.getData(), static_cast<int>(bad.getSize()));
    settle(*plugin);

    EXPECT_NEAR(byName(*plugin, "Width")->getValue(), 0.5f, 1e-4f);
    const auto after = savedForm(bundle.format, *plugin);
    ASSERT_NE(after, nullptr);
    EXPECT_TRUE(after->isEquivalentTo(before.get(), false));
    plugin->releaseResources();
}

INSTANTIATE_TEST_SUITE_P(Bundles, BivarroHostState, ::testing::ValuesIn(kBundles), bundleName);
