#include "gainpair/common/GainPairSmoother.h"

#include <algorithm>
#include <cmath>

namespace
{
// The gains of dB values start + step, start + 2 step, ...: each the one before times the gain of
// one step. Eight chains side by side, restarted from an exact power at every call (at most 256
// samples), keep the rounding of the repeated products far below what a meter or an ear could tell.
void renderGeometric(float start, float step, float* gains, int numSamples) noexcept
{
    constexpr int lanes = 8;
    const float perStep = std::pow(10.0f, step * 0.05f);
    float lane[lanes];
    lane[0] = std::pow(10.0f, (start + step) * 0.05f);
    for (int i = 1; i < lanes; ++i)
        lane[i] = lane[i - 1] * perStep;
    const float perTwo = perStep * perStep;
    const float perFour = perTwo * perTwo;
    const float ratio = perFour * perFour;

    int i = 0;
    for (; i + lanes <= numSamples; i += lanes)
        for (int l = 0; l < lanes; ++l)
        {
            gains[i + l] = lane[l];
            lane[l] *= ratio;
        }
    for (int l = 0; i < numSamples; ++i, ++l)
        gains[i] = lane[l];
}
} // namespace

float GainPairSmoother::stepSize() const noexcept
{
    return countdown > 0 ? (getTargetValue() - getCurrentValue()) / static_cast<float>(countdown) : 0.0f;
}

void GainPairSmoother::renderGains(GainPairSmoother& first, GainPairSmoother* second, float* gains,
                                   int numSamples) noexcept
{
    constexpr float silenceDb = -100.0f;
    // Pieces end where a smoother reaches its target: the sum stays linear within each.
    while (numSamples > 0)
    {
        int piece = numSamples;
        for (const GainPairSmoother* s :
             {static_cast<const GainPairSmoother*>(&first), static_cast<const GainPairSmoother*>(second)})
            if (s != nullptr && s->isSmoothing())
                piece = std::min(piece, s->getRemainingSteps());

        const float start = first.getCurrentValue() + (second != nullptr ? second->getCurrentValue() : 0.0f);
        const float step = first.stepSize() + (second != nullptr ? second->stepSize() : 0.0f);
        const float end = start + static_cast<float>(piece) * step;

        // A smoother at rest holds its target as its current value.
        if (juce::exactlyEqual(step, 0.0f))
            std::fill(gains, gains + piece, linearGain(start));
        else if (std::min(start + step, end) <= silenceDb)
            for (int i = 0; i < piece; ++i)
                gains[i] = linearGain(start + static_cast<float>(i + 1) * step);
        else
            renderGeometric(start, step, gains, piece);

        first.skip(piece);
        if (second != nullptr)
            second->skip(piece);
        // A ramp ends exactly on its target gain.
        if (!juce::exactlyEqual(step, 0.0f))
            gains[piece - 1] =
                linearGain(first.getCurrentValue() + (second != nullptr ? second->getCurrentValue() : 0.0f));
        gains += piece;
        numSamples -= piece;
    }
}

void GainPairSmoother::applyGains(GainPairSmoother& first, GainPairSmoother* second, float* const* channels,
                                  int numChannels, int numSamples) noexcept
{
    constexpr int chunk = 256;
    float gains[chunk];
    for (int done = 0; done < numSamples; done += chunk)
    {
        const int n = std::min(chunk, numSamples - done);
        renderGains(first, second, gains, n);
        for (int ch = 0; ch < numChannels; ++ch)
            juce::FloatVectorOperations::multiply(channels[ch] + done, gains, n);
    }
}
