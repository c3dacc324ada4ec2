#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

#include <memory>

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

// The framework's binary wrapper around a state's XML, both ways; null where the bytes hold none.
inline std::unique_ptr<juce::XmlElement> xmlOf(const juce::MemoryBlock& block)
{
    return juce::AudioProcessor::getXmlFromBinary(block.getData(), static_cast<int>(block.getSize()));
}

inline juce::MemoryBlock blockOf(const juce::XmlElement& xml)
{
    juce::MemoryBlock block;
    juce::AudioProcessor::copyXmlToBinary(xml, block);
    return block;
}

// XML text in the framework's binary wrapper, as a state of any origin would arrive.
inline juce::MemoryBlock wrapXml(const juce::String& xmlText)
{
    return blockOf(*juce::parseXML(xmlText));
}
