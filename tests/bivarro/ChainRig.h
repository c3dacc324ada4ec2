#pragma once

#include "support/BivarroEverythingOn.h"
#include "support/BivarroProbe.h"
#include "support/ParamHelpers.h"

#include <utility>
#include <vector>

// A prepared processor and a way to push plain sample vectors through it block by block.
struct ChainRig
{
    using Params = ParamValues;

    explicit ChainRig(const Params& params = {}, double rate = 48000.0)
    {
        set(params);
        proc.prepareToPlay(rate, 512);
    }

    void set(const Params& params)
    {
        for (const auto& [id, value] : params)
            setParam(proc.apvts, id, value);
    }

    // Processes one block; returns {left, right}.
    std::pair<std::vector<float>, std::vector<float>> run(const std::vector<float>& l, const std::vector<float>& r)
    {
        const int n = static_cast<int>(l.size());
        juce::AudioBuffer<float> buffer(2, n);
        for (int i = 0; i < n; ++i)
        {
            buffer.setSample(0, i, l[static_cast<size_t>(i)]);
            buffer.setSample(1, i, r[static_cast<size_t>(i)]);
        }
        juce::MidiBuffer midi;
        proc.processBlock(buffer, midi);
        std::pair<std::vector<float>, std::vector<float>> out;
        for (int i = 0; i < n; ++i)
        {
            out.first.push_back(buffer.getSample(0, i));
            out.second.push_back(buffer.getSample(1, i));
        }
        return out;
    }

    // A constant pair for n samples.
    std::pair<std::vector<float>, std::vector<float>> runDc(float l, float r, int n)
    {
        return run(std::vector<float>(static_cast<size_t>(n), l), std::vector<float>(static_cast<size_t>(n), r));
    }

    static std::vector<float> impulse(int n, float height = 1.0f)
    {
        std::vector<float> v(static_cast<size_t>(n), 0.0f);
        v[0] = height;
        return v;
    }

    BivarroAudioProcessor proc;
    BivarroProcessorProbe probe{proc};
};
