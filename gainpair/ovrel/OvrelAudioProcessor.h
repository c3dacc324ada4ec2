#pragma once

#include "gainpair/common/GainPairAudioProcessor.h"
#include "gainpair/common/GainPairRequest.h"

#include <juce_audio_processors/juce_audio_processors.h>

#include <atomic>

// Role of an instance among the live Ovrel instances of its link ID.
enum class LinkRole : int
{
    Alone = 0,
    Waiting = 1,
    Slave = 2,
    Master = 3
};

class OvrelAudioProcessor final : public GainPairAudioProcessor
{
public:
    static constexpr float minGainDb = GainPairParameters::ovrelTable[0].minimum;
    static constexpr float maxGainDb = GainPairParameters::ovrelTable[0].maximum;
    static constexpr int timerIntervalMs = 100;
    static constexpr int countEveryTicks = 5;
    static constexpr int heartbeatTicks = 20;
    static constexpr int settleTicksBeforeFollowing = 5;
    static constexpr float followToleranceDb = 0.05f;

    // The environment says where lock files and link blocks live; hosts use the standard one.
    explicit OvrelAudioProcessor(GainLinkEnvironment environment = GainLinkEnvironment::standard());
    ~OvrelAudioProcessor() override;

    const juce::String getName() const override;
    juce::AudioProcessorEditor* createEditor() override;
    bool isBusesLayoutSupported(const BusesLayout& layouts) const override;

    void timerCallback() override;

    // Chooses instanceLetter for the current link ID and rewrites the own lock file.
    void assignInstanceLetter();

    // A gain another instance published: taken only when it is one Ovrel could have set.
    static bool isGainInRange(float db);

    // The tree's raw value of "gain".
    std::atomic<float>* const gainParam = &params.decibelsRaw;

    // The input before the gain.
    GainPairReading& inputPeakDb = peakDb;
    GainPairReading& inputRmsDb = rmsDb;
    std::atomic<float> shownGain{0.0f};
    std::atomic<int> linkRole{static_cast<int>(LinkRole::Alone)};
    std::atomic<char> instanceLetter{0};
    std::atomic<bool> multiInstance{false};
    std::atomic<int> activeInstanceCount{0};
    std::atomic<bool> requestMaster{false};

private:
    struct GainAndBypass
    {
        float gain = 0.0f;
        bool bypass = false;
    };

    void prepareSmoothers(double sampleRate) override;
    void processGain(juce::AudioBuffer<float>& buffer, int numChannels,
                     const GainPairParameters::Values& values) override;
    void stateRestored(const GainPairParameters::Values& restored) override;

    // Outside the audio thread: a value that is not finite gives the default.
    GainAndBypass readGainAndBypass() const;
    void applyGainAndMeasure(juce::AudioBuffer<float>& buffer, int numChannels, int numSamples);
    void publishOrShow(float gain, bool bypass);

    void moveToLinkId(int linkId, LinkRole roleBefore);
    LinkRole deriveRole(int liveCount);
    void reopenAsWriterWhenAlone(LinkRole role);
    void followMaster();
    void heartbeat();
    void rejoinNamedObject();
    void resolveLetterClash();

    Smoother gainSmoother;
    GainPairSmoother::GainCache steadyGain;
    // A restore's new smoother value, taken by the next block.
    GainPairRequest restoredGainRequest;
    int tickCount = 0;
    int settleTicks = 0;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(OvrelAudioProcessor)
};
