#include "PluginHost.h"

#include <cstdlib>

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
} // namespace PluginHost
