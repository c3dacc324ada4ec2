#pragma once

#include "gainpair/common/GainPairState.h"

#include <juce_audio_processors/juce_audio_processors.h>

#include <atomic>
#include <limits>

// Role of an instance among the live Ovrel instances of its link ID.
enum class LinkRole : int
{
    Alone = 0,
    Waiting = 1,
    Slave = 2,
    Master = 3
};

class OvrelAudioProcessor : public juce::AudioProcessor, public juce::Timer
{
public:
    using Smoother = juce::SmoothedValue<float, juce::ValueSmoothingTypes::Linear>;

    static constexpr double rampSeconds = 0.15;
    static constexpr int defaultRampSteps = 6615; // 0.15 s at 44100 Hz, until prepareToPlay
    static constexpr int timerIntervalMs = 100;
    static constexpr int rmsWindowSamples = 512;
    static constexpr float readingFloorDb = -100.0f;

    OvrelAudioProcessor();
    ~OvrelAudioProcessor() override;

    const juce::String getName() const override;
    void prepareToPlay(double sampleRate, int maximumExpectedSamplesPerBlock) override;
    void releaseResources() override;
    void processBlock(juce::AudioBuffer<float>&, juce::MidiBuffer&) override;
    using juce::AudioProcessor::processBlock;
    double getTailLengthSeconds() const override;
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
    void getStateInformation(juce::MemoryBlock& destData) override;
    void setStateInformation(const void* data, int sizeInBytes) override;
    bool isBusesLayoutSupported(const BusesLayout& layouts) const override;
    // The host's own bypass switch is Ovrel's "bypass", so Undrel hears of it.
    juce::AudioProcessorParameter* getBypassParameter() const override;

    void timerCallback() override;

    static juce::AudioProcessorValueTreeState::ParameterLayout createParameterLayout();
    static float linearGain(float db);

    juce::AudioProcessorValueTreeState apvts;
    std::atomic<float>* gainParam = nullptr;
    std::atomic<float>* linkIdParam = nullptr;
    std::atomic<float>* bypassParam = nullptr;

    std::atomic<int> currentLinkId{-1};
    std::atomic<int> pendingLinkId{-1};

    std::atomic<float> inputPeakDb{-60.0f};
    std::atomic<float> inputRmsDb{-60.0f};
    std::atomic<float> shownGain{0.0f};
    std::atomic<int> linkRole{static_cast<int>(LinkRole::Alone)};
    std::atomic<char> instanceLetter{0};
    std::atomic<bool> multiInstance{false};
    std::atomic<int> activeInstanceCount{0};
    std::atomic<bool> requestMaster{false};

    std::atomic<int> editorWidth{300};
    std::atomic<bool> tooltipsOn{false};
    std::atomic<bool> isSpanish{false};
    std::atomic<float> uiScale{GainPairState::defaultUiScale};
    std::atomic<bool> meterHold{false};

private:
    struct GainAndBypass
    {
        float gain = 0.0f;
        bool bypass = false;
    };

    GainAndBypass readGainAndBypass() const;
    int readLinkId() const;
    void measureInput(const juce::AudioBuffer<float>& buffer, int numChannels, int numSamples);
    void applyGain(juce::AudioBuffer<float>& buffer, int numChannels, int numSamples);

    Smoother gainSmoother;
    // A restore's new smoother value, taken by the next block; NaN while none is waiting.
    std::atomic<float> restoredGainRequest{std::numeric_limits<float>::quiet_NaN()};
    float rmsSum = 0.0f;
    int rmsCount = 0;
    int tickCount = 0;
    int settleTicks = 0;
    juce::String instanceToken;
    GainPairState savedState{apvts, {uiScale, editorWidth, tooltipsOn, isSpanish, meterHold}};

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(OvrelAudioProcessor)
};
