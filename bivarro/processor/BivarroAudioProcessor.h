#pragma once

#include "base/OrzAudioProcessor.h"
#include "bivarro/processor/ChainState.h"
#include "bivarro/processor/LevelReadings.h"
#include "bivarro/processor/LinearSmoother.h"

#include <juce_audio_processors/juce_audio_processors.h>

#include <array>
#include <atomic>
#include <vector>

class BivarroAudioProcessor : public OrzAudioProcessor
{
public:
    using Smoother = LinearSmoother;

    static constexpr int scopeSize = 16384;
    static constexpr int scopeMask = scopeSize - 1;

    BivarroAudioProcessor();
    ~BivarroAudioProcessor() override;

    const juce::String getName() const override;
    void prepareToPlay(double sampleRate, int maximumExpectedSamplesPerBlock) override;
    void processBlock(juce::AudioBuffer<float>&, juce::MidiBuffer&) override;
    using juce::AudioProcessor::processBlock;
    double getTailLengthSeconds() const override;
    void getStateInformation(juce::MemoryBlock& destData) override;
    void setStateInformation(const void* data, int sizeInBytes) override;
    bool isBusesLayoutSupported(const BusesLayout& layouts) const override;

    void initSlots();
    static juce::AudioProcessorValueTreeState::ParameterLayout createParameterLayout();

    juce::AudioProcessorValueTreeState apvts;

    // Interface settings, held for the editor and the analyser window and saved with the state.
    std::atomic<int> activeSlot{0};
    std::atomic<int> analyserScopeMode{0};
    std::atomic<float> analyserZoom{1.0f};
    std::atomic<float> analyserRelScope{0.15f};
    std::atomic<float> analyserRelCorr{0.15f};
    std::atomic<float> analyserRelPan{0.15f};
    std::atomic<bool> analyserCfgOpen{false};
    std::atomic<int> analyserWinX{-1};
    std::atomic<int> analyserWinY{-1};
    std::atomic<int> analyserWinW{0};
    std::atomic<int> analyserWinH{0};
    std::atomic<bool> analyserSnapToPlugin{true};
    std::atomic<bool> analyserAlwaysOnTop{true};
    std::atomic<bool> analyserOpen{false};
    std::atomic<float> analyserTriangleAlpha{0.15f};
    std::atomic<float> analyserDotDensity{1.0f};
    std::atomic<float> analyserInputBright{0.3f};
    std::atomic<float> analyserOutputBright{0.88f};
    std::atomic<int> linkGain{0};
    std::atomic<int> linkDelay{0};
    std::atomic<int> linkFreq{0};
    std::atomic<int> linkPhase{0};
    std::atomic<int> linkPan{0};
    std::atomic<int> linkMidSide{0};
    std::atomic<int> linkAsymRot{0};
    std::atomic<int> linkQ{0};
    std::atomic<int> linkOrd{0};
    std::atomic<int> linkPol{0};
    std::atomic<int> linkMuteL{0};
    std::atomic<int> linkMuteSid{0};
    std::atomic<int> editorWidth{380};
    std::atomic<bool> tooltipsEnabled{false};
    std::atomic<bool> languageSpanish{false};
    std::atomic<bool> meterHold{false};

    std::array<juce::ValueTree, 3> slots;
    // Guards the slots and the live state's sharing with the active slot. Taken by the host's state
    // calls and the editor's slot operations; never on the audio thread.
    juce::CriticalSection slotLock;

private:
    // Signal chain state; the audio thread owns it between two prepareToPlay calls.
    std::vector<float> delayLineL;
    std::vector<float> delayLineR;
    int delayMask = 0;
    int delayWriteL = 0;
    int delayWriteR = 0;
    Smoother delaySmootherL;
    Smoother delaySmootherR;
    Allpass1States allpass1StateL{};
    Allpass1States allpass1StateR{};
    Allpass2States allpass2StateL{};
    Allpass2States allpass2StateR{};
    CrossoverStates crossoverState{};
    BiquadCoeffs lowPassCoeffs;
    BiquadCoeffs highPassCoeffs;
    float lastCrossoverFreq = -1.0f;
    float lastCrossoverRate = -1.0f;
    Smoother bassMonoAmountSmoother;
    Smoother bassMonoFreqSmoother;
    Smoother gainSmootherL;
    Smoother gainSmootherR;
    Smoother widthSmoother;
    Smoother midGainSmoother;
    Smoother sideGainSmoother;
    Smoother trimOutSmoother;
    Smoother asymmetrySmoother;
    Smoother rotationSmoother;

    void publishLevels(int outPos, int n, const LevelReadings::Sums& levels);
    void recoverNonFiniteState();

public:
    // Scope rings and readings: written by the audio thread, published through the atomics.
    std::array<float, scopeSize> scopeOutL{};
    std::array<float, scopeSize> scopeOutR{};
    std::atomic<int> scopeOutWritePos{0};
    std::array<float, scopeSize> scopeInL{};
    std::array<float, scopeSize> scopeInR{};
    std::atomic<int> scopeInWritePos{0};
    std::atomic<float> peakDbL{-100.0f};
    std::atomic<float> peakDbR{-100.0f};
    std::atomic<float> rmsDbL{-100.0f};
    std::atomic<float> rmsDbR{-100.0f};

private:
    float rmsSumL = 0.0f;
    float rmsSumR = 0.0f;
    int rmsCount = 0;
    bool lastBypass = false;
    int crossoverCounter = 0;
    double currentSampleRate = 44100.0;

    const std::atomic<float>* gainL = nullptr;
    const std::atomic<float>* gainR = nullptr;
    const std::atomic<float>* panL = nullptr;
    const std::atomic<float>* panR = nullptr;
    const std::atomic<float>* delayL = nullptr;
    const std::atomic<float>* delayR = nullptr;
    const std::atomic<float>* apFcL = nullptr;
    const std::atomic<float>* apFcR = nullptr;
    const std::atomic<float>* apPhaseL = nullptr;
    const std::atomic<float>* apPhaseR = nullptr;
    const std::atomic<float>* apQL = nullptr;
    const std::atomic<float>* apQR = nullptr;
    const std::atomic<float>* apOrder2L = nullptr;
    const std::atomic<float>* apOrder2R = nullptr;
    const std::atomic<float>* polarityL = nullptr;
    const std::atomic<float>* polarityR = nullptr;
    const std::atomic<float>* width = nullptr;
    const std::atomic<float>* asymmetry = nullptr;
    const std::atomic<float>* rotation = nullptr;
    const std::atomic<float>* trimOut = nullptr;
    const std::atomic<float>* midGain = nullptr;
    const std::atomic<float>* sideGain = nullptr;
    const std::atomic<float>* muteL = nullptr;
    const std::atomic<float>* muteR = nullptr;
    const std::atomic<float>* muteMid = nullptr;
    const std::atomic<float>* muteSide = nullptr;
    const std::atomic<float>* mono = nullptr;
    const std::atomic<float>* bypass = nullptr;
    const std::atomic<float>* monoMakerFreq = nullptr;
    const std::atomic<float>* monoMakerInt = nullptr;

    friend struct BivarroProcessorProbe;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(BivarroAudioProcessor)
};
