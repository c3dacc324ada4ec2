#include "bivarro/processor/BivarroAudioProcessor.h"

#include "bivarro/processor/BivarroParameters.h"
#include "bivarro/processor/BivarroSavedState.h"

#include <cmath>

namespace
{
float linearGainFromDb(float dB)
{
    return dB > -100.0f ? std::pow(10.0f, dB * 0.05f) : 0.0f;
}

void setRampAndSnap(BivarroAudioProcessor::Smoother& s, double sampleRate, double seconds, float value)
{
    s.reset(static_cast<int>(std::floor(sampleRate * seconds)));
    s.setCurrentAndTargetValue(value);
}

float signedGain(float dB, float polaritySwitch)
{
    const auto g = linearGainFromDb(dB);
    return polaritySwitch > 0.5f ? -g : g;
}
} // namespace

BivarroAudioProcessor::BivarroAudioProcessor()
    : juce::AudioProcessor(BusesProperties()
                               .withInput("Input", juce::AudioChannelSet::stereo(), true)
                               .withOutput("Output", juce::AudioChannelSet::stereo(), true)),
      apvts(*this, nullptr, "Parameters", createParameterLayout())
{
    auto raw = [this](const char* id) { return apvts.getRawParameterValue(id); };
    gainL = raw("gainL");
    gainR = raw("gainR");
    panL = raw("panL");
    panR = raw("panR");
    delayL = raw("delayL");
    delayR = raw("delayR");
    apFcL = raw("apFcL");
    apFcR = raw("apFcR");
    apPhaseL = raw("apPhaseL");
    apPhaseR = raw("apPhaseR");
    apQL = raw("apQL");
    apQR = raw("apQR");
    apOrder2L = raw("apOrder2L");
    apOrder2R = raw("apOrder2R");
    polarityL = raw("polarityL");
    polarityR = raw("polarityR");
    width = raw("width");
    asymmetry = raw("asymmetry");
    rotation = raw("rotation");
    trimOut = raw("trimOut");
    midGain = raw("midGain");
    sideGain = raw("sideGain");
    muteL = raw("muteL");
    muteR = raw("muteR");
    muteMid = raw("muteMid");
    muteSide = raw("muteSide");
    mono = raw("mono");
    bypass = raw("bypass");
    monoMakerFreq = raw("monoMakerFreq");
    monoMakerInt = raw("monoMakerInt");

    initSlots();
}

BivarroAudioProcessor::~BivarroAudioProcessor() = default;

juce::AudioProcessorValueTreeState::ParameterLayout BivarroAudioProcessor::createParameterLayout()
{
    juce::AudioProcessorValueTreeState::ParameterLayout layout;

    auto addFloat =
        [&layout](const char* id, const char* name, juce::NormalisableRange<float> range, float def, const char* label)
    {
        layout.add(std::make_unique<juce::AudioParameterFloat>(juce::ParameterID{id, 0}, name, range, def,
                                                               juce::AudioParameterFloatAttributes().withLabel(label)));
    };
    auto addLinear =
        [&addFloat](const char* id, const char* name, float start, float end, float step, float def, const char* label)
    { addFloat(id, name, juce::NormalisableRange<float>(start, end, step), def, label); };
    auto addSwitch = [&layout](const char* id, const char* name) {
        layout.add(std::make_unique<juce::AudioParameterBool>(juce::ParameterID{id, 0}, name, false));
    };

    addLinear("gainL", "Gain L", -100.0f, 48.0f, 0.1f, 0.0f, "dB");
    addLinear("panL", "Pan L", 0.0f, 100.0f, 0.1f, 0.0f, "%");
    addLinear("delayL", "Delay L", 0.0f, 50.0f, 0.01f, 0.0f, "ms");
    addFloat("apFcL", "APF Freq L", BivarroParameters::apFreqRange(), 1000.0f, "Hz");
    addLinear("apPhaseL", "APF Phase L", 0.0f, 180.0f, 0.1f, 0.0f, "deg");
    addLinear("apQL", "APF Q L", 0.1f, 20.0f, 0.01f, 1.0f, "");
    addSwitch("apOrder2L", "APF 2nd Order L");
    addSwitch("polarityL", "Inv Polarity L");
    addLinear("gainR", "Gain R", -100.0f, 48.0f, 0.1f, 0.0f, "dB");
    addLinear("panR", "Pan R", -100.0f, 0.0f, 0.1f, 0.0f, "%");
    addLinear("delayR", "Delay R", 0.0f, 50.0f, 0.01f, 0.0f, "ms");
    addFloat("apFcR", "APF Freq R", BivarroParameters::apFreqRange(), 1000.0f, "Hz");
    addLinear("apPhaseR", "APF Phase R", 0.0f, 180.0f, 0.1f, 0.0f, "deg");
    addLinear("apQR", "APF Q R", 0.1f, 20.0f, 0.01f, 1.0f, "");
    addSwitch("apOrder2R", "APF 2nd Order R");
    addSwitch("polarityR", "Inv Polarity R");
    addLinear("width", "Width", 0.0f, 500.0f, 0.1f, 100.0f, "%");
    addLinear("asymmetry", "Asymmetry", -90.0f, 90.0f, 0.1f, 0.0f, "deg");
    addLinear("rotation", "Rotation", -45.0f, 45.0f, 0.1f, 0.0f, "deg");
    addLinear("trimOut", "Trim Out", -48.0f, 24.0f, 0.1f, 0.0f, "dB");
    addLinear("midGain", "Mid", -48.0f, 24.0f, 0.1f, 0.0f, "dB");
    addLinear("sideGain", "Side", -48.0f, 24.0f, 0.1f, 0.0f, "dB");
    addSwitch("muteL", "Mute L");
    addSwitch("muteR", "Mute R");
    addSwitch("muteMid", "Mute Mid");
    addSwitch("muteSide", "Mute Side");
    addSwitch("mono", "Mono");
    addSwitch("bypass", "Bypass");
    addFloat("monoMakerFreq", "Bass Mono Freq", BivarroParameters::bassMonoFreqRange(), 10.0f, "Hz");
    addLinear("monoMakerInt", "Bass Mono Intensity", 0.0f, 100.0f, 1.0f, 0.0f, "%");

    return layout;
}

const juce::String BivarroAudioProcessor::getName() const
{
    return "Bivarro";
}

void BivarroAudioProcessor::prepareToPlay(double sampleRate, int)
{
    currentSampleRate = sampleRate;

    const int b = static_cast<int>(static_cast<float>(sampleRate) * 0.05f);
    const int c = std::max(b, 60) + 3;
    int size = 1;
    while (size <= c)
        size <<= 1;

    delayLineL.assign(static_cast<size_t>(size), 0.0f);
    delayLineR.assign(static_cast<size_t>(size), 0.0f);
    delayMask = size - 1;
    delayWriteL = 0;
    delayWriteR = 0;

    allpass1StateL = {};
    allpass1StateR = {};
    allpass2StateL = {};
    allpass2StateR = {};

    const auto sr = static_cast<float>(sampleRate);
    setRampAndSnap(delaySmootherL, sampleRate, 0.02, delayL->load() * 0.001f * sr);
    setRampAndSnap(delaySmootherR, sampleRate, 0.02, delayR->load() * 0.001f * sr);

    rmsSumL = 0.0f;
    rmsSumR = 0.0f;
    rmsCount = 0;
    lastBypass = bypass->load() > 0.5f;

    crossoverState = {};
    lastCrossoverFreq = -1.0f;
    lastCrossoverRate = -1.0f;
    crossoverCounter = 0;

    setRampAndSnap(bassMonoAmountSmoother, sampleRate, 0.05, monoMakerInt->load() / 100.0f);
    setRampAndSnap(bassMonoFreqSmoother, sampleRate, 0.15, monoMakerFreq->load());
    setRampAndSnap(gainSmootherL, sampleRate, 0.02, signedGain(gainL->load(), polarityL->load()));
    setRampAndSnap(gainSmootherR, sampleRate, 0.02, signedGain(gainR->load(), polarityR->load()));
    setRampAndSnap(widthSmoother, sampleRate, 0.02, width->load() / 100.0f);
    setRampAndSnap(midGainSmoother, sampleRate, 0.02, linearGainFromDb(midGain->load()));
    setRampAndSnap(sideGainSmoother, sampleRate, 0.02, linearGainFromDb(sideGain->load()));
    setRampAndSnap(trimOutSmoother, sampleRate, 0.02, linearGainFromDb(trimOut->load()));
    setRampAndSnap(asymmetrySmoother, sampleRate, 0.02, asymmetry->load());
    setRampAndSnap(rotationSmoother, sampleRate, 0.02, rotation->load() * 0.017453292f);
}

void BivarroAudioProcessor::releaseResources() {}

void BivarroAudioProcessor::processBlock(juce::AudioBuffer<float>& buffer, juce::MidiBuffer&)
{
    juce::ScopedNoDenormals noDenormals;

    // Until prepareToPlay has sized the delay lines there is nothing the chain may touch.
    if (buffer.getNumSamples() == 0 || buffer.getNumChannels() < 2 || delayLineL.empty())
        return;
}

double BivarroAudioProcessor::getTailLengthSeconds() const
{
    return 0.05;
}

bool BivarroAudioProcessor::acceptsMidi() const
{
    return false;
}

bool BivarroAudioProcessor::producesMidi() const
{
    return false;
}

bool BivarroAudioProcessor::isMidiEffect() const
{
    return false;
}

juce::AudioProcessorEditor* BivarroAudioProcessor::createEditor()
{
    return new juce::GenericAudioProcessorEditor(*this);
}

bool BivarroAudioProcessor::hasEditor() const
{
    return true;
}

int BivarroAudioProcessor::getNumPrograms()
{
    return 1;
}

int BivarroAudioProcessor::getCurrentProgram()
{
    return 0;
}

void BivarroAudioProcessor::setCurrentProgram(int) {}

const juce::String BivarroAudioProcessor::getProgramName(int)
{
    return {};
}

void BivarroAudioProcessor::changeProgramName(int, const juce::String&) {}

void BivarroAudioProcessor::getStateInformation(juce::MemoryBlock& destData)
{
    BivarroSavedState::write(*this, destData);
}

void BivarroAudioProcessor::setStateInformation(const void* data, int sizeInBytes)
{
    BivarroSavedState::read(*this, data, sizeInBytes);
}

bool BivarroAudioProcessor::isBusesLayoutSupported(const BusesLayout& layouts) const
{
    const auto out = layouts.getMainOutputChannelSet();
    return out == juce::AudioChannelSet::stereo() && layouts.getMainInputChannels() == out.size();
}

void BivarroAudioProcessor::initSlots()
{
    const juce::ScopedLock lock(slotLock);
    const auto live = apvts.copyState();
    for (auto& slot : slots)
        if (!slot.isValid())
            slot = live.createCopy();
}

juce::AudioProcessor* JUCE_CALLTYPE createPluginFilter()
{
    return new BivarroAudioProcessor();
}
