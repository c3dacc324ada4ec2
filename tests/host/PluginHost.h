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
} // namespace PluginHost
