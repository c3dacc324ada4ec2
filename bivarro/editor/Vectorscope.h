#pragma once

#include "bivarro/editor/AnalyserSettings.h"
#include "bivarro/editor/DotLayer.h"
#include "bivarro/editor/PointCloud.h"
#include "widgets/SurfaceCache.h"

#include <juce_audio_processors/juce_audio_processors.h>

#include <vector>

// The analyser's half-disc vectorscope: a grid that comes from a cache, the input cloud under the
// output cloud as dots or envelopes, and over both the wedge of the width, rotation and asymmetry
// parameters. It draws with the window's settings as they are at each paint.
class Vectorscope
{
public:
    Vectorscope(const AnalyserSettings& settings, const juce::AudioProcessorValueTreeState& parameters);

    void drawVectorscope(juce::Graphics& g, juce::Rectangle<int> area, const PointCloud& input,
                         const PointCloud& output);

    // One cloud in the settings' mode; alphas count as 1 unless there is one per point.
    void drawScopePoints(juce::Graphics& g, const std::vector<float>& ls, const std::vector<float>& rs,
                         const std::vector<float>& alphas, float cx, float cy, float radius, float zoom,
                         juce::Colour colour, float brightness);

    static void drawGrid(juce::Graphics& g, juce::Rectangle<int> area);
    void drawWedge(juce::Graphics& g, float cx, float cy, float radius);

private:
    void drawCloud(juce::Graphics& g, const PointCloud& cloud, float cx, float cy, float radius, juce::Colour colour,
                   float brightness);

    const AnalyserSettings& settings;
    const juce::AudioProcessorValueTreeState& parameters;
    // Parallel copies of a cloud for drawing, kept to avoid allocating on every paint.
    std::vector<float> drawLs, drawRs, drawAlphas, drawXs, drawYs;
    SurfaceCache gridCache;
    // Dots are blended into this copy of the grid while the vectorscope draws.
    DotLayer dotLayer;
};
