#pragma once

#include "bivarro/processor/AllpassStages.h"
#include "bivarro/processor/BassMonoCrossover.h"
#include "bivarro/processor/BivarroParameters.h"
#include "bivarro/processor/DecibelGain.h"
#include "bivarro/processor/FractionalDelay.h"
#include "bivarro/processor/LevelReadings.h"
#include "bivarro/processor/LinearSmoother.h"
#include "bivarro/processor/StereoImage.h"

#include <limits>

// Bivarro's signal chain on a stereo pair: per channel gain with polarity, all-pass stages and
// delay, then pan, the bass-mono crossover and the stereo image. Holds every unit and smoother
// in the order the signal meets them; only the audio thread touches it between two prepare calls.
//
// Per block: setTargets, then either bypass, or beginBlock and process over runs of at most
// maxRun samples, then endBlock.
class BivarroChain
{
public:
    using Values = BivarroParameters::Values;

    static constexpr int maxRun = StereoImage::maxBlock;

    // Sizes the delay lines, clears every state and snaps every smoother to the values.
    void prepare(double sampleRate, const Values& values);
    bool isPrepared() const noexcept { return delayLineL.isPrepared(); }

    // Gives every smoother but the delays its target. A block whose values equal the last one's
    // may leave this out: every target is already what it would set.
    void setTargets(const Values& values) noexcept;

    // While bypassed: the smoothers jump to their targets so that leaving bypass starts without
    // ramps; the bass-mono ramps and every filter and delay state stay as they are.
    void bypass(const Values& values) noexcept;

    // The block's pan angles, all-pass plans and delay targets. Once planned, a block whose values
    // equal the last one's may leave this out as well.
    void beginBlock(const Values& values) noexcept;
    bool isPlanned() const noexcept { return planned; }

    // Processes n <= maxRun samples of the pair in place and adds the results to the level sums.
    void process(float* left, float* right, int n, LevelReadings::Sums& levels) noexcept;

    // A non-finite sample passes through as it is, but must not stay in the recursive filters (or
    // wait in a delay line) for good.
    void endBlock() noexcept;

private:
    // Per-sample values of the twelve ramps, in the order the signal meets them.
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

    float delayInSamples(float ms) const noexcept;

    double currentSampleRate = 44100.0;
    FractionalDelay delayLineL;
    FractionalDelay delayLineR;
    LinearSmoother delaySmootherL;
    LinearSmoother delaySmootherR;
    AllpassStages allpassL;
    AllpassStages allpassR;
    BassMonoCrossover crossover;
    LinearSmoother bassMonoAmountSmoother;
    LinearSmoother bassMonoFreqSmoother;
    LinearSmoother gainSmootherL;
    LinearSmoother gainSmootherR;
    LinearSmoother widthSmoother;
    LinearSmoother midGainSmoother;
    LinearSmoother sideGainSmoother;
    LinearSmoother trimOutSmoother;
    LinearSmoother asymmetrySmoother;
    LinearSmoother rotationSmoother;

    // Linear gains of the dB parameters.
    DecibelGain gainDbL;
    DecibelGain gainDbR;
    DecibelGain midGainDb;
    DecibelGain sideGainDb;
    DecibelGain trimOutDb;

    StereoImage::Pan pan{};
    float lastPanL = std::numeric_limits<float>::quiet_NaN(); // equal to nothing: the first block computes
    float lastPanR = std::numeric_limits<float>::quiet_NaN();
    StereoImage::Switches switches;
    bool planned = false;

    // A run's ramps and signal copies. Members rather than locals: they take about 40 KB, too much
    // for the host's audio thread stack. While rampsSteady, every ramp held still through the last
    // fill and no target moved since, so the values there still hold and are not filled again.
    float ramp[numRamps][maxRun]{};
    RampValues rampValues[numRamps]{};
    bool rampsSteady = false;
    float xL[maxRun]{}, xR[maxRun]{}, lowL[maxRun]{}, lowR[maxRun]{}, highL[maxRun]{}, highR[maxRun]{};

    friend struct BivarroProcessorProbe;
};
