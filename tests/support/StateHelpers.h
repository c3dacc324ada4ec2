#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

// A processor's saved state as the host keeps it, and back.
inline juce::MemoryBlock saveState(juce::AudioProcessor& proc)
{
    juce::MemoryBlock block;
    proc.getStateInformation(block);
    return block;
}

inline void restoreState(juce::AudioProcessor& proc, const juce::MemoryBlock& block)
{
    proc.setStateInformation(block.getData(), static_cast<int>(block.getSize()));
}

// XML text in the framework's binary wrapper, as a state of any origin would arrive.
inline juce::MemoryBlock wrapXml(const juce::String& xmlText)
{
    auto xml = juce::parseXML(xmlText);
    juce::MemoryBlock block;
    juce::AudioProcessor::copyXmlToBinary(*xml, block);
    return block;
}
