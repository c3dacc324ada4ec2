#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

#include <atomic>

// The saved form both gain plug-ins share: the parameter tree with the editor settings the
// processor holds added as attributes of its root element, in the framework's binary XML wrapper.
class GainPairState
{
public:
    // The processor's own members; the state reads and writes them, it holds no copies.
    struct Settings
    {
        std::atomic<float>& uiScale;
        std::atomic<int>& editorWidth;
        std::atomic<bool>& tooltipsOn;
        std::atomic<bool>& isSpanish;
        std::atomic<bool>& meterHold;
    };

    static constexpr float defaultUiScale = 1.0f;
    static constexpr float minUiScale = 0.25f;
    static constexpr float maxUiScale = 4.0f;
    static constexpr int minEditorWidth = 300;
    static constexpr int maxEditorWidth = 700;

    GainPairState(juce::AudioProcessorValueTreeState& apvts, Settings settings);

    void save(juce::MemoryBlock& destData) const;

    // Takes the settings and parameters from data saved by save(). Returns false, changing nothing,
    // when the data is not a state of this tree; the caller recomputes what depends on the
    // parameters only after a true result.
    bool restore(const void* data, int sizeInBytes);

private:
    void restoreSettings(const juce::XmlElement& root);
    void mendParameterValues(juce::XmlElement& root) const;

    juce::AudioProcessorValueTreeState& apvts;
    Settings settings;
};
