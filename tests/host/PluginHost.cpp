#include "PluginHost.h"

// The SDK's own headers, read as they are.
JUCE_BEGIN_IGNORE_WARNINGS_GCC_LIKE("-Wshadow")
#include <pluginterfaces/vst/ivstcomponent.h>
#include <pluginterfaces/vst/ivstunits.h>
JUCE_END_IGNORE_WARNINGS_GCC_LIKE

#include <cstdlib>
#include <cstring>

namespace PluginHost
{
juce::AudioPluginFormatManager& formats()
{
    static juce::AudioPluginFormatManager manager;
    if (manager.getNumFormats() == 0)
    {
        manager.addFormat(new juce::VST3PluginFormat());

        // The LV2 host loads ~/.lv2 when it is created, and a copy installed there would shadow the
        // bundle under test (same URI), so it starts with HOME pointing at an empty folder. HOME stays
        // there: the gain plug-ins keep their lock files below the application-data folder, which
        // follows HOME, and must not meet the user's own instances.
        const auto emptyHome = juce::File::getSpecialLocation(juce::File::tempDirectory).getChildFile("orz-host-home");
        emptyHome.createDirectory();
        setenv("HOME", emptyHome.getFullPathName().toRawUTF8(), 1);
        manager.addFormat(new juce::LV2PluginFormat());
    }
    return manager;
}

const char* formatName(Format f)
{
    return f == Format::VST3 ? "VST3" : "LV2";
}

static juce::AudioPluginFormat* findFormat(Format f)
{
    for (auto* fmt : formats().getFormats())
        if (fmt->getName() == formatName(f))
            return fmt;
    return nullptr;
}

juce::PluginDescription describe(const Bundle& bundle)
{
    auto* fmt = findFormat(bundle.format);
    if (fmt == nullptr)
        return {};

    // LV2 plug-ins are named by URI once the bundle's folder is on the search path.
    juce::String identifier = bundle.path;
    if (bundle.format == Format::LV2)
    {
        juce::FileSearchPath path(juce::File(bundle.path).getParentDirectory().getFullPathName());
        for (const auto& id : fmt->searchPathsForPlugins(path, false, true))
            if (id.containsIgnoreCase(juce::String(bundle.product).toLowerCase()))
                identifier = id;
    }

    juce::OwnedArray<juce::PluginDescription> found;
    fmt->findAllTypesForFile(found, identifier);
    return found.isEmpty() ? juce::PluginDescription{} : *found.getFirst();
}

std::unique_ptr<juce::AudioPluginInstance> load(const Bundle& bundle, double sampleRate, int blockSize)
{
    const auto desc = describe(bundle);
    if (desc.name.isEmpty())
        return nullptr;
    juce::String error;
    auto instance = formats().createPluginInstance(desc, sampleRate, blockSize, error);
    return instance;
}

Format formatOf(const juce::AudioPluginInstance& instance)
{
    return instance.getPluginDescription().pluginFormatName == "LV2" ? Format::LV2 : Format::VST3;
}

// JUCE's VST3 wrapper appends its own record to the plug-in's bytes: int64 0, the record, the record's
// size as int64, then this marker.
static const juce::String kVst3PrivateMarker = "JUCEPrivateData";

// JUCE's LV2 wrapper keeps the plug-in's bytes as one base64 string property of the saved preset.
static const juce::String kLv2StateKey = ":StateString> \"";

static juce::Range<int> lv2StateText(const juce::String& turtle)
{
    const int start = turtle.indexOf(kLv2StateKey);
    if (start < 0)
        return {};
    const int from = start + kLv2StateKey.length();
    return {from, turtle.indexOfChar(from, '"')};
}

juce::MemoryBlock pluginChunk(juce::AudioPluginInstance& instance)
{
    juce::MemoryBlock hostState;
    instance.getStateInformation(hostState);
    juce::MemoryBlock chunk;

    if (formatOf(instance) == Format::LV2)
    {
        const auto turtle = hostState.toString();
        const auto text = lv2StateText(turtle);
        if (!text.isEmpty())
            chunk.fromBase64Encoding(turtle.substring(text.getStart(), text.getEnd()));
        return chunk;
    }

    const auto xml = juce::AudioProcessor::getXmlFromBinary(hostState.getData(), static_cast<int>(hostState.getSize()));
    if (xml == nullptr || xml->getChildByName("IComponent") == nullptr)
        return chunk;
    chunk.fromBase64Encoding(xml->getChildByName("IComponent")->getAllSubText());

    const auto markerSize = static_cast<size_t>(kVst3PrivateMarker.length());
    const auto* bytes = static_cast<const char*>(chunk.getData());
    if (chunk.getSize() < markerSize + 16 ||
        juce::String(bytes + chunk.getSize() - markerSize, markerSize) != kVst3PrivateMarker)
        return chunk;
    juce::int64 recordSize = 0;
    std::memcpy(&recordSize, bytes + chunk.getSize() - markerSize - 8, 8);
    const auto tail = markerSize + 16 + static_cast<size_t>(recordSize);
    chunk.setSize(tail <= chunk.getSize() ? chunk.getSize() - tail : 0);
    return chunk;
}

juce::MemoryBlock hostStateWithChunk(juce::AudioPluginInstance& instance, const juce::MemoryBlock& chunk)
{
    juce::MemoryBlock hostState;

    if (formatOf(instance) == Format::LV2)
    {
        instance.getStateInformation(hostState);
        const auto turtle = hostState.toString();
        const auto text = lv2StateText(turtle);
        const auto replaced = turtle.replaceSection(text.getStart(), text.getLength(), chunk.toBase64Encoding());
        hostState.replaceAll(replaced.toRawUTF8(), replaced.getNumBytesAsUTF8());
        return hostState;
    }

    // Without the wrapper's own record the wrapper hands every byte to the plug-in.
    juce::XmlElement xml("VST3PluginState");
    xml.createNewChildElement("IComponent")->addTextElement(chunk.toBase64Encoding());
    juce::AudioProcessor::copyXmlToBinary(xml, hostState);
    return hostState;
}

juce::StringArray vst3ProgramNames(juce::AudioPluginInstance& instance)
{
    struct ComponentOf : juce::ExtensionsVisitor
    {
        void visitVST3Client(const VST3Client& client) override { component = client.getIComponentPtr(); }
        Steinberg::Vst::IComponent* component = nullptr;
    } visitor;
    instance.getExtensions(visitor);

    juce::StringArray names;
    Steinberg::Vst::IUnitInfo* units = nullptr;
    if (visitor.component == nullptr ||
        visitor.component->queryInterface(Steinberg::Vst::IUnitInfo::iid, reinterpret_cast<void**>(&units)) !=
            Steinberg::kResultOk ||
        units == nullptr)
        return names;

    for (Steinberg::int32 list = 0; list < units->getProgramListCount(); ++list)
    {
        Steinberg::Vst::ProgramListInfo info{};
        if (units->getProgramListInfo(list, info) != Steinberg::kResultOk)
            continue;
        for (Steinberg::int32 program = 0; program < info.programCount; ++program)
        {
            Steinberg::Vst::String128 name{};
            if (units->getProgramName(info.id, program, name) == Steinberg::kResultOk)
                names.add(juce::String(
                    juce::CharPointer_UTF16(reinterpret_cast<const juce::CharPointer_UTF16::CharType*>(name))));
        }
    }
    units->release();
    return names;
}
} // namespace PluginHost
