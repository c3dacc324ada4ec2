#include "gainpair/undrel/UndrelAudioProcessor.h"
#include "gainpair/undrel/UndrelAudioProcessorEditor.h"

#include "gainpair/common/GainPairLevels.h"
#include "gainpair/common/GainPairParameters.h"

#include <cmath>

namespace
{
// The wall clock is read only while a writer says it keeps the block current.
bool isCurrentNow(const GainLinkBlock& block)
{
    return block.writerActive.load(std::memory_order_acquire) == 1 && block.isCurrent(GainLinkBlock::wallClockMs());
}
} // namespace

UndrelAudioProcessor::UndrelAudioProcessor(GainLinkEnvironment environment)
    : GainPairAudioProcessor(environment, GainPairParameters::undrelTable, GainLinkSharedMemory::Holder::undrel,
                             GainLinkLockFiles::Owner::undrel)
{
    const int linkId = session.getLockFiles().chooseUndrelLinkId();
    setChosenLinkId(linkId);
    session.join(linkId, GainLinkLockFiles::undrelText(GainLinkBlock::wallClockMs()));

    if (gainLink.initAsReader(linkId) && isCurrentNow(*gainLink.getBlock()))
        takeBlock(*gainLink.getBlock());

    // The trim is not read here: the first block ramps to it.
    trimSmoother.reset(defaultRampSteps);
    trimSmoother.setCurrentAndTargetValue(0.0f);
    compensationSmoother.reset(defaultRampSteps);
    compensationSmoother.setCurrentAndTargetValue(compensationTarget());

    startTimer(timerIntervalMs);
}

// Nothing is written into the block: Ovrel's editor keeps showing the last compensation. The
// session deletes the own lock file.
UndrelAudioProcessor::~UndrelAudioProcessor()
{
    stopTimer();
}

float UndrelAudioProcessor::compensationTarget() const
{
    return receivedBypass.load() ? 0.0f : -receivedGainDb.load();
}

// Undrel's bypass removes only the trim; the compensation stays in force.
float UndrelAudioProcessor::trimTarget(const GainPairParameters::Values& values)
{
    return values.bypass ? 0.0f : values.decibels;
}

const juce::String UndrelAudioProcessor::getName() const
{
    return "Undrel";
}

void UndrelAudioProcessor::prepareSmoothers(double sampleRate)
{
    trimSmoother.reset(sampleRate, rampSeconds);
    trimSmoother.setCurrentAndTargetValue(trimTarget(params.current()));
    compensationSmoother.reset(sampleRate, rampSeconds);
    compensationSmoother.setCurrentAndTargetValue(compensationTarget());
    compensationRequest.clear();
    trimRequest.clear();
}

void UndrelAudioProcessor::processGain(juce::AudioBuffer<float>& buffer, int numChannels,
                                       const GainPairParameters::Values& values)
{
    takeSmootherRequests();

    // A missing or stale block leaves the last received values, and so the compensation, in force.
    const GainLinkSharedMemory::AudioAccess access(gainLink);
    auto* block = access.block();
    if (block != nullptr && audioClock.isCurrent(*block))
        takeBlock(*block);

    const float compensation = compensationTarget();
    const float trim = trimTarget(values);
    compensationSmoother.setTargetValue(compensation);
    trimSmoother.setTargetValue(trim);
    applyGainAndMeasure(buffer, numChannels, buffer.getNumSamples());

    appliedGainDb.store(compensation + trim, std::memory_order_relaxed);
    if (block != nullptr)
        block->compensationDb.store(compensation + trim, std::memory_order_release);
}

void UndrelAudioProcessor::takeSmootherRequests()
{
    if (float v = 0.0f; compensationRequest.take(v))
        compensationSmoother.setCurrentAndTargetValue(v);
    if (float v = 0.0f; trimRequest.take(v))
        trimSmoother.setCurrentAndTargetValue(v);
}

bool UndrelAudioProcessor::takeBlock(const GainLinkBlock& block)
{
    const float gain = block.gainDb.load(std::memory_order_acquire);
    const bool bypass = block.bypass.load(std::memory_order_acquire) != 0;
    if (!GainPairParameters::isOvrelGain(gain))
        return false;

    // Readings for the editor: each stands alone, so no ordering is needed.
    receivedGainDb.store(gain, std::memory_order_relaxed);
    receivedBypass.store(bypass, std::memory_order_relaxed);
    return true;
}

// After a move or a reopen the compensation jumps to the new Ovrel's value instead of ramping there.
void UndrelAudioProcessor::takeCurrentBlockAtOnce(const GainLinkBlock* block)
{
    if (block != nullptr && isCurrentNow(*block) && takeBlock(*block))
        compensationRequest.post(compensationTarget());
}

// Only the first 8 channels are scaled; the output of every input channel is measured, in the same
// pass as a steady gain.
void UndrelAudioProcessor::applyGainAndMeasure(juce::AudioBuffer<float>& buffer, int numChannels, int numSamples)
{
    const int gainChannels = std::min(numChannels, maxGainChannels);
    GainPairLevels::BlockSums sums;
    if (!compensationSmoother.isSmoothing() && !trimSmoother.isSmoothing())
    {
        const float g = steadyGain(compensationSmoother.getCurrentValue() + trimSmoother.getCurrentValue());
        GainPairLevels::scaleAndAccumulate(buffer.getArrayOfWritePointers(), gainChannels, numSamples, g, true, sums);
        if (numChannels > gainChannels)
            GainPairLevels::accumulate(buffer.getArrayOfReadPointers() + gainChannels, numChannels - gainChannels,
                                       numSamples, sums);
    }
    else
    {
        // Both smoothers advance once per sample, with or without channels to scale.
        GainPairSmoother::applyGains(compensationSmoother, &trimSmoother, buffer.getArrayOfWritePointers(),
                                     gainChannels, numSamples);
        GainPairLevels::accumulate(buffer.getArrayOfReadPointers(), numChannels, numSamples, sums);
    }
    publishLevels(sums, numChannels * numSamples);
}

juce::AudioProcessorEditor* UndrelAudioProcessor::createEditor()
{
    return new UndrelAudioProcessorEditor(*this, apvts);
}

// The mapping is reached as the audio thread would, through a scoped access.
void UndrelAudioProcessor::stateRestored(const GainPairParameters::Values& restored)
{
    trimRequest.post(trimTarget(restored));

    const GainLinkSharedMemory::ScopedAccess access(gainLink);
    takeCurrentBlockAtOnce(access.block());
}

// Only the output is examined: the input may be wider, and only its first channels are scaled.
bool UndrelAudioProcessor::isBusesLayoutSupported(const BusesLayout& layouts) const
{
    const auto out = layouts.getMainOutputChannelSet();
    return out == juce::AudioChannelSet::mono() || out == juce::AudioChannelSet::stereo();
}

void UndrelAudioProcessor::timerCallback()
{
    moveToPendingLinkId();
    ownChanges.tellHost();
    heartbeat();
    gainLink.keepPresence();
    reopen();
    gainLink.releaseRetiredMappings();
}

void UndrelAudioProcessor::moveToPendingLinkId()
{
    const int target = session.takeRequestedLinkId();
    if (target == -1)
        return;

    session.moveLockFile(target, GainLinkLockFiles::undrelText(GainLinkBlock::wallClockMs()));
    if (target != gainLink.getMappedLinkId())
        gainLink.initAsReader(target);
    session.setCurrentLinkId(target);
    takeCurrentBlockAtOnce(gainLink.getBlock());
}

void UndrelAudioProcessor::heartbeat()
{
    session.heartbeat(GainLinkLockFiles::undrelText(GainLinkBlock::wallClockMs()));
}

// A closed handle is retried on every tick. A mapped one is kept, unless its Ovrel has gone and the
// name now belongs to a newer object, which this Undrel would otherwise never see.
void UndrelAudioProcessor::reopen()
{
    const auto* block = gainLink.getBlock();
    const bool retry = block == nullptr || (!isCurrentNow(*block) && gainLink.nameRefersToAnotherObject());
    if (retry && gainLink.initAsReader(currentLinkId.load()))
        takeCurrentBlockAtOnce(gainLink.getBlock());
}

juce::AudioProcessor* JUCE_CALLTYPE createPluginFilter()
{
    return new UndrelAudioProcessor();
}
