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

// Role of an instance among the live Ovrel instances of its link ID.
enum class LinkRole : int
{
    Alone = 0,
    Waiting = 1,
    Slave = 2,
    Master = 3
};

class OvrelAudioProcessor : public OrzAudioProcessor, public juce::Timer
{
public:
    using Smoother = GainPairSmoother;

    static constexpr float minGainDb = GainPairParameters::ovrelTable[0].minimum;
    static constexpr float maxGainDb = GainPairParameters::ovrelTable[0].maximum;
    static constexpr double rampSeconds = 0.15;
    static constexpr int defaultRampSteps = 6615; // 0.15 s at 44100 Hz, until prepareToPlay
    static constexpr int timerIntervalMs = 100;
    static constexpr int countEveryTicks = 5;
    static constexpr int heartbeatTicks = 20;
    static constexpr int settleTicksBeforeFollowing = 5;
    static constexpr float followToleranceDb = 0.05f;

    // The environment says where lock files and link blocks live; hosts use the standard one.
    explicit OvrelAudioProcessor(GainLinkEnvironment environment = GainLinkEnvironment::standard());
    ~OvrelAudioProcessor() override;

    const juce::String getName() const override;
    void prepareToPlay(double sampleRate, int maximumExpectedSamplesPerBlock) override;
    void processBlock(juce::AudioBuffer<float>&, juce::MidiBuffer&) override;
    using juce::AudioProcessor::processBlock;
    double getTailLengthSeconds() const override;
    juce::AudioProcessorEditor* createEditor() override;
    void getStateInformation(juce::MemoryBlock& destData) override;
    void setStateInformation(const void* data, int sizeInBytes) override;
    bool isBusesLayoutSupported(const BusesLayout& layouts) const override;
    // The host's own bypass switch is Ovrel's "bypass", so Undrel hears of it.
    juce::AudioProcessorParameter* getBypassParameter() const override;

    void timerCallback() override;

    // Chooses instanceLetter for the current link ID and rewrites the own lock file.
    void assignInstanceLetter();

    static juce::AudioProcessorValueTreeState::ParameterLayout createParameterLayout();
    static float linearGain(float db);
    // A gain another instance published: taken only when it is one Ovrel could have set.
    static bool isGainInRange(float db);

    // The own lock file of a link ID, named by the token.
    juce::File getOwnLockFile(int linkId) const;

    juce::AudioProcessorValueTreeState apvts;
    // Typed references to the three parameters, made from the table that made the tree.
    GainPairParameters params;
    // The tree's raw values of "gain", "linkID" and "bypass".
    std::atomic<float>* const gainParam;
    std::atomic<float>* const linkIdParam;
    std::atomic<float>* const bypassParam;
    GainLinkSharedMemory gainLink;
    // The lock file and the link-ID requests; its link IDs are reachable under their own names.
    GainLinkSession session;
    std::atomic<int>& currentLinkId = session.currentLinkId;
    std::atomic<int>& pendingLinkId = session.pendingLinkId;

    GainPairReading inputPeakDb{GainPairLevels::initialDb};
    GainPairReading inputRmsDb{GainPairLevels::initialDb};
    std::atomic<float> shownGain{0.0f};
    std::atomic<int> linkRole{static_cast<int>(LinkRole::Alone)};
    std::atomic<char> instanceLetter{0};
    std::atomic<bool> multiInstance{false};
    std::atomic<int> activeInstanceCount{0};
    std::atomic<bool> requestMaster{false};

    // Width, scale, language, tooltips and meter hold, saved with the state.
    GainPairEditorSettings editorSettings;

private:
    struct GainAndBypass
    {
        float gain = 0.0f;
        bool bypass = false;
    };

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
    GainLinkAudioClock audioClock;
    // The link ID the constructor chose, told to the host once it listens.
    GainPairOwnChanges ownChanges;
    float rmsSum = 0.0f;
    int rmsCount = 0;
    int tickCount = 0;
    int settleTicks = 0;
    GainPairState savedState{apvts, editorSettings};

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(OvrelAudioProcessor)
};
