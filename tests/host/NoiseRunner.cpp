#include "NoiseRunner.h"

#include <cmath>

NoiseRunner::NoiseRunner(juce::AudioPluginInstance& p, int maxBlock, juce::int64 seed)
    : instance(p), rng(seed), inputs(p.getTotalNumInputChannels()), outputs(p.getTotalNumOutputChannels()),
      input(juce::jmax(1, inputs), maxBlock), buffer(juce::jmax(inputs, outputs, 1), maxBlock)
{
}

bool NoiseRunner::process(int n)
{
    jassert(n <= buffer.getNumSamples());
    numSamples = n;
    buffer.clear();
    for (int ch = 0; ch < inputs; ++ch)
        for (int i = 0; i < n; ++i)
        {
            const float s = rng.nextFloat() - 0.5f;
            input.setSample(ch, i, s);
            buffer.setSample(ch, i, s);
        }

    juce::AudioBuffer<float> block(buffer.getArrayOfWritePointers(), buffer.getNumChannels(), n);
    midi.clear();
    instance.processBlock(block, midi);

    for (int ch = 0; ch < outputs; ++ch)
        for (int i = 0; i < n; ++i)
            if (!std::isfinite(buffer.getSample(ch, i)))
                return false;
    return true;
}

float NoiseRunner::deviationFromPassThrough() const
{
    float worst = 0.0f;
    for (int ch = 0; ch < outputs; ++ch)
        for (int i = 0; i < numSamples; ++i)
        {
            const float expected = ch < inputs ? input.getSample(ch, i) : 0.0f;
            worst = juce::jmax(worst, std::abs(buffer.getSample(ch, i) - expected));
        }
    return worst;
}

float NoiseRunner::differenceFrom(const NoiseRunner& other) const
{
    jassert(other.numSamples == numSamples && other.outputs == outputs);
    float worst = 0.0f;
    for (int ch = 0; ch < outputs; ++ch)
        for (int i = 0; i < numSamples; ++i)
            worst = juce::jmax(worst, std::abs(buffer.getSample(ch, i) - other.buffer.getSample(ch, i)));
    return worst;
}
