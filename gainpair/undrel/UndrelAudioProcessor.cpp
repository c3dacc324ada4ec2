#include "gainpair/undrel/UndrelAudioProcessor.h"

#include "gainpair/common/GainPairParameters.h"

UndrelAudioProcessor::UndrelAudioProcessor()
    : juce::AudioProcessor(BusesProperties()
                               .withInput("Input", juce::AudioChannelSet::stereo(), true)
                               .withOutput("Output", juce::AudioChannelSet::stereo(), true)),
      apvts(*this, nullptr, "PARAMETERS", createParameterLayout())
{
}

UndrelAudioProcessor::~UndrelAudioProcessor() = default;

juce::AudioProcessorValueTreeState::ParameterLayout UndrelAudioProcessor::createParameterLayout()
{
    juce::AudioProcessorValueTreeState::ParameterLayout layout;
    layout.add(GainPairParameters::makeDbParameter("trim", "Trim", -12.0f, 12.0f, 0.1f));
    layout.add(GainPairParameters::makeLinkIdParameter());
    layout.add(GainPairParameters::makeBypassParameter());
    return layout;
}

const juce::String UndrelAudioProcessor::getName() const
{
    return "Undrel";
}

void UndrelAudioProcessor::prepareToPlay(double, int) {}

void UndrelAudioProcessor::releaseResources() {}

void UndrelAudioProcessor::processBlock(juce::AudioBuffer<float>&, juce::MidiBuffer&)
{
    juce::ScopedNoDenormals noDenormals;
}

double UndrelAudioProcessor::getTailLengthSeconds() const
{
    return 0.15;
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

bool UndrelAudioProcessor::isBusesLayoutSupported(const BusesLayout& layouts) const
{
    const auto out = layouts.getMainOutputChannelSet();
    return out == juce::AudioChannelSet::mono() || out == juce::AudioChannelSet::stereo();
}

juce::AudioProcessor* JUCE_CALLTYPE createPluginFilter()
{
    return new UndrelAudioProcessor();
}
