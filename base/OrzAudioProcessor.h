#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

// What the three processors have in common: no MIDI, nothing to release, the framework's generic
// editor until a processor brings its own, and a single program. The program carries a name, since
// hosts and validators reject a program list whose entry has none.
class OrzAudioProcessor : public juce::AudioProcessor
{
public:
    using juce::AudioProcessor::AudioProcessor;

    static constexpr const char* programName = "Default";

    void releaseResources() override;
    bool acceptsMidi() const override;
    bool producesMidi() const override;
    bool isMidiEffect() const override;
    juce::AudioProcessorEditor* createEditor() override;
    bool hasEditor() const override;
    int getNumPrograms() override;
    int getCurrentProgram() override;
    void setCurrentProgram(int) override;
    const juce::String getProgramName(int) override;
    void changeProgramName(int, const juce::String&) override;
};
