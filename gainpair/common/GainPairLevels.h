#pragma once

#include <juce_audio_basics/juce_audio_basics.h>

#include <atomic>

// Level readings of the gain plug-ins for their editors' meters, in dB with a floor of -100.
namespace GainPairLevels
{
inline constexpr int rmsWindowSamples = 512;
inline constexpr float floorDb = -100.0f;
inline constexpr float initialDb = -60.0f;

// The block's peak over its first numChannels channels goes into peakDb. Every square is summed into
// rmsSum and rmsCount, which carry over between blocks; once they hold 512 samples or more (all
// channels counted) their RMS goes into rmsDb and they start again. Audio thread; no allocation.
void measure(const juce::AudioBuffer<float>& buffer, int numChannels, int numSamples, float& rmsSum, int& rmsCount,
             std::atomic<float>& peakDb, std::atomic<float>& rmsDb);
} // namespace GainPairLevels
