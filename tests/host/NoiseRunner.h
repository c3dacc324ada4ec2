#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

// Feeds a hosted instance blocks of seeded noise the way a host's render callback does and keeps what
// came out. Two runners with the same seed feed the same signal, so their outputs can be compared.
class NoiseRunner
{
public:
    // Sized for the instance's current bus layout and for blocks of up to maxBlock samples.
    NoiseRunner(juce::AudioPluginInstance& instance, int maxBlock, juce::int64 seed = 1);

    // One block of numSamples samples; false when any output sample is not finite.
    bool process(int numSamples);

    // Largest distance of the last block's output from the input passed straight through: the input on
    // every output channel that has one, silence on the others.
    float deviationFromPassThrough() const;

    // Largest distance of the last block's output from another runner's last block.
    float differenceFrom(const NoiseRunner& other) const;

    int lastBlockSize() const { return numSamples; }

private:
    juce::AudioPluginInstance& instance;
    juce::Random rng;
    int inputs, outputs;
    juce::AudioBuffer<float> input, buffer;
    juce::MidiBuffer midi;
    int numSamples = 0;
};

// Within float rounding of a few operations on a signal below full scale.
constexpr float kPassThroughTolerance = 1.0e-5f;
