#pragma once

#include <juce_core/juce_core.h>

// Every text of the analyser window in one language.
struct AnalyserTexts
{
    juce::String windowName, title, heading, scopeSection, dots, envelope;
    juce::String zoom, release, density, inBright, outBright, triangle;
    juce::String readingsSection, relCorr, relPan, windowSection, snap, onTop, snapTip, onTopTip;

    static const AnalyserTexts& forLanguage(bool spanish);
};
