#include "gainpair/ovrel/OvrelAudioProcessor.h"

#include "gainpair/common/GainPairParameters.h"

#include <cmath>

OvrelAudioProcessor::OvrelAudioProcessor()
    : juce::AudioProcessor(BusesProperties()
                               .withInput("Input", juce::AudioChannelSet::stereo(), true)
                               .withOutput("Output", juce::AudioChannelSet::stereo(), true)),
      apvts(*this, nullptr, "PARAMETERS", createParameterLayout())
{
    gainParam = apvts.getRawParameterValue("gain");
    linkIdParam = apvts.getRawParameterValue("linkID");
    bypassParam = apvts.getRawParameterValue("bypass");

    const auto [gain, bypass] = readGainAndBypass();
    shownGain.store(gain);
    gainSmoother.reset(defaultRampSteps);
    gainSmoother.setCurrentAndTargetValue(bypass ? 0.0f : gain);

    linkRole.store(static_cast<int>(LinkRole::Alone));
    startTimer(timerIntervalMs);
}

OvrelAudioProcessor::~OvrelAudioProcessor()
{
    stopTimer();
}

juce::AudioProcessorValueTreeState::ParameterLayout OvrelAudioProcessor::createParameterLayout()
{
    juce::AudioProcessorValueTreeState::ParameterLayout layout;
    layout.add(GainPairParameters::makeDbParameter("gain", "Gain", -48.0f, 48.0f, 0.01f));
    layout.add(GainPairParameters::makeLinkIdParameter());
    layout.add(GainPairParameters::makeBypassParameter());
    return layout;
}

float OvrelAudioProcessor::linearGain(float db)
{
    return db > -100.0f ? std::pow(10.0f, db * 0.05f) : 0.0f;
}

OvrelAudioProcessor::GainAndBypass OvrelAudioProcessor::readGainAndBypass() const
{
    GainAndBypass v;
    if (gainParam != nullptr)
        v.gain = gainParam->load();
    if (bypassParam != nullptr)
        v.bypass = bypassParam->load() > 0.5f;
    return v;
}

int OvrelAudioProcessor::readLinkId() const
{
    return linkIdParam != nullptr ? static_cast<int>(linkIdParam->load()) : 1;
}

const juce::String OvrelAudioProcessor::getName() const
{
    return "Ovrel";
}

void OvrelAudioProcessor::prepareToPlay(double sampleRate, int)
{
    const auto [gain, bypass] = readGainAndBypass();
    gainSmoother.reset(sampleRate, rampSeconds);
    gainSmoother.setCurrentAndTargetValue(bypass ? 0.0f : gain);
    restoredGainRequest.store(std::numeric_limits<float>::quiet_NaN());
}

void OvrelAudioProcessor::releaseResources() {}

void OvrelAudioProcessor::processBlock(juce::AudioBuffer<float>& buffer, juce::MidiBuffer&)
{
    juce::ScopedNoDenormals noDenormals;

    const int numIn = getTotalNumInputChannels();
    const int numOut = getTotalNumOutputChannels();
    const int numSamples = buffer.getNumSamples();
    for (int ch = numIn; ch < numOut; ++ch)
        buffer.clear(ch, 0, numSamples);

    measureInput(buffer, numIn, numSamples);

    const int linkId = readLinkId();
    if (linkId != currentLinkId.load())
        pendingLinkId.store(linkId);

    const auto [gain, bypass] = readGainAndBypass();
    shownGain.store(gain);

    const float restored = restoredGainRequest.exchange(std::numeric_limits<float>::quiet_NaN());
    if (!std::isnan(restored))
        gainSmoother.setCurrentAndTargetValue(restored);
    gainSmoother.setTargetValue(bypass ? 0.0f : gain);
    applyGain(buffer, numIn, numSamples);
}

void OvrelAudioProcessor::measureInput(const juce::AudioBuffer<float>& buffer, int numChannels, int numSamples)
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
    inputPeakDb.store(peak > 0.0f ? std::max(20.0f * std::log10(peak), readingFloorDb) : readingFloorDb);

    rmsCount += numChannels * numSamples;
    if (rmsCount >= rmsWindowSamples)
    {
        const float mean = rmsSum / static_cast<float>(rmsCount);
        inputRmsDb.store(mean > 0.0f ? std::max(20.0f * std::log10(std::sqrt(mean)), readingFloorDb) : readingFloorDb);
        rmsSum = 0.0f;
        rmsCount = 0;
    }
}

void OvrelAudioProcessor::applyGain(juce::AudioBuffer<float>& buffer, int numChannels, int numSamples)
{
    if (!gainSmoother.isSmoothing())
    {
        const float g = linearGain(gainSmoother.getCurrentValue());
        for (int ch = 0; ch < numChannels; ++ch)
            juce::FloatVectorOperations::multiply(buffer.getWritePointer(ch), g, numSamples);
        return;
    }

    constexpr int maxRampChannels = 8;
    float* channels[maxRampChannels] = {};
    const int rampChannels = std::min(numChannels, maxRampChannels);
    for (int ch = 0; ch < rampChannels; ++ch)
        channels[ch] = buffer.getWritePointer(ch);
    for (int i = 0; i < numSamples; ++i)
    {
        const float g = linearGain(gainSmoother.getNextValue());
        for (int ch = 0; ch < rampChannels; ++ch)
            channels[ch][i] *= g;
    }
}

double OvrelAudioProcessor::getTailLengthSeconds() const
{
    return rampSeconds;
}

bool OvrelAudioProcessor::acceptsMidi() const
{
    return false;
}

bool OvrelAudioProcessor::producesMidi() const
{
    return false;
}

bool OvrelAudioProcessor::isMidiEffect() const
{
    return false;
}

juce::AudioProcessorEditor* OvrelAudioProcessor::createEditor()
{
    return new juce::GenericAudioProcessorEditor(*this);
}

bool OvrelAudioProcessor::hasEditor() const
{
    return true;
}

int OvrelAudioProcessor::getNumPrograms()
{
    return 1;
}

int OvrelAudioProcessor::getCurrentProgram()
{
    return 0;
}

void OvrelAudioProcessor::setCurrentProgram(int) {}

const juce::String OvrelAudioProcessor::getProgramName(int)
{
    return {};
}

void OvrelAudioProcessor::changeProgramName(int, const juce::String&) {}

void OvrelAudioProcessor::getStateInformation(juce::MemoryBlock& destData)
{
    savedState.save(destData);
}

void OvrelAudioProcessor::setStateInformation(const void* data, int sizeInBytes)
{
    if (!savedState.restore(data, sizeInBytes))
        return;

    // The smoother belongs to the audio thread: the next block takes the restored value, without a ramp.
    const auto [gain, bypass] = readGainAndBypass();
    restoredGainRequest.store(bypass ? 0.0f : gain);
    shownGain.store(gain);
    const int linkId = readLinkId();
    if (linkId != currentLinkId.load())
        pendingLinkId.store(linkId);
}

bool OvrelAudioProcessor::isBusesLayoutSupported(const BusesLayout& layouts) const
{
    const auto out = layouts.getMainOutputChannelSet();
    const bool monoOrStereo = out == juce::AudioChannelSet::mono() || out == juce::AudioChannelSet::stereo();
    return monoOrStereo && layouts.getMainInputChannelSet() == out;
}

juce::AudioProcessorParameter* OvrelAudioProcessor::getBypassParameter() const
{
    return apvts.getParameter("bypass");
}

void OvrelAudioProcessor::timerCallback() {}

juce::AudioProcessor* JUCE_CALLTYPE createPluginFilter()
{
    return new OvrelAudioProcessor();
}
