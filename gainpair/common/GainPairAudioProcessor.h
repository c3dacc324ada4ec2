#pragma once

#include "base/OrzAudioProcessor.h"
#include "gainpair/common/GainLinkAudioClock.h"
#include "gainpair/common/GainLinkLockFiles.h"
#include "gainpair/common/GainLinkSession.h"
#include "gainpair/common/GainLinkSharedMemory.h"
#include "gainpair/common/GainPairEditorSettings.h"
#include "gainpair/common/GainPairLevels.h"
#include "gainpair/common/GainPairOwnChanges.h"
#include "gainpair/common/GainPairParameters.h"
#include "gainpair/common/GainPairReading.h"
#include "gainpair/common/GainPairSmoother.h"
#include "gainpair/common/GainPairState.h"

#include <juce_audio_processors/juce_audio_processors.h>

#include <atomic>

// What Ovrel and Undrel are alike in: three parameters read once per block, a handle on the link
// block and a lock file on their link ID, a level meter's readings, the editor's settings and the
// saved state. The frame of a block, of preparing and of a restore is here; each plug-in fills in
// what its gain does, and runs its own link role in its timer.
class GainPairAudioProcessor : public OrzAudioProcessor, public juce::Timer
{
public:
    using Smoother = GainPairSmoother;

    static constexpr double rampSeconds = 0.15;
    static constexpr int defaultRampSteps = 6615; // 0.15 s at 44100 Hz, until prepareToPlay

    void prepareToPlay(double sampleRate, int maximumExpectedSamplesPerBlock) final;
    void processBlock(juce::AudioBuffer<float>&, juce::MidiBuffer&) final;
    using juce::AudioProcessor::processBlock;
    double getTailLengthSeconds() const final;
    void getStateInformation(juce::MemoryBlock& destData) final;
    void setStateInformation(const void* data, int sizeInBytes) final;
    // The host's own bypass switch is the plug-in's "bypass": Ovrel's reaches Undrel through the
    // block, Undrel's removes the trim and keeps the compensation.
    juce::AudioProcessorParameter* getBypassParameter() const final;

    static float linearGain(float db);

    // The own lock file of a link ID, named by the token.
    juce::File getOwnLockFile(int linkId) const;

    juce::AudioProcessorValueTreeState apvts;
    // Typed references to the three parameters, made from the table that made the tree.
    GainPairParameters params;
    // The tree's raw values of "linkID" and "bypass".
    std::atomic<float>* const linkIdParam;
    std::atomic<float>* const bypassParam;
    // Ovrel's handle may write; Undrel's is opened only as reader and never creates, sizes or removes a
    // link object.
    GainLinkSharedMemory gainLink;
    // The lock file and the link-ID requests; its link IDs are reachable under their own names.
    GainLinkSession session;
    std::atomic<int>& currentLinkId = session.currentLinkId;
    std::atomic<int>& pendingLinkId = session.pendingLinkId;

    // The meter's readings: Ovrel's input before its gain, Undrel's output after it.
    GainPairReading peakDb{GainPairLevels::initialDb};
    GainPairReading rmsDb{GainPairLevels::initialDb};

    // Width, scale, language, tooltips and meter hold, saved with the state.
    GainPairEditorSettings editorSettings;

protected:
    // The environment says where lock files and link blocks live; the table, holder and owner say
    // which of the two plug-ins this is.
    GainPairAudioProcessor(GainLinkEnvironment environment, const GainPairParameters::Table& table,
                           GainLinkSharedMemory::Holder holder, GainLinkLockFiles::Owner owner);

    // Constructor: the link ID the plug-in chose goes into its parameter, told to the host once it
    // listens.
    void setChosenLinkId(int linkId);

    // prepareToPlay: the smoothers' ramp length from the rate, and their values at once.
    virtual void prepareSmoothers(double sampleRate) = 0;
    // processBlock, after the surplus outputs are cleared and the link ID is asked for: applies the
    // gain to the first numChannels channels and measures them.
    virtual void processGain(juce::AudioBuffer<float>& buffer, int numChannels,
                             const GainPairParameters::Values& values) = 0;
    // setStateInformation, after a restore that took: what depends on the restored parameters.
    virtual void stateRestored(const GainPairParameters::Values& restored) = 0;

    // Audio thread: the block's sums into the meter's readings.
    void publishLevels(const GainPairLevels::BlockSums& sums, int samplesCounted) noexcept
    {
        GainPairLevels::publish(sums, samplesCounted, rmsSum, rmsCount, peakDb, rmsDb);
    }

    GainLinkAudioClock audioClock;
    GainPairOwnChanges ownChanges;

private:
    float rmsSum = 0.0f;
    int rmsCount = 0;
    GainPairState savedState{apvts, editorSettings};

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(GainPairAudioProcessor)
};
