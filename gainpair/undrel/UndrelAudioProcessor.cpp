#include "gainpair/undrel/UndrelAudioProcessor.h"

#include "gainpair/common/GainPairParameters.h"

#include <cmath>

UndrelAudioProcessor::UndrelAudioProcessor()
    : juce::AudioProcessor(BusesProperties()
                               .withInput("Input", juce::AudioChannelSet::stereo(), true)
                               .withOutput("Output", juce::AudioChannelSet::stereo(), true)),
      apvts(*this, nullptr, "PARAMETERS", createParameterLayout())
{
    trimParam = apvts.getRawParameterValue("trim");
    linkIdParam = apvts.getRawParameterValue("linkID");
    bypassParam = apvts.getRawParameterValue("bypass");

    // The trim is not read here: the first block ramps to it.
    trimSmoother.reset(defaultRampSteps);
    trimSmoother.setCurrentAndTargetValue(0.0f);
    compensationSmoother.reset(defaultRampSteps);
    compensationSmoother.setCurrentAndTargetValue(compensationTarget());

    startTimer(timerIntervalMs);
}

UndrelAudioProcessor::~UndrelAudioProcessor()
{
    stopTimer();
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

void UndrelAudioProcessor::releaseResources() {}

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

    const float compensation = compensationTarget();
    const float trim = trimTarget();
    compensationSmoother.setTargetValue(compensation);
    trimSmoother.setTargetValue(trim);
    applyGain(buffer, numIn, numSamples);

    appliedGainDb.store(compensation + trim);

    measureOutput(buffer, numIn, numSamples);
}

void UndrelAudioProcessor::takeSmootherRequests()
{
    constexpr float none = std::numeric_limits<float>::quiet_NaN();
    if (const float v = compensationRequest.exchange(none); !std::isnan(v))
        compensationSmoother.setCurrentAndTargetValue(v);
    if (const float v = trimRequest.exchange(none); !std::isnan(v))
        trimSmoother.setCurrentAndTargetValue(v);
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

void UndrelAudioProcessor::measureOutput(const juce::AudioBuffer<float>& buffer, int numChannels, int numSamples)
{
    float peak = 0.0f;
    for (int ch = 0; ch < numChannels; ++ch)
    {
        const float* data = buffer.getReadPointer(ch);
        for (int i = 0; i < numSamples; ++i)
        {
            peak = std::max(peak, std::abs(data[i]));
            rmsSum += data[i] * data[i];
        }
    }
    outputPeakDb.store(peak > 0.0f ? std::max(20.0f * std::log10(peak), readingFloorDb) : readingFloorDb);

    rmsCount += numChannels * numSamples;
    if (rmsCount >= rmsWindowSamples)
    {
        const float mean = rmsSum / static_cast<float>(rmsCount);
        outputRmsDb.store(mean > 0.0f ? std::max(20.0f * std::log10(std::sqrt(mean)), readingFloorDb) : readingFloorDb);
        rmsSum = 0.0f;
        rmsCount = 0;
    }
}

double UndrelAudioProcessor::getTailLengthSeconds() const
{
    return rampSeconds;
}

bool UndrelAudioProcessor::acceptsMidi() const
{
    return false;
}

bool UndrelAudioProcessor::producesMidi() const
{
    return false;
}

bool UndrelAudioProcessor::isMidiEffect() const
{
    return false;
}

juce::AudioProcessorEditor* UndrelAudioProcessor::createEditor()
{
    return new juce::GenericAudioProcessorEditor(*this);
}

bool UndrelAudioProcessor::hasEditor() const
{
    return true;
}

int UndrelAudioProcessor::getNumPrograms()
{
    return 1;
}

int UndrelAudioProcessor::getCurrentProgram()
{
    return 0;
}

void UndrelAudioProcessor::setCurrentProgram(int) {}

const juce::String UndrelAudioProcessor::getProgramName(int)
{
    return {};
}

void UndrelAudioProcessor::changeProgramName(int, const juce::String&) {}

void UndrelAudioProcessor::getStateInformation(juce::MemoryBlock&) {}

void UndrelAudioProcessor::setStateInformation(const void*, int) {}

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

void UndrelAudioProcessor::timerCallback() {}

juce::AudioProcessor* JUCE_CALLTYPE createPluginFilter()
{
    return new UndrelAudioProcessor();
}
