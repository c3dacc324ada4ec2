#pragma once

#include "gainpair/common/GainPairReading.h"

#include <juce_audio_basics/juce_audio_basics.h>

#include <atomic>

// Level readings of the gain plug-ins for their editors' meters, in dB with a floor of -100. The
// peak covers one block; the RMS sums squares over blocks until 512 samples or more (all channels
// counted) are in. Audio thread; no allocation.
namespace GainPairLevels
{
inline constexpr int rmsWindowSamples = 512;
inline constexpr float floorDb = -100.0f;
inline constexpr float initialDb = -60.0f;

// What one block adds: its absolute peak and its sum of squares.
struct BlockSums
{
    float peak = 0.0f;
    float sumOfSquares = 0.0f;
};

// What the first numChannels channels add, in one pass.
void accumulate(const float* const* channels, int numChannels, int numSamples, BlockSums& sums) noexcept;
void accumulate(const float* data, int numSamples, BlockSums& sums) noexcept;

// Multiplies the channels by gain and measures them in the same pass: the samples as they came in, or
// (measureScaled) as they go out.
void scaleAndAccumulate(float* const* channels, int numChannels, int numSamples, float gain, bool measureScaled,
                        BlockSums& sums) noexcept;
void scaleAndAccumulate(float* data, int numSamples, float gain, bool measureScaled, BlockSums& sums) noexcept;

// The block's peak into peakDb; its squares into rmsSum and rmsCount, which carry over between
// blocks and give rmsDb once they hold a full window. Both readings are published as magnitudes:
// no logarithm on the audio thread.
void publish(const BlockSums& sums, int samplesCounted, float& rmsSum, int& rmsCount, GainPairReading& peakDb,
             GainPairReading& rmsDb) noexcept;

// accumulate over the first numChannels channels, then publish.
void measure(const juce::AudioBuffer<float>& buffer, int numChannels, int numSamples, float& rmsSum, int& rmsCount,
             GainPairReading& peakDb, GainPairReading& rmsDb) noexcept;

// A magnitude in dB: 20 log10(x), floor -100; silence and NaN read as the floor.
float toDb(float magnitude) noexcept;
} // namespace GainPairLevels
