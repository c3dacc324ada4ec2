#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

#include <functional>

// Feeds a processor as a host would: blocks of 512 samples of stereo noise at 48 kHz on their own
// thread, in real time, and, where given, calls move on the message thread twice a second so that the editor's
// values, meter and pulses keep running.
class PacedAudioFeeder : private juce::Thread, private juce::Timer
{
public:
    PacedAudioFeeder(juce::AudioProcessor& processor, std::function<void()> move);
    ~PacedAudioFeeder() override;

private:
    static constexpr double sampleRate = 48000.0;
    static constexpr int blockSize = 512;

    void run() override;
    void timerCallback() override;

    juce::AudioProcessor& proc;
    std::function<void()> onMove;
};
