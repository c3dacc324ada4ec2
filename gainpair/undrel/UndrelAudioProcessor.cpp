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
    : OrzAudioProcessor(BusesProperties()
                            .withInput("Input", juce::AudioChannelSet::stereo(), true)
                            .withOutput("Output", juce::AudioChannelSet::stereo(), true)),
      apvts(*this, nullptr, "PARAMETERS", createParameterLayout()), gainLink(environment), lockFiles(environment)
{
    trimParam = apvts.getRawParameterValue("trim");
    linkIdParam = apvts.getRawParameterValue("linkID");
    bypassParam = apvts.getRawParameterValue("bypass");
    instanceToken = GainLinkLockFiles::makeInstanceToken();

    const int linkId = lockFiles.chooseUndrelLinkId();
    if (auto* param = apvts.getParameter("linkID");
        param != nullptr && juce::roundToInt(param->convertFrom0to1(param->getValue())) != linkId)
        param->setValueNotifyingHost(param->convertTo0to1(static_cast<float>(linkId)));
    currentLinkId.store(linkId);
    GainLinkLockFiles::writeLockFile(getOwnLockFile(linkId),
                                     GainLinkLockFiles::undrelText(GainLinkBlock::wallClockMs()), true);

    if (gainLink.initAsReader(linkId) && isCurrentNow(*gainLink.getBlock()))
        takeBlock(*gainLink.getBlock());

    // The trim is not read here: the first block ramps to it.
    trimSmoother.reset(defaultRampSteps);
    trimSmoother.setCurrentAndTargetValue(0.0f);
    compensationSmoother.reset(defaultRampSteps);
    compensationSmoother.setCurrentAndTargetValue(compensationTarget());

    startTimer(timerIntervalMs);
}

// Nothing is written into the block: Ovrel's editor keeps showing the last compensation.
UndrelAudioProcessor::~UndrelAudioProcessor()
{
    stopTimer();
    GainLinkLockFiles::deleteLockFile(getOwnLockFile(currentLinkId.load()));
}

juce::AudioProcessorValueTreeState::ParameterLayout UndrelAudioProcessor::createParameterLayout()
{
    juce::AudioProcessorValueTreeState::ParameterLayout layout;
    layout.add(GainPairParameters::makeDbParameter("trim", "Trim", -12.0f, 12.0f, 0.1f));
    layout.add(GainPairParameters::makeLinkIdParameter());
    layout.add(GainPairParameters::makeBypassParameter());
    return layout;
}

float UndrelAudioProcessor::linearGain(float db)
{
    return db > -100.0f ? std::pow(10.0f, db * 0.05f) : 0.0f;
}

juce::File UndrelAudioProcessor::getOwnLockFile(int linkId) const
{
    return lockFiles.getLockFile(linkId, GainLinkLockFiles::Owner::undrel, instanceToken);
}

float UndrelAudioProcessor::readTrim() const
{
    return trimParam != nullptr ? trimParam->load() : 0.0f;
}

bool UndrelAudioProcessor::readBypass() const
{
    return bypassParam != nullptr && bypassParam->load() > 0.5f;
}

int UndrelAudioProcessor::readLinkId() const
{
    return linkIdParam != nullptr ? static_cast<int>(linkIdParam->load()) : 1;
}

float UndrelAudioProcessor::compensationTarget() const
{
    return receivedBypass.load() ? 0.0f : -receivedGainDb.load();
}

// Undrel's bypass removes only the trim; the compensation stays in force.
float UndrelAudioProcessor::trimTarget() const
{
    return readBypass() ? 0.0f : readTrim();
}

const juce::String UndrelAudioProcessor::getName() const
{
    return "Undrel";
}

void UndrelAudioProcessor::prepareToPlay(double sampleRate, int)
{
    trimSmoother.reset(sampleRate, rampSeconds);
    trimSmoother.setCurrentAndTargetValue(trimTarget());
    compensationSmoother.reset(sampleRate, rampSeconds);
    compensationSmoother.setCurrentAndTargetValue(compensationTarget());
    compensationRequest.store(std::numeric_limits<float>::quiet_NaN());
    trimRequest.store(std::numeric_limits<float>::quiet_NaN());
}

void UndrelAudioProcessor::processBlock(juce::AudioBuffer<float>& buffer, juce::MidiBuffer&)
{
    juce::ScopedNoDenormals noDenormals;

    const int numIn = getTotalNumInputChannels();
    const int numOut = getTotalNumOutputChannels();
    const int numSamples = buffer.getNumSamples();
    for (int ch = numIn; ch < numOut; ++ch)
        buffer.clear(ch, 0, numSamples);

    const int linkId = readLinkId();
    if (linkId != currentLinkId.load())
        pendingLinkId.store(linkId);

    takeSmootherRequests();

    // A missing or stale block leaves the last received values, and so the compensation, in force.
    const GainLinkSharedMemory::ScopedAccess access(gainLink);
    auto* block = access.block();
    if (block != nullptr && isCurrentNow(*block))
        takeBlock(*block);

    const float compensation = compensationTarget();
    const float trim = trimTarget();
    compensationSmoother.setTargetValue(compensation);
    trimSmoother.setTargetValue(trim);
    applyGain(buffer, numIn, numSamples);

    appliedGainDb.store(compensation + trim);
    if (block != nullptr)
        block->compensationDb.store(compensation + trim, std::memory_order_release);

    GainPairLevels::measure(buffer, numIn, numSamples, rmsSum, rmsCount, outputPeakDb, outputRmsDb);
}

void UndrelAudioProcessor::takeSmootherRequests()
{
    constexpr float none = std::numeric_limits<float>::quiet_NaN();
    if (const float v = compensationRequest.exchange(none); !std::isnan(v))
        compensationSmoother.setCurrentAndTargetValue(v);
    if (const float v = trimRequest.exchange(none); !std::isnan(v))
        trimSmoother.setCurrentAndTargetValue(v);
}

bool UndrelAudioProcessor::takeBlock(const GainLinkBlock& block)
{
    const float gain = block.gainDb.load(std::memory_order_acquire);
    const bool bypass = block.bypass.load(std::memory_order_acquire) != 0;
    if (!GainPairParameters::isOvrelGain(gain))
        return false;

    receivedGainDb.store(gain);
    receivedBypass.store(bypass);
    return true;
}

// After a move or a reopen the compensation jumps to the new Ovrel's value instead of ramping there.
void UndrelAudioProcessor::takeCurrentBlockAtOnce(const GainLinkBlock* block)
{
    if (block != nullptr && isCurrentNow(*block) && takeBlock(*block))
        compensationRequest.store(compensationTarget());
}

void UndrelAudioProcessor::applyGain(juce::AudioBuffer<float>& buffer, int numChannels, int numSamples)
{
    float* channels[maxGainChannels] = {};
    const int gainChannels = std::min(numChannels, maxGainChannels);
    for (int ch = 0; ch < gainChannels; ++ch)
        channels[ch] = buffer.getWritePointer(ch);

    // Both smoothers advance once per sample, with or without channels to scale.
    for (int i = 0; i < numSamples; ++i)
    {
        const float c = compensationSmoother.getNextValue();
        const float t = trimSmoother.getNextValue();
        const float g = linearGain(c + t);
        for (int ch = 0; ch < gainChannels; ++ch)
            channels[ch][i] *= g;
    }
}

double UndrelAudioProcessor::getTailLengthSeconds() const
{
    return rampSeconds;
}

juce::AudioProcessorEditor* UndrelAudioProcessor::createEditor()
{
    return new UndrelAudioProcessorEditor(*this, apvts);
}

void UndrelAudioProcessor::getStateInformation(juce::MemoryBlock& destData)
{
    savedState.save(destData);
}

// A restore may come on any host thread: the smoothers and the mapping are reached as the audio
// thread would, through requests and a scoped access.
void UndrelAudioProcessor::setStateInformation(const void* data, int sizeInBytes)
{
    if (!savedState.restore(data, sizeInBytes))
        return;

    const int linkId = readLinkId();
    if (linkId != currentLinkId.load())
        pendingLinkId.store(linkId);
    trimRequest.store(trimTarget());

    const GainLinkSharedMemory::ScopedAccess access(gainLink);
    takeCurrentBlockAtOnce(access.block());
}

// Only the output is examined: the input may be wider, and only its first channels are scaled.
bool UndrelAudioProcessor::isBusesLayoutSupported(const BusesLayout& layouts) const
{
    const auto out = layouts.getMainOutputChannelSet();
    return out == juce::AudioChannelSet::mono() || out == juce::AudioChannelSet::stereo();
}

juce::AudioProcessorParameter* UndrelAudioProcessor::getBypassParameter() const
{
    return apvts.getParameter("bypass");
}

void UndrelAudioProcessor::timerCallback()
{
    moveToPendingLinkId();
    heartbeat();
    reopen();
}

void UndrelAudioProcessor::moveToPendingLinkId()
{
    const int target = pendingLinkId.load();
    const int current = currentLinkId.load();
    if (target == -1 || target == current)
        return;

    pendingLinkId.store(-1);
    GainLinkLockFiles::deleteLockFile(getOwnLockFile(current));
    GainLinkLockFiles::writeLockFile(getOwnLockFile(target),
                                     GainLinkLockFiles::undrelText(GainLinkBlock::wallClockMs()), true);
    if (target != gainLink.getMappedLinkId())
        gainLink.initAsReader(target);
    currentLinkId.store(target);
    takeCurrentBlockAtOnce(gainLink.getBlock());
}

void UndrelAudioProcessor::heartbeat()
{
    GainLinkLockFiles::writeLockFile(getOwnLockFile(currentLinkId.load()),
                                     GainLinkLockFiles::undrelText(GainLinkBlock::wallClockMs()), false);
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
