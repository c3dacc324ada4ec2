#include "gainpair/common/GainPairLevels.h"

#include <cmath>

namespace GainPairLevels
{
void measure(const juce::AudioBuffer<float>& buffer, int numChannels, int numSamples, float& rmsSum, int& rmsCount,
             std::atomic<float>& peakDb, std::atomic<float>& rmsDb)
{
    float peak = 0.0f;
    for (int ch = 0; ch < numChannels; ++ch)
    {
        const float* data = buffer.getReadPointer(ch);
        for (int i = 0; i < numSamples; ++i)
        {
            peak = std::max(peak, std::abs(data[i]));
            rmsSum += data[i] * data[i];
        }
    }
    peakDb.store(peak > 0.0f ? std::max(20.0f * std::log10(peak), floorDb) : floorDb);

    rmsCount += numChannels * numSamples;
    if (rmsCount >= rmsWindowSamples)
    {
        const float mean = rmsSum / static_cast<float>(rmsCount);
        rmsDb.store(mean > 0.0f ? std::max(20.0f * std::log10(std::sqrt(mean)), floorDb) : floorDb);
        rmsSum = 0.0f;
        rmsCount = 0;
    }
}
} // namespace GainPairLevels
