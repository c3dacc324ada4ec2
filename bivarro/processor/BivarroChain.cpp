#include "bivarro/processor/BivarroChain.h"

#include <algorithm>
#include <cmath>
#include <iterator>

namespace
{
constexpr float degreesToRadians = 0.017453292f;

float signedGain(DecibelGain& gain, float dB, bool inverted) noexcept
{
    const auto g = gain(dB);
    return inverted ? -g : g;
}

void setRampAndSnap(LinearSmoother& s, double sampleRate, double seconds, float value) noexcept
{
    s.reset(static_cast<int>(std::floor(sampleRate * seconds)));
    s.setCurrentAndTargetValue(value);
}

void applyGain(const float* in, RampValues gain, float* out, int n) noexcept
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

// The channel with its gain: a gain held at exactly 1 is an identity, so the channel is worked
// in place rather than copied.
float* gained(float* in, RampValues gain, float* scratch, int n) noexcept
{
    if (gain.steady() && juce::exactlyEqual(gain[0], 1.0f))
        return in;
    applyGain(in, gain, scratch, n);
    return scratch;
}
} // namespace

void BivarroChain::prepare(double sampleRate, const Values& v)
{
    currentSampleRate = sampleRate;

    delayLineL.prepare(sampleRate);
    delayLineR.prepare(sampleRate);
    allpassL.prepare(sampleRate);
    allpassR.prepare(sampleRate);

    const auto sr = static_cast<float>(sampleRate);
    setRampAndSnap(delaySmootherL, sampleRate, 0.02, v.delayL * 0.001f * sr);
    setRampAndSnap(delaySmootherR, sampleRate, 0.02, v.delayR * 0.001f * sr);

    crossover.prepare(sampleRate);

    setRampAndSnap(bassMonoAmountSmoother, sampleRate, 0.05, v.monoMakerInt / 100.0f);
    setRampAndSnap(bassMonoFreqSmoother, sampleRate, 0.15, v.monoMakerFreq);
    setRampAndSnap(gainSmootherL, sampleRate, 0.02, signedGain(gainDbL, v.gainL, v.polarityL));
    setRampAndSnap(gainSmootherR, sampleRate, 0.02, signedGain(gainDbR, v.gainR, v.polarityR));
    setRampAndSnap(widthSmoother, sampleRate, 0.02, v.width / 100.0f);
    setRampAndSnap(midGainSmoother, sampleRate, 0.02, midGainDb(v.midGain));
    setRampAndSnap(sideGainSmoother, sampleRate, 0.02, sideGainDb(v.sideGain));
    setRampAndSnap(trimOutSmoother, sampleRate, 0.02, trimOutDb(v.trimOut));
    setRampAndSnap(asymmetrySmoother, sampleRate, 0.02, v.asymmetry);
    setRampAndSnap(rotationSmoother, sampleRate, 0.02, v.rotation * degreesToRadians);
    planned = false;
    rampsSteady = false;
}

void BivarroChain::setTargets(const Values& v) noexcept
{
    bassMonoAmountSmoother.setTargetValue(v.monoMakerInt * 0.01f);
    bassMonoFreqSmoother.setTargetValue(v.monoMakerFreq);
    gainSmootherL.setTargetValue(signedGain(gainDbL, v.gainL, v.polarityL));
    gainSmootherR.setTargetValue(signedGain(gainDbR, v.gainR, v.polarityR));
    widthSmoother.setTargetValue(v.width * 0.01f);
    midGainSmoother.setTargetValue(midGainDb(v.midGain));
    sideGainSmoother.setTargetValue(sideGainDb(v.sideGain));
    trimOutSmoother.setTargetValue(trimOutDb(v.trimOut));
    asymmetrySmoother.setTargetValue(v.asymmetry);
    rotationSmoother.setTargetValue(v.rotation * degreesToRadians);
    rampsSteady = false;
}

float BivarroChain::delayInSamples(float ms) const noexcept
{
    const auto rate = static_cast<float>(currentSampleRate);
    return std::clamp(ms * 0.001f * rate, 0.0f, static_cast<float>(delayLineL.maxDelay()));
}

void BivarroChain::bypass(const Values& v) noexcept
{
    delaySmootherL.setCurrentAndTargetValue(delayInSamples(v.delayL));
    delaySmootherR.setCurrentAndTargetValue(delayInSamples(v.delayR));
    for (auto* s : {&gainSmootherL, &gainSmootherR, &widthSmoother, &midGainSmoother, &sideGainSmoother,
                    &trimOutSmoother, &asymmetrySmoother, &rotationSmoother})
        s->setCurrentAndTargetValue(s->getTargetValue());
    rampsSteady = false;
}

void BivarroChain::beginBlock(const Values& v) noexcept
{
    // Nearly every block brings the angles of the block before.
    if (!juce::exactlyEqual(v.panL, lastPanL) || !juce::exactlyEqual(v.panR, lastPanR))
    {
        constexpr float pi = 3.1415927f;
        const float thetaL = (v.panL / 100.0f) * pi * 0.5f;
        const float thetaR = ((v.panR + 100.0f) / 100.0f) * pi * 0.5f;
        pan = {std::cos(thetaL), std::sin(thetaL), std::cos(thetaR), std::sin(thetaR)};
        lastPanL = v.panL;
        lastPanR = v.panR;
    }

    allpassL.setParameters(v.apFcL, v.apPhaseL, v.apQL, v.apOrder2L);
    allpassR.setParameters(v.apFcR, v.apPhaseR, v.apQR, v.apOrder2R);

    delaySmootherL.setTargetValue(delayInSamples(v.delayL));
    delaySmootherR.setTargetValue(delayInSamples(v.delayR));

    switches.muteL = v.muteL;
    switches.muteR = v.muteR;
    switches.muteMid = v.muteMid;
    switches.muteSide = v.muteSide;
    switches.mono = v.mono;
    planned = true;
    rampsSteady = false;
}

void BivarroChain::process(float* left, float* right, int n, LevelReadings::Sums& levels) noexcept
{
    jassert(n <= maxRun);

    // Per-sample values of the twelve ramps, then the signal through each stage in turn.
    if (!rampsSteady)
    {
        LinearSmoother* const smoothers[numRamps] = {&gainSmootherL,     &gainSmootherR,        &delaySmootherL,
                                                     &delaySmootherR,    &bassMonoFreqSmoother, &bassMonoAmountSmoother,
                                                     &widthSmoother,     &midGainSmoother,      &sideGainSmoother,
                                                     &asymmetrySmoother, &rotationSmoother,     &trimOutSmoother};
        float* rampOut[numRamps];
        for (int r = 0; r < numRamps; ++r)
            rampOut[r] = ramp[r];
        LinearSmoother::fillAll(smoothers, rampOut, rampValues, numRamps, n);
        rampsSteady =
            std::all_of(std::begin(rampValues), std::end(rampValues), [](RampValues r) { return r.steady(); });
    }
    const RampValues* const values = rampValues;

    float* dL = gained(left, values[rGainL], xL, n);
    float* dR = gained(right, values[rGainR], xR, n);
    AllpassStages::processPair(allpassL, dL, allpassR, dR, n);
    delayLineL.process(values[rDelayL], dL, n);
    delayLineR.process(values[rDelayR], dR, n);

    const StereoImage::Ramps image{values[rBassAmount], values[rWidth],    values[rMid], values[rSide],
                                   values[rAsymmetry],  values[rRotation], values[rTrim]};

    // With coefficients that hold for the run (nearly always) the crossover's recursion shares
    // its loop with the image and the level sums rather than running on its own. Where the bass
    // mono stays off for the run (where most instances sit) it only keeps its states current.
    if (crossover.coefficientsHold(values[rBassFreq]))
    {
        auto tracker = crossover.track();
        LevelReadings::Accumulator sums(levels);
        StereoImage::processTracked(switches, image, pan, dL, dR, tracker, sums, left, right, n);
        crossover.finish(tracker, n);
        levels = sums.sums();
        return;
    }

    // This pan writes a left sample before it reads the right one: it needs its input apart.
    if (dL == left)
        dL = std::copy(left, left + n, xL) - n;
    if (dR == right)
        dR = std::copy(right, right + n, xR) - n;
    StereoImage::pan(pan, dL, dR, left, right, n);
    crossover.process(values[rBassFreq], left, right, lowL, lowR, highL, highR, n);
    const StereoImage::Bands bands{lowL, lowR, highL, highR};
    StereoImage::process(switches, image, bands, left, right, n);
    LevelReadings::accumulate(left, right, n, levels);
}

void BivarroChain::endBlock() noexcept
{
    // Checking the few filter states once per block costs nothing per sample; a delay line can
    // only hold such a sample if a filter state caught one too, or will once the sample is read.
    const bool crossoverCleared = crossover.clearNonFinite();
    const bool leftCleared = allpassL.clearNonFinite();
    const bool rightCleared = allpassR.clearNonFinite();
    if (crossoverCleared || leftCleared || rightCleared)
    {
        delayLineL.clearNonFinite();
        delayLineR.clearNonFinite();
    }
}
