#pragma once

#include "base/OrzAudioProcessor.h"
#include "gainpair/common/GainLinkAudioClock.h"
#include "gainpair/common/GainLinkLockFiles.h"
#include "gainpair/common/GainLinkSession.h"
#include "gainpair/common/GainLinkSharedMemory.h"
#include "gainpair/common/GainPairLevels.h"
#include "gainpair/common/GainPairOwnChanges.h"
#include "gainpair/common/GainPairParameters.h"
#include "gainpair/common/GainPairRequest.h"
#include "gainpair/common/GainPairSmoother.h"
#include "gainpair/common/GainPairState.h"

#include <juce_audio_processors/juce_audio_processors.h>

#include <atomic>
#include <limits>

class UndrelAudioProcessor : public OrzAudioProcessor, public juce::Timer
{
public:
    using Smoother = GainPairSmoother;

    static constexpr double rampSeconds = 0.15;
    static constexpr int defaultRampSteps = 6615; // 0.15 s at 44100 Hz, until prepareToPlay
    static constexpr int timerIntervalMs = 2000;
    static constexpr int maxGainChannels = 8;

    // The environment says where lock files and link blocks live; hosts use the standard one.
    explicit UndrelAudioProcessor(GainLinkEnvironment environment = GainLinkEnvironment::standard());
    ~UndrelAudioProcessor() override;

    const juce::String getName() const override;
    void prepareToPlay(double sampleRate, int maximumExpectedSamplesPerBlock) override;
    void processBlock(juce::AudioBuffer<float>&, juce::MidiBuffer&) override;
    using juce::AudioProcessor::processBlock;
    double getTailLengthSeconds() const override;
    juce::AudioProcessorEditor* createEditor() override;
    void getStateInformation(juce::MemoryBlock& destData) override;
    void setStateInformation(const void* data, int sizeInBytes) override;
    bool isBusesLayoutSupported(const BusesLayout& layouts) const override;
    // The host's own bypass switch is Undrel's "bypass": it removes the trim and keeps the compensation.
    juce::AudioProcessorParameter* getBypassParameter() const override;

    void timerCallback() override;

    static juce::AudioProcessorValueTreeState::ParameterLayout createParameterLayout();
    static float linearGain(float db);

    // The own lock file of a link ID, named by the token.
    juce::File getOwnLockFile(int linkId) const;

    juce::AudioProcessorValueTreeState apvts;
    // Typed references to the three parameters, made from the table that made the tree.
    GainPairParameters params;
    // The tree's raw values of "trim", "linkID" and "bypass".
    std::atomic<float>* const trimParam;
    std::atomic<float>* const linkIdParam;
    std::atomic<float>* const bypassParam;
    // Opened only as reader: Undrel never creates, sizes or removes a link object.
    GainLinkSharedMemory gainLink;
    // The lock file and the link-ID requests; its link IDs are reachable under their own names.
    GainLinkSession session;
    std::atomic<int>& currentLinkId = session.currentLinkId;
    std::atomic<int>& pendingLinkId = session.pendingLinkId;

    // Ovrel's gain and bypass as last taken from a current block.
    std::atomic<float> receivedGainDb{0.0f};
    // Compensation target plus trim target of the last audio block.
    std::atomic<float> appliedGainDb{0.0f};
    std::atomic<bool> receivedBypass{false};

    GainPairReading outputPeakDb{GainPairLevels::initialDb};
    GainPairReading outputRmsDb{GainPairLevels::initialDb};

    // Width, scale, language, tooltips and meter hold, saved with the state.
    GainPairEditorSettings editorSettings;

private:
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
    GainLinkAudioClock audioClock;
    // The link ID the constructor chose, told to the host once it listens.
    GainPairOwnChanges ownChanges;
    float rmsSum = 0.0f;
    int rmsCount = 0;
    GainPairState savedState{apvts, editorSettings};

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(UndrelAudioProcessor)
};
