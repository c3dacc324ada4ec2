#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

#include <memory>

// Loads the built bundles the way a host does: scan the file, then instantiate what it describes.
namespace PluginHost
{
enum class Format
{
    VST3,
    LV2
};

struct Bundle
{
    const char* product;
    Format format;
    const char* path;
};

juce::AudioPluginFormatManager& formats();

// The one description the bundle offers, or an empty one when the scan found nothing.
juce::PluginDescription describe(const Bundle& bundle);

std::unique_ptr<juce::AudioPluginInstance> load(const Bundle& bundle, double sampleRate = 48000.0, int blockSize = 512);

const char* formatName(Format f);

Format formatOf(const juce::AudioPluginInstance& instance);

// The bytes the plug-in itself wrote into the host's saved state of this instance (empty when it wrote
// none), and a host state blob of this instance's format that hands exactly the given bytes to it.
juce::MemoryBlock pluginChunk(juce::AudioPluginInstance& instance);
juce::MemoryBlock hostStateWithChunk(juce::AudioPluginInstance& instance, const juce::MemoryBlock& chunk);

// The names in the program lists a VST3 instance offers through its unit information, as a validator
// or a host with a program menu reads them. (JUCE's own host lists programs only for plug-ins that also
// have a program-change parameter, which a plug-in of one program does not.)
juce::StringArray vst3ProgramNames(juce::AudioPluginInstance& instance);
} // namespace PluginHost
