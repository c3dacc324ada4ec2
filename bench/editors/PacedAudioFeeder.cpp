#include "PacedAudioFeeder.h"

#include <cmath>

PacedAudioFeeder::PacedAudioFeeder(juce::AudioProcessor& processor, std::function<void()> move)
    : juce::Thread("Bench audio"), proc(processor), onMove(std::move(move))
{
    proc.prepareToPlay(sampleRate, blockSize);
    startThread(juce::Thread::Priority::high);
    startTimer(500);
}

PacedAudioFeeder::~PacedAudioFeeder()
{
    stopTimer();
    stopThread(1000);
    proc.releaseResources();
}

void PacedAudioFeeder::run()
{
    juce::AudioBuffer<float> buffer(2, blockSize);
    juce::MidiBuffer midi;
    double phase = 0.0;
    const double blockMs = 1000.0 * blockSize / sampleRate;
    double next = juce::Time::getMillisecondCounterHiRes();
    while (!threadShouldExit())
    {
        for (int i = 0; i < blockSize; ++i)
        {
            const auto v = (float)(0.25 * std::sin(phase));
            phase += 2.0 * juce::MathConstants<double>::pi * 440.0 / sampleRate;
            buffer.setSample(0, i, v);
            buffer.setSample(1, i, v);
        }
        proc.processBlock(buffer, midi);
        next += blockMs;
        const double wait = next - juce::Time::getMillisecondCounterHiRes();
        if (wait > 0.0)
            juce::Thread::sleep((int)wait);
    }
}

void PacedAudioFeeder::timerCallback()
{
    if (onMove)
        onMove();
}
