#pragma once

#include "base/OrzAudioProcessor.h"
#include "bivarro/processor/BivarroChain.h"
#include "bivarro/processor/BivarroParameterReader.h"
#include "bivarro/processor/BivarroSettings.h"
#include "bivarro/processor/LevelReadings.h"
#include "bivarro/processor/ScopeRingReader.h"

#include <juce_audio_processors/juce_audio_processors.h>

#include <array>
#include <atomic>

class BivarroAudioProcessor : public OrzAudioProcessor
{
public:
    static constexpr int scopeSize = ScopeRingReader::size;
    static constexpr int scopeMask = ScopeRingReader::mask;

    BivarroAudioProcessor();
    ~BivarroAudioProcessor() override;

    const juce::String getName() const override;
    void prepareToPlay(double sampleRate, int maximumExpectedSamplesPerBlock) override;
    void processBlock(juce::AudioBuffer<float>&, juce::MidiBuffer&) override;
    using juce::AudioProcessor::processBlock;
    double getTailLengthSeconds() const override;
    juce::AudioProcessorEditor* createEditor() override;
    void getStateInformation(juce::MemoryBlock& destData) override;
    void setStateInformation(const void* data, int sizeInBytes) override;
    bool isBusesLayoutSupported(const BusesLayout& layouts) const override;
    // Our own bypass switch, so hosts show one bypass and theirs drives ours.
    juce::AudioProcessorParameter* getBypassParameter() const override;

    void initSlots();
    static juce::AudioProcessorValueTreeState::ParameterLayout createParameterLayout();

    // The input before any processing and the output after it (with bypass on, the input).
    ScopeRingReader inputScope() const noexcept { return {scopeInL.data(), scopeInR.data(), scopeInWritePos}; }
    ScopeRingReader outputScope() const noexcept { return {scopeOutL.data(), scopeOutR.data(), scopeOutWritePos}; }

    juce::AudioProcessorValueTreeState apvts;

    // Held for the editor and the analyser window and saved with the state.
    BivarroSettings settings;

    std::array<juce::ValueTree, 3> slots;
    // Guards the slots and the live state's sharing with the active slot. Taken by the host's state
    // calls and the editor's slot operations; never on the audio thread.
    juce::CriticalSection slotLock;
    // Counted before and after each state restore, so that an open editor can tell the knob changes
    // a restore brings (possibly later, from another thread) from the user's.
    std::atomic<unsigned> stateRestoresBegun{0};
    std::atomic<unsigned> stateRestoresDone{0};

    // Levels of the output in dB: the last block's peak and the last window's RMS.
    std::atomic<float> peakDbL{-100.0f};
    std::atomic<float> peakDbR{-100.0f};
    std::atomic<float> rmsDbL{-100.0f};
    std::atomic<float> rmsDbR{-100.0f};

private:
    void publishLevels(int outPos, int n, const LevelReadings::Sums& levels);

    BivarroParameterReader parameters{apvts};
    // Some wrappers ask for it on every block; looking it up by ID each time costs a hash of the ID.
    juce::AudioProcessorParameter* const bypassParameter;
    BivarroChain chain;

    // Written by the audio thread, published through the write positions.
    std::array<float, scopeSize> scopeOutL{};
    std::array<float, scopeSize> scopeOutR{};
    std::atomic<int> scopeOutWritePos{0};
    std::array<float, scopeSize> scopeInL{};
    std::array<float, scopeSize> scopeInR{};
    std::atomic<int> scopeInWritePos{0};

    float rmsSumL = 0.0f;
    float rmsSumR = 0.0f;
    int rmsCount = 0;
    bool lastBypass = false;

    friend struct BivarroProcessorProbe;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(BivarroAudioProcessor)
};
