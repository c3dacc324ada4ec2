#include "bivarro/processor/BivarroAudioProcessor.h"

#include "bivarro/processor/AllpassStages.h"
#include "bivarro/processor/BassMonoCrossover.h"
#include "bivarro/processor/BivarroParameters.h"
#include "bivarro/processor/BivarroSavedState.h"
#include "bivarro/processor/FractionalDelay.h"
#include "bivarro/processor/LevelReadings.h"
#include "bivarro/processor/ScopeRing.h"
#include "bivarro/processor/StereoImage.h"

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
    : OrzAudioProcessor(BusesProperties()
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

namespace
{
static_assert(BivarroAudioProcessor::scopeSize == ScopeRing::size);

// Samples the chain processes at a time; per-sample values live in arrays of this length.
constexpr int chunk = StereoImage::maxBlock;

bool isOn(float switchValue)
{
    return switchValue > 0.5f;
}

void applyGain(const float* in, RampValues gain, float* out, int n)
{
    if (gain.steady())
    {
        const float g = gain[0];
        for (int i = 0; i < n; ++i)
            out[i] = in[i] * g;
    }
    else
    {
        for (int i = 0; i < n; ++i)
            out[i] = in[i] * gain.data[i];
    }
}

// The crossover coefficients follow the bass-mono frequency: checked every 32 samples (and at
// once when the rate changed or nothing was computed yet), recomputed when it moved by more
// than 0.05 Hz. Runs the crossover over freqs' span in stretches of constant coefficients.
struct CrossoverRun
{
    double sampleRate;
    float& lastFreq;
    float& lastRate;
    int& counter;
    BiquadCoeffs& lowPass;
    BiquadCoeffs& highPass;
    CrossoverStates& states;

    void operator()(RampValues freqs, const float* left, const float* right, float* lowL, float* lowR, float* highL,
                    float* highR, int n) const noexcept
    {
        const auto rate = static_cast<float>(sampleRate);
        for (int i = 0; i < n;)
        {
            const int old = counter++;
            const bool stale = !juce::exactlyEqual(lastRate, rate) || lastFreq < 0.0f;
            if (old >= 31 || stale)
            {
                counter = 0;
                if (stale || std::abs(freqs[i] - lastFreq) > 0.05f)
                {
                    BassMonoCrossover::design(sampleRate, freqs[i], lowPass, highPass);
                    lastFreq = freqs[i];
                    lastRate = rate;
                }
            }

            // Samples up to the next check keep these coefficients.
            const int len = std::min(n - i, 1 + std::max(0, 31 - counter));
            counter += len - 1;
            BassMonoCrossover::process(lowPass, highPass, states, left + i, right + i, lowL + i, lowR + i, highL + i,
                                       highR + i, len);
            i += len;
        }
    }
};
} // namespace

void BivarroAudioProcessor::processBlock(juce::AudioBuffer<float>& buffer, juce::MidiBuffer&)
{
    juce::ScopedNoDenormals noDenormals;

    // Until prepareToPlay has sized the delay lines there is nothing the chain may touch.
    const int n = buffer.getNumSamples();
    if (n == 0 || buffer.getNumChannels() < 2 || delayLineL.empty())
        return;

    float* const left = buffer.getWritePointer(0);
    float* const right = buffer.getWritePointer(1);

    const int inPos = scopeInWritePos.load(std::memory_order_acquire);
    ScopeRing::write(scopeInL.data(), inPos, left, n);
    ScopeRing::write(scopeInR.data(), inPos, right, n);
    scopeInWritePos.store((inPos + n) & scopeMask, std::memory_order_release);

    const float vGainL = gainL->load();
    const float vGainR = gainR->load();
    const float vPanL = panL->load();
    const float vPanR = panR->load();
    const float vDelayL = delayL->load();
    const float vDelayR = delayR->load();
    const float vApFcL = apFcL->load();
    const float vApFcR = apFcR->load();
    const float vApPhaseL = apPhaseL->load();
    const float vApPhaseR = apPhaseR->load();
    const float vApQL = apQL->load();
    const float vApQR = apQR->load();
    const bool vApOrder2L = isOn(apOrder2L->load());
    const bool vApOrder2R = isOn(apOrder2R->load());
    const float vPolarityL = polarityL->load();
    const float vPolarityR = polarityR->load();
    const float vWidth = width->load();
    const float vAsymmetry = asymmetry->load();
    const float vRotation = rotation->load();
    const float vTrimOut = trimOut->load();
    const float vMidGain = midGain->load();
    const float vSideGain = sideGain->load();
    StereoImage::Switches switches;
    switches.muteL = isOn(muteL->load());
    switches.muteR = isOn(muteR->load());
    switches.muteMid = isOn(muteMid->load());
    switches.muteSide = isOn(muteSide->load());
    switches.mono = isOn(mono->load());
    const bool vBypass = isOn(bypass->load());
    const float vMonoMakerFreq = monoMakerFreq->load();
    const float vMonoMakerInt = monoMakerInt->load();

    bassMonoAmountSmoother.setTargetValue(vMonoMakerInt * 0.01f);
    bassMonoFreqSmoother.setTargetValue(vMonoMakerFreq);
    gainSmootherL.setTargetValue(signedGain(vGainL, vPolarityL));
    gainSmootherR.setTargetValue(signedGain(vGainR, vPolarityR));
    widthSmoother.setTargetValue(vWidth * 0.01f);
    midGainSmoother.setTargetValue(linearGainFromDb(vMidGain));
    sideGainSmoother.setTargetValue(linearGainFromDb(vSideGain));
    trimOutSmoother.setTargetValue(linearGainFromDb(vTrimOut));
    asymmetrySmoother.setTargetValue(vAsymmetry);
    rotationSmoother.setTargetValue(vRotation * 0.017453292f);

    // A change of the bypass switch starts a new RMS window.
    if (vBypass != lastBypass)
    {
        rmsSumL = 0.0f;
        rmsSumR = 0.0f;
        rmsCount = 0;
    }
    lastBypass = vBypass;

    const auto rate = static_cast<float>(currentSampleRate);
    const float maxDelay = static_cast<float>(delayMask);
    const float delayTargetL = std::clamp(vDelayL * 0.001f * rate, 0.0f, maxDelay);
    const float delayTargetR = std::clamp(vDelayR * 0.001f * rate, 0.0f, maxDelay);

    const int outPos = scopeOutWritePos.load(std::memory_order_acquire);
    LevelReadings::Sums levels{0.0f, 0.0f, rmsSumL, rmsSumR};

    if (vBypass)
    {
        ScopeRing::write(scopeOutL.data(), outPos, left, n);
        ScopeRing::write(scopeOutR.data(), outPos, right, n);
        LevelReadings::accumulate(left, right, n, levels);
        publishLevels(outPos, n, levels);

        // Leaving bypass then starts without ramps.
        delaySmootherL.setCurrentAndTargetValue(delayTargetL);
        delaySmootherR.setCurrentAndTargetValue(delayTargetR);
        for (auto* s : {&gainSmootherL, &gainSmootherR, &widthSmoother, &midGainSmoother, &sideGainSmoother,
                        &trimOutSmoother, &asymmetrySmoother, &rotationSmoother})
            s->setCurrentAndTargetValue(s->getTargetValue());
        return;
    }

    constexpr float pi = 3.1415927f;
    const float thetaL = (vPanL / 100.0f) * pi * 0.5f;
    const float thetaR = ((vPanR + 100.0f) / 100.0f) * pi * 0.5f;
    const StereoImage::Pan pan{std::cos(thetaL), std::sin(thetaL), std::cos(thetaR), std::sin(thetaR)};

    const auto allpassL = AllpassStages::plan(currentSampleRate, vApFcL, vApPhaseL, vApQL, vApOrder2L);
    const auto allpassR = AllpassStages::plan(currentSampleRate, vApFcR, vApPhaseR, vApQR, vApOrder2R);

    delaySmootherL.setTargetValue(delayTargetL);
    delaySmootherR.setTargetValue(delayTargetR);

    // Per-sample values of the twelve ramps, then the signal through each stage in turn.
    enum Ramp
    {
        rGainL,
        rGainR,
        rDelayL,
        rDelayR,
        rBassFreq,
        rBassAmount,
        rWidth,
        rMid,
        rSide,
        rAsymmetry,
        rRotation,
        rTrim,
        numRamps
    };
    float ramp[numRamps][chunk];
    float xL[chunk], xR[chunk], lowL[chunk], lowR[chunk], highL[chunk], highR[chunk];

    LinearSmoother* const smoothers[numRamps] = {&gainSmootherL,     &gainSmootherR,        &delaySmootherL,
                                                 &delaySmootherR,    &bassMonoFreqSmoother, &bassMonoAmountSmoother,
                                                 &widthSmoother,     &midGainSmoother,      &sideGainSmoother,
                                                 &asymmetrySmoother, &rotationSmoother,     &trimOutSmoother};
    float* rampOut[numRamps];
    for (int r = 0; r < numRamps; ++r)
        rampOut[r] = ramp[r];
    RampValues values[numRamps];
    const StereoImage::Bands bands{lowL, lowR, highL, highR};
    const CrossoverRun crossover{currentSampleRate, lastCrossoverFreq, lastCrossoverRate, crossoverCounter,
                                 lowPassCoeffs,     highPassCoeffs,    crossoverState};

    for (int start = 0; start < n; start += chunk)
    {
        const int m = std::min(chunk, n - start);
        float* const outL = left + start;
        float* const outR = right + start;

        LinearSmoother::fillAll(smoothers, rampOut, values, numRamps, m);

        applyGain(outL, values[rGainL], xL, m);
        applyGain(outR, values[rGainR], xR, m);
        AllpassStages::process({allpassL, allpass1StateL, allpass2StateL, xL},
                               {allpassR, allpass1StateR, allpass2StateR, xR}, m);
        FractionalDelay::process(delayLineL, delayMask, delayWriteL, values[rDelayL], xL, m);
        FractionalDelay::process(delayLineR, delayMask, delayWriteR, values[rDelayR], xR, m);

        StereoImage::pan(pan, xL, xR, outL, outR, m);
        crossover(values[rBassFreq], outL, outR, lowL, lowR, highL, highR, m);
        const StereoImage::Ramps image{values[rBassAmount], values[rWidth],    values[rMid], values[rSide],
                                       values[rAsymmetry],  values[rRotation], values[rTrim]};
        StereoImage::process(switches, image, bands, outL, outR, m);

        LevelReadings::accumulate(outL, outR, m, levels);
    }

    ScopeRing::write(scopeOutL.data(), outPos, left, n);
    ScopeRing::write(scopeOutR.data(), outPos, right, n);
    publishLevels(outPos, n, levels);

    recoverNonFiniteState();
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

// A non-finite sample passes through as it is, but must not stay in the recursive filters (or
// wait in a delay line) for good. Checking the few filter states once per block costs nothing
// per sample; a delay line can only hold such a sample if a filter state caught one too, or
// will once the sample is read out.
void BivarroAudioProcessor::recoverNonFiniteState()
{
    const bool crossoverCleared = BassMonoCrossover::clearNonFinite(crossoverState);
    const bool leftCleared = AllpassStages::clearNonFinite(allpass1StateL, allpass2StateL);
    const bool rightCleared = AllpassStages::clearNonFinite(allpass1StateR, allpass2StateR);
    if (crossoverCleared || leftCleared || rightCleared)
    {
        FractionalDelay::clearNonFinite(delayLineL);
        FractionalDelay::clearNonFinite(delayLineR);
    }
}

double BivarroAudioProcessor::getTailLengthSeconds() const
{
    return 0.05;
}

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
