#pragma once

#include "gainpair/common/GainPairAudioProcessor.h"
#include "gainpair/common/GainPairRequest.h"

#include <juce_audio_processors/juce_audio_processors.h>

#include <atomic>

class UndrelAudioProcessor final : public GainPairAudioProcessor
{
public:
    static constexpr int timerIntervalMs = 2000;
    static constexpr int maxGainChannels = 8;

    // The environment says where lock files and link blocks live; hosts use the standard one.
    explicit UndrelAudioProcessor(GainLinkEnvironment environment = GainLinkEnvironment::standard());
    ~UndrelAudioProcessor() override;

    const juce::String getName() const override;
    juce::AudioProcessorEditor* createEditor() override;
    bool isBusesLayoutSupported(const BusesLayout& layouts) const override;

    void timerCallback() override;

    // The tree's raw value of "trim".
    std::atomic<float>* const trimParam = &params.decibelsRaw;

    // Ovrel's gain and bypass as last taken from a current block.
    std::atomic<float> receivedGainDb{0.0f};
    // Compensation target plus trim target of the last audio block.
    std::atomic<float> appliedGainDb{0.0f};
    std::atomic<bool> receivedBypass{false};

    // The output after the gain.
    GainPairReading& outputPeakDb = peakDb;
    GainPairReading& outputRmsDb = rmsDb;

private:
    void prepareSmoothers(double sampleRate) override;
    void processGain(juce::AudioBuffer<float>& buffer, int numChannels,
                     const GainPairParameters::Values& values) override;
    void stateRestored(const GainPairParameters::Values& restored) override;

    float compensationTarget() const;
    static float trimTarget(const GainPairParameters::Values& values);
    void takeSmootherRequests();
    bool takeBlock(const GainLinkBlock& block);
    void takeCurrentBlockAtOnce(const GainLinkBlock* block);
    void moveToPendingLinkId();
    void heartbeat();
    void reopen();
    void applyGainAndMeasure(juce::AudioBuffer<float>& buffer, int numChannels, int numSamples);

    Smoother compensationSmoother;
    Smoother trimSmoother;
    GainPairSmoother::GainCache steadyGain;
    // Values the timer or a restore sets the smoothers to at once; the next block takes them, so the
    // smoothers stay the audio thread's own.
    GainPairRequest compensationRequest;
    GainPairRequest trimRequest;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(UndrelAudioProcessor)
};
