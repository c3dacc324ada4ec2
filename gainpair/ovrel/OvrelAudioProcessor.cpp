#include "gainpair/ovrel/OvrelAudioProcessor.h"

#include "gainpair/common/GainPairParameters.h"

OvrelAudioProcessor::OvrelAudioProcessor()
    : juce::AudioProcessor(BusesProperties()
                               .withInput("Input", juce::AudioChannelSet::stereo(), true)
                               .withOutput("Output", juce::AudioChannelSet::stereo(), true)),
      apvts(*this, nullptr, "PARAMETERS", createParameterLayout())
{
}

OvrelAudioProcessor::~OvrelAudioProcessor() = default;

juce::AudioProcessorValueTreeState::ParameterLayout OvrelAudioProcessor::createParameterLayout()
{
    juce::AudioProcessorValueTreeState::ParameterLayout layout;
    layout.add(GainPairParameters::makeDbParameter("gain", "Gain", -48.0f, 48.0f, 0.01f));
    layout.add(GainPairParameters::makeLinkIdParameter());
    layout.add(GainPairParameters::makeBypassParameter());
    return layout;
}

const juce::String OvrelAudioProcessor::getName() const
{
    return "Ovrel";
}

void OvrelAudioProcessor::prepareToPlay(double, int) {}

void OvrelAudioProcessor::releaseResources() {}

void OvrelAudioProcessor::processBlock(juce::AudioBuffer<float>&, juce::MidiBuffer&)
{
    juce::ScopedNoDenormals noDenormals;
}

double OvrelAudioProcessor::getTailLengthSeconds() const
{
    return 0.15;
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

void OvrelAudioProcessor::getStateInformation(juce::MemoryBlock&) {}

void OvrelAudioProcessor::setStateInformation(const void*, int) {}

bool OvrelAudioProcessor::isBusesLayoutSupported(const BusesLayout& layouts) const
{
    const auto out = layouts.getMainOutputChannelSet();
    const bool monoOrStereo = out == juce::AudioChannelSet::mono() || out == juce::AudioChannelSet::stereo();
    return monoOrStereo && layouts.getMainInputChannelSet() == out;
}

juce::AudioProcessor* JUCE_CALLTYPE createPluginFilter()
{
    return new OvrelAudioProcessor();
}
