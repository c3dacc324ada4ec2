#include "gainpair/common/GainPairAudioProcessor.h"

#include "base/OrzNoDenormals.h"

GainPairAudioProcessor::GainPairAudioProcessor(GainLinkEnvironment environment, const GainPairParameters::Table& table,
                                               GainLinkSharedMemory::Holder holder, GainLinkLockFiles::Owner owner)
    : OrzAudioProcessor(BusesProperties()
                            .withInput("Input", juce::AudioChannelSet::stereo(), true)
                            .withOutput("Output", juce::AudioChannelSet::stereo(), true)),
      apvts(*this, nullptr, "PARAMETERS", GainPairParameters::createLayout(table)), params(apvts, table),
      linkIdParam(&params.linkIdRaw), bypassParam(&params.bypassRaw), gainLink(environment, holder),
      session(environment, owner)
{
}

void GainPairAudioProcessor::setChosenLinkId(int linkId)
{
    if (params.linkId.get() != linkId)
        ownChanges.setBeforeHostListens(params.linkId, static_cast<float>(linkId));
}

float GainPairAudioProcessor::linearGain(float db)
{
    return GainPairSmoother::linearGain(db);
}

juce::File GainPairAudioProcessor::getOwnLockFile(int linkId) const
{
    return session.getOwnLockFile(linkId);
}

void GainPairAudioProcessor::prepareToPlay(double sampleRate, int)
{
    prepareSmoothers(sampleRate);
    audioClock.prepare(sampleRate);
    ownChanges.hostPrepared();
}

void GainPairAudioProcessor::processBlock(juce::AudioBuffer<float>& buffer, juce::MidiBuffer&)
{
    const OrzNoDenormals noDenormals;

    const int numIn = getTotalNumInputChannels();
    const int numOut = getTotalNumOutputChannels();
    const int numSamples = buffer.getNumSamples();
    for (int ch = numIn; ch < numOut; ++ch)
        buffer.clear(ch, 0, numSamples);
    audioClock.advance(numSamples);

    const auto values = params.snapshot();
    session.requestLinkId(values.linkId);
    processGain(buffer, numIn, values);
}

double GainPairAudioProcessor::getTailLengthSeconds() const
{
    return rampSeconds;
}

void GainPairAudioProcessor::getStateInformation(juce::MemoryBlock& destData)
{
    savedState.save(destData);
}

// A restore may come on any host thread: what it sets for the audio thread goes through requests.
void GainPairAudioProcessor::setStateInformation(const void* data, int sizeInBytes)
{
    if (!savedState.restore(data, sizeInBytes))
        return;
    ownChanges.hostRestored();

    const auto restored = params.current();
    session.requestLinkId(restored.linkId);
    stateRestored(restored);
}

juce::AudioProcessorParameter* GainPairAudioProcessor::getBypassParameter() const
{
    return &params.bypass;
}
