#pragma once

#include "bivarro/editor/AnalyserSettings.h"
#include "bivarro/editor/AnalyserTexts.h"
#include "widgets/OrlintKnob.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>
#include <vector>

// The analyser window's folding settings panel: the scope's mode and look, the readings' release
// times and the window's own switches. Its controls edit the window's settings in place and save
// the ones the window's tick does not. It is laid out once in its design space and scaled as a
// whole to its current size.
class AnalyserSettingsPanel : public juce::Component
{
public:
    static constexpr int designWidth = 190;
    static constexpr int designHeight = 400;

    AnalyserSettingsPanel(AnalyserSettings& values, BivarroSettings& saved);
    ~AnalyserSettingsPanel() override;

    // Creates the captions, buttons and knobs in the language of texts.
    void buildConfigPanel(const AnalyserTexts& texts);
    // Builds them anew in another language, keeping the values and the scale.
    void rebuild(const AnalyserTexts& texts);

    void updateModeBtnState();
    void updateWindowBtnStates();
    void updateReleaseScopeRange();
    void setKnobsFromMembers();

    // After the shown mode changed.
    std::function<void()> onModeChanged;
    // After a release time changed.
    std::function<void()> onReleaseChanged;
    // After the always-on-top switch changed.
    std::function<void()> onAlwaysOnTopChanged;

    void paint(juce::Graphics& g) override;
    void resized() override;

private:
    friend struct AnalyserWindowProbe;

    void capture();
    static void setButtonLook(juce::TextButton& b, bool on);

    AnalyserSettings& values;
    BivarroSettings& saved;
    OrlintKnob zoomKnob, releaseKnob, relCorrKnob, relPanKnob, triangleKnob, densityKnob, inBrightKnob, outBrightKnob;
    juce::TextButton dotsButton, envelopeButton, snapButton, onTopButton;
    juce::OwnedArray<juce::Label> labels;
    // Each child's design bounds and, for a label, its design font height.
    std::vector<juce::Rectangle<int>> baseBounds;
    std::vector<float> baseFontHeights;
    bool captured = false;
    // Set when the children were built anew, so that the next layout captures them again.
    bool panelRebuilt = false;
};
