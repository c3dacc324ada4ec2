#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

#include <cstring>
#include <functional>
#include <vector>

// Bytes that a host may hand back as a plug-in's saved state but that are not one: each made from a
// valid saved state of the plug-in (or from nothing). A restore must ignore every one of them.
struct DamagedState
{
    const char* name;
    std::function<juce::MemoryBlock(const juce::MemoryBlock& valid)> make;
};

namespace damaged
{
inline juce::MemoryBlock firstBytes(const juce::MemoryBlock& m, size_t n)
{
    return {m.getData(), juce::jmin(n, m.getSize())};
}

inline juce::MemoryBlock withBytes(juce::MemoryBlock m, size_t from, size_t count, char value)
{
    for (size_t i = from; i < juce::jmin(m.getSize(), from + count); ++i)
        m[i] = value;
    return m;
}

inline juce::MemoryBlock randomBytes(size_t n)
{
    juce::MemoryBlock m(n);
    juce::Random rng(99);
    rng.fillBitsRandomly(m.getData(), n);
    return m;
}

// The framework's XML-in-binary header, with the given length field, around a text.
inline juce::MemoryBlock headerAround(const char* text, int length)
{
    juce::MemoryOutputStream out;
    out.writeInt(0x21324356);
    out.writeInt(length);
    out.write(text, std::strlen(text) + 1);
    return out.getMemoryBlock();
}

// Another program's document, with a root of its own around our parameter IDs and settings.
inline juce::MemoryBlock foreignDocument()
{
    juce::XmlElement xml("Foreign");
    xml.setAttribute("editorWidth", 600);
    for (const char* id : {"gain", "trim", "gainL", "width"})
    {
        auto* param = xml.createNewChildElement("PARAM");
        param->setAttribute("id", id);
        param->setAttribute("value", -9.0);
    }
    juce::MemoryBlock m;
    juce::AudioProcessor::copyXmlToBinary(xml, m);
    return m;
}
} // namespace damaged

inline const std::vector<DamagedState>& damagedStates()
{
    using M = juce::MemoryBlock;
    using namespace damaged;
    static const std::vector<DamagedState> table = {
        {"empty", [](const M&) { return M(); }},
        {"header only", [](const M& v) { return firstBytes(v, 8); }},
        {"wrong magic number", [](const M& v) { return withBytes(v, 0, 1, 'X'); }},
        {"zero length field", [](const M& v) { return withBytes(v, 4, 4, 0); }},
        {"length past 2 GB", [](const M& v) { return withBytes(v, 7, 1, '\x80'); }},
        {"cut in half", [](const M& v) { return firstBytes(v, v.getSize() / 2); }},
        {"zeros in the middle", [](const M& v) { return withBytes(v, v.getSize() / 2, 16, 0); }},
        {"random bytes", [](const M&) { return randomBytes(512); }},
        {"header around text that is not XML", [](const M&) { return headerAround("not <xml at all", 15); }},
        {"header around a cut-off tag", [](const M&) { return headerAround("<oops", 5); }},
        {"another program's document", [](const M&) { return foreignDocument(); }},
    };
    return table;
}
