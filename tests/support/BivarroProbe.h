#pragma once

#include "bivarro/processor/BivarroAudioProcessor.h"

// Read access to the processor's private chain state, for tests only.
struct BivarroProcessorProbe
{
    explicit BivarroProcessorProbe(BivarroAudioProcessor& p) : proc(p) {}

    size_t delayLineSize() const { return proc.delayLineL.size(); }
    size_t delayLineSizeR() const { return proc.delayLineR.size(); }
    int delayMask() const { return proc.delayMask; }
    double sampleRate() const { return proc.currentSampleRate; }
    bool lastBypass() const { return proc.lastBypass; }
    float lastCrossoverFreq() const { return proc.lastCrossoverFreq; }
    int crossoverCounter() const { return proc.crossoverCounter; }

    // Steps a ramp takes: move the target far away and count the steps until it lands.
    static int rampSteps(BivarroAudioProcessor::Smoother s)
    {
        s.setTargetValue(s.getTargetValue() + 1000.0f);
        int n = 0;
        while (s.isSmoothing())
        {
            s.getNextValue();
            ++n;
        }
        return n;
    }

    int gainRampSteps() const { return rampSteps(proc.gainSmootherL); }
    int delayRampSteps() const { return rampSteps(proc.delaySmootherL); }
    int bassMonoAmountRampSteps() const { return rampSteps(proc.bassMonoAmountSmoother); }
    int bassMonoFreqRampSteps() const { return rampSteps(proc.bassMonoFreqSmoother); }
    int rotationRampSteps() const { return rampSteps(proc.rotationSmoother); }

    float gainCurrentL() const { return proc.gainSmootherL.getCurrentValue(); }
    float delayCurrentL() const { return proc.delaySmootherL.getCurrentValue(); }
    float widthCurrent() const { return proc.widthSmoother.getCurrentValue(); }
    float rotationCurrent() const { return proc.rotationSmoother.getCurrentValue(); }
    float trimCurrent() const { return proc.trimOutSmoother.getCurrentValue(); }
    float bassMonoAmountCurrent() const { return proc.bassMonoAmountSmoother.getCurrentValue(); }
    float bassMonoFreqCurrent() const { return proc.bassMonoFreqSmoother.getCurrentValue(); }

    BiquadCoeffs lowPassCoeffs() const { return proc.lowPassCoeffs; }
    BiquadCoeffs highPassCoeffs() const { return proc.highPassCoeffs; }
    const CrossoverStates& crossoverStates() const { return proc.crossoverState; }
    const Allpass2States& allpass2L() const { return proc.allpass2StateL; }
    const std::vector<float>& delayLineL() const { return proc.delayLineL; }
    const std::vector<float>& delayLineR() const { return proc.delayLineR; }

    BivarroAudioProcessor& proc;
};
