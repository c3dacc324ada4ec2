#pragma once

#include "bivarro/processor/BivarroAudioProcessor.h"

// Read access to the processor's private chain state, for tests only.
struct BivarroProcessorProbe
{
    explicit BivarroProcessorProbe(BivarroAudioProcessor& p) : proc(p) {}

    const BivarroChain& chain() const { return proc.chain; }

    size_t delayLineSize() const { return chain().delayLineL.samples().size(); }
    size_t delayLineSizeR() const { return chain().delayLineR.samples().size(); }
    int delayMask() const { return chain().delayLineL.maxDelay(); }
    double sampleRate() const { return chain().currentSampleRate; }
    bool lastBypass() const { return proc.lastBypass; }
    float lastCrossoverFreq() const { return chain().crossover.lastFrequency(); }
    int crossoverCounter() const { return chain().crossover.samplesSinceCheck(); }

    // Steps a ramp takes: move the target far away and count the steps until it lands.
    static int rampSteps(LinearSmoother s)
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

    int gainRampSteps() const { return rampSteps(chain().gainSmootherL); }
    int delayRampSteps() const { return rampSteps(chain().delaySmootherL); }
    int bassMonoAmountRampSteps() const { return rampSteps(chain().bassMonoAmountSmoother); }
    int bassMonoFreqRampSteps() const { return rampSteps(chain().bassMonoFreqSmoother); }
    int rotationRampSteps() const { return rampSteps(chain().rotationSmoother); }

    float gainCurrentL() const { return chain().gainSmootherL.getCurrentValue(); }
    float delayCurrentL() const { return chain().delaySmootherL.getCurrentValue(); }
    float widthCurrent() const { return chain().widthSmoother.getCurrentValue(); }
    float rotationCurrent() const { return chain().rotationSmoother.getCurrentValue(); }
    float trimCurrent() const { return chain().trimOutSmoother.getCurrentValue(); }
    float bassMonoAmountCurrent() const { return chain().bassMonoAmountSmoother.getCurrentValue(); }
    float bassMonoFreqCurrent() const { return chain().bassMonoFreqSmoother.getCurrentValue(); }

    BiquadCoeffs lowPassCoeffs() const { return chain().crossover.lowPass(); }
    BiquadCoeffs highPassCoeffs() const { return chain().crossover.highPass(); }
    const CrossoverStates& crossoverStates() const { return chain().crossover.states(); }
    const Allpass2States& allpass2L() const { return chain().allpassL.secondOrderStates(); }
    const std::vector<float>& delayLineL() const { return chain().delayLineL.samples(); }
    const std::vector<float>& delayLineR() const { return chain().delayLineR.samples(); }

    BivarroAudioProcessor& proc;
};
