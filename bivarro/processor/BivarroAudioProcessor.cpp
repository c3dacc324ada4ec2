#include "bivarro/processor/BivarroAudioProcessor.h"
#include "bivarro/editor/BivarroAudioProcessorEditor.h"

#include "base/OrzNoDenormals.h"
#include "bivarro/processor/BivarroSavedState.h"
#include "bivarro/processor/ScopeRing.h"

static_assert(BivarroAudioProcessor::scopeSize == ScopeRing::size);

BivarroAudioProcessor::BivarroAudioProcessor()
    : OrzAudioProcessor(BusesProperties()
                            .withInput("Input", juce::AudioChannelSet::stereo(), true)
                            .withOutput("Output", juce::AudioChannelSet::stereo(), true)),
      apvts(*this, nullptr, "Parameters", createParameterLayout()),
      bypassParameter(apvts.getParameter(BivarroParameters::ID::bypass))
{
    initSlots();
}

BivarroAudioProcessor::~BivarroAudioProcessor() = default;

juce::AudioProcessorValueTreeState::ParameterLayout BivarroAudioProcessor::createParameterLayout()
{
    return BivarroParameters::createLayout();
}

const juce::String BivarroAudioProcessor::getName() const
{
    return "Bivarro";
}

void BivarroAudioProcessor::prepareToPlay(double sampleRate, int)
{
    const auto& values = parameters.read();
    chain.prepare(sampleRate, values);

    rmsSumL = 0.0f;
    rmsSumR = 0.0f;
    rmsCount = 0;
    lastBypass = values.bypass;
}

void BivarroAudioProcessor::processBlock(juce::AudioBuffer<float>& buffer, juce::MidiBuffer&)
{
    const OrzNoDenormals noDenormals;

    // Until prepareToPlay has sized the delay lines there is nothing the chain may touch.
    const int n = buffer.getNumSamples();
    if (n == 0 || buffer.getNumChannels() < 2 || !chain.isPrepared())
        return;

    float* const left = buffer.getWritePointer(0);
    float* const right = buffer.getWritePointer(1);

    const int inPos = scopeInWritePos.load(std::memory_order_acquire);
    ScopeRing::write(scopeInL.data(), inPos, left, n);
    ScopeRing::write(scopeInR.data(), inPos, right, n);
    scopeInWritePos.store((inPos + n) & scopeMask, std::memory_order_release);

    const auto& values = parameters.read();
    // Values equal to the last block's leave every target and plan as they are.
    const bool moved = !parameters.unchanged();
    if (moved)
        chain.setTargets(values);

    // A change of the bypass switch starts a new RMS window.
    if (values.bypass != lastBypass)
    {
        rmsSumL = 0.0f;
        rmsSumR = 0.0f;
        rmsCount = 0;
    }
    lastBypass = values.bypass;

    const int outPos = scopeOutWritePos.load(std::memory_order_acquire);
    LevelReadings::Sums levels{0.0f, 0.0f, rmsSumL, rmsSumR};

    if (values.bypass)
    {
        LevelReadings::accumulate(left, right, n, levels);
        chain.bypass(values);
    }
    else
    {
        if (moved || !chain.isPlanned())
            chain.beginBlock(values);
        for (int start = 0; start < n; start += BivarroChain::maxRun)
        {
            const int m = std::min(BivarroChain::maxRun, n - start);
            chain.process(left + start, right + start, m, levels);
        }
        chain.endBlock();
    }

    ScopeRing::write(scopeOutL.data(), outPos, left, n);
    ScopeRing::write(scopeOutR.data(), outPos, right, n);
    publishLevels(outPos, n, levels);
}

void BivarroAudioProcessor::publishLevels(int outPos, int n, const LevelReadings::Sums& levels)
{
    scopeOutWritePos.store((outPos + n) & scopeMask, std::memory_order_release);
    peakDbL.store(LevelReadings::peakToDb(levels.peakL), std::memory_order_release);
    peakDbR.store(LevelReadings::peakToDb(levels.peakR), std::memory_order_release);

    rmsSumL = levels.squaresL;
    rmsSumR = levels.squaresR;
    rmsCount += n;
    if (rmsCount >= LevelReadings::rmsWindow)
    {
        const auto count = static_cast<float>(rmsCount);
        rmsDbL.store(LevelReadings::meanSquareToDb(rmsSumL / count), std::memory_order_release);
        rmsDbR.store(LevelReadings::meanSquareToDb(rmsSumR / count), std::memory_order_release);
        rmsSumL = 0.0f;
        rmsSumR = 0.0f;
        rmsCount = 0;
    }
}

double BivarroAudioProcessor::getTailLengthSeconds() const
{
    return 0.05;
}

juce::AudioProcessorEditor* BivarroAudioProcessor::createEditor()
{
    return new BivarroAudioProcessorEditor(*this);
}

void BivarroAudioProcessor::getStateInformation(juce::MemoryBlock& destData)
{
    BivarroSavedState::write(*this, destData);
}

void BivarroAudioProcessor::setStateInformation(const void* data, int sizeInBytes)
{
    stateRestoresBegun.fetch_add(1);
    BivarroSavedState::read(*this, data, sizeInBytes);
    stateRestoresDone.fetch_add(1);
}

juce::AudioProcessorParameter* BivarroAudioProcessor::getBypassParameter() const
{
    return bypassParameter;
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
