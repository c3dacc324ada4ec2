#pragma once

#include "bivarro/editor/AnalyserMeasurement.h"
#include "bivarro/editor/AnalyserSettings.h"
#include "bivarro/editor/ReadingsBars.h"
#include "bivarro/editor/Vectorscope.h"

#include <juce_gui_basics/juce_gui_basics.h>

// The analyser's main pane: the vectorscope with the correlation and panorama bars below it,
// showing what the window's last tick measured.
class AnalyserScopePane : public juce::Component
{
public:
    using Readings = ReadingsBars::Readings;

    AnalyserScopePane(const AnalyserSettings& settings, const AnalyserMeasurement& measurement,
                      const juce::AudioProcessorValueTreeState& parameters);

    void paint(juce::Graphics& g) override;

    // Asks for a repaint of only what the last tick can have changed.
    void repaintChangedParts();

    // The parts of a width x height pane that a tick can change, given the readings shown before
    // it and those after it.
    static juce::RectangleList<int> changedParts(int width, int height, Readings before, Readings now);

private:
    friend struct AnalyserWindowProbe;

    Readings readings() const;

    const AnalyserMeasurement& measurement;
    Vectorscope vectorscope;
    ReadingsBars readingsBars;
    // The readings the pane shows once the repaints asked for so far have been done.
    Readings shown;
};
