#include "base/OrzAudioProcessor.h"

void OrzAudioProcessor::releaseResources() {}

bool OrzAudioProcessor::acceptsMidi() const
{
    return false;
}

bool OrzAudioProcessor::producesMidi() const
{
    return false;
}

bool OrzAudioProcessor::isMidiEffect() const
{
    return false;
}

juce::AudioProcessorEditor* OrzAudioProcessor::createEditor()
{
    return new juce::GenericAudioProcessorEditor(*this);
}

bool OrzAudioProcessor::hasEditor() const
{
    return true;
}

int OrzAudioProcessor::getNumPrograms()
{
    return 1;
}

int OrzAudioProcessor::getCurrentProgram()
{
    return 0;
}

void OrzAudioProcessor::setCurrentProgram(int) {}

const juce::String OrzAudioProcessor::getProgramName(int)
{
    return programName;
}

void OrzAudioProcessor::changeProgramName(int, const juce::String&) {}
