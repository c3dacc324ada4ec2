#include "PacedAudioFeeder.h"

#include <random>

PacedAudioFeeder::PacedAudioFeeder(juce::AudioProcessor& processor, std::function<void()> move)
    : juce::Thread("Bench audio"), proc(processor), onMove(std::move(move))
{
    proc.setPlayConfigDetails(2, 2, sampleRate, blockSize);
    proc.prepareToPlay(sampleRate, blockSize);
    startThread(juce::Thread::Priority::high);
    if (onMove)
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
    juce::ScopedNoDenormals noDenormals;
    juce::AudioBuffer<float> buffer(2, blockSize);
    juce::MidiBuffer midi;
    std::minstd_rand rng(7);
    std::uniform_real_distribution<float> noise(-0.5f, 0.5f);
    const double blockMs = 1000.0 * blockSize / sampleRate;
    double next = juce::Time::getMillisecondCounterHiRes();
    while (!threadShouldExit())
    {
        for (int ch = 0; ch < 2; ++ch)
            for (int i = 0; i < blockSize; ++i)
                buffer.setSample(ch, i, noise(rng));
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
