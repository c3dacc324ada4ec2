#pragma once

#include "bivarro/editor/AnalyserMeasurement.h"
#include "bivarro/editor/AnalyserScopePane.h"
#include "bivarro/editor/AnalyserSettings.h"
#include "bivarro/editor/AnalyserSettingsPanel.h"
#include "bivarro/editor/AnalyserTexts.h"
#include "bivarro/processor/BivarroAudioProcessor.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>

// Bivarro's analyser: a desktop window with a half-disc vectorscope of the output over the input,
// correlation and panorama bars and a folding settings panel. It measures on its own 16 ms timer,
// visible or hidden, and keeps its settings in the processor so that the next window starts
// where this one stopped.
class AnalyserWindow : public juce::DocumentWindow, private juce::Timer
{
public:
    static constexpr int titleBarHeight = 26;
    static constexpr int mainDesignWidth = 600;
    static constexpr int panelDesignWidth = AnalyserSettingsPanel::designWidth;
    static constexpr int openDesignWidth = mainDesignWidth + panelDesignWidth;
    static constexpr int designHeight = AnalyserSettingsPanel::designHeight;

    explicit AnalyserWindow(BivarroAudioProcessor& p);
    ~AnalyserWindow() override;

    // Shows the window; beside the given top-level bounds when it snaps to the plug-in.
    void showBeside(juce::Rectangle<int> pluginScreenBounds);

    void setAnalyserSpanish(bool spanish);

    void paint(juce::Graphics& g) override;
    void resized() override;
    void moved() override;
    void activeWindowStatusChanged() override;
    int getDesktopWindowStyleFlags() const override;
    void closeButtonPressed() override;
    void timerCallback() override;

    void toggleConfigPanel();

    std::function<void()> onClose;

private:
    friend struct AnalyserWindowProbe;
    class RootComp;

    void buildContent();
    void updateCoefficients();
    void applyResizeLimits();
    void placeFromSavedBounds(int savedX, int savedY, int savedW, int savedH);
    const AnalyserTexts& texts() const { return AnalyserTexts::forLanguage(inSpanish); }

    BivarroAudioProcessor& processor;
    AnalyserSettings settings;
    bool inSpanish = false;
    AnalyserMeasurement measurement;
    bool cfgOpen = false;
    // Moves and resizes made while the window is being built are not the user's: they must not
    // overwrite the saved bounds.
    bool constructed = false;
    AnalyserScopePane scopePane{settings, measurement, processor.apvts};
    AnalyserSettingsPanel panel{settings, processor.settings};
    juce::TextButton gearButton;
    juce::TooltipWindow tooltipWindow{this, 400};

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(AnalyserWindow)
};
