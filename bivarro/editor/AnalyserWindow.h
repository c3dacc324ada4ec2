#pragma once

#include "bivarro/editor/AnalyserMeasurement.h"
#include "bivarro/editor/AnalyserTexts.h"
#include "bivarro/editor/DotLayer.h"
#include "bivarro/editor/ReadingsBars.h"
#include "bivarro/processor/BivarroAudioProcessor.h"
#include "widgets/OrlintKnob.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <array>
#include <functional>
#include <vector>

// Bivarro's analyser: a desktop window with a half-disc vectorscope of the output over the input,
// correlation and panorama bars and a folding settings panel. It measures on its own 16 ms timer,
// visible or hidden, and keeps its settings in the processor so that the next window starts
// where this one stopped.
class AnalyserWindow : public juce::DocumentWindow, private juce::Timer
{
public:
    static constexpr int titleBarHeight = 26;
    static constexpr int mainDesignWidth = 600;
    static constexpr int openDesignWidth = 790;
    static constexpr int panelDesignWidth = 190;
    static constexpr int designHeight = 400;

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
    void drawVectorscope(juce::Graphics& g, juce::Rectangle<int> area);
    void drawScopePoints(juce::Graphics& g, const std::vector<float>& ls, const std::vector<float>& rs,
                         const std::vector<float>& alphas, float cx, float cy, float radius, float zoom,
                         juce::Colour colour, float brightness);

    std::function<void()> onClose;

private:
    friend struct AnalyserWindowProbe;
    class RootComp;
    class MainComp;
    class CfgComp;

    void readSettings();
    void buildContent();
    void buildConfigPanel();
    void updateModeBtnState();
    void updateWindowBtnStates();
    void updateReleaseScopeRange();
    void updateCoefficients();
    void setKnobsFromMembers();
    void applyResizeLimits();
    void placeFromSavedBounds(int savedX, int savedY, int savedW, int savedH);
    void paintMain(juce::Graphics& g, int width, int height);
    using Readings = ReadingsBars::Readings;
    // The parts of a width x height scope pane that a tick can change, given the readings shown
    // before it and those after it.
    static juce::RectangleList<int> changedParts(int width, int height, Readings before, Readings now);
    void repaintChangedParts();
    void drawCloud(juce::Graphics& g, const PointCloud& cloud, float cx, float cy, float radius, juce::Colour colour,
                   float brightness);
    void drawGrid(juce::Graphics& g, juce::Rectangle<int> area);
    void drawWedge(juce::Graphics& g, float cx, float cy, float radius);
    static void setButtonLook(juce::TextButton& b, bool on);
    const AnalyserTexts& texts() const { return AnalyserTexts::forLanguage(inSpanish); }

    int scopeMode = 0;
    float zoom = 1.0f;
    float dotDensity = 1.0f;
    float inputBright = 0.3f;
    float outputBright = 0.88f;
    float relScope = 0.15f;
    float relCorr = 0.15f;
    float relPan = 0.15f;
    float triangleAlpha = 0.15f;
    float coefScope = 0.0f, coefCorr = 0.0f, coefPan = 0.0f;
    bool inSpanish = false;
    bool snapToPlugin = true;
    bool alwaysOnTop = true;
    BivarroAudioProcessor& processor;
    AnalyserMeasurement measurement;
    bool cfgOpen = false;
    bool panelRebuilt = false;
    // Moves and resizes made while the window is being built are not the user's: they must not
    // overwrite the saved bounds.
    bool constructed = false;
    MainComp* mainComp = nullptr;
    CfgComp* cfgComp = nullptr;
    juce::TextButton gearButton;
    OrlintKnob zoomKnob, releaseKnob, relCorrKnob, relPanKnob, triangleKnob, densityKnob, inBrightKnob, outBrightKnob;
    juce::TextButton dotsButton, envelopeButton, snapButton, onTopButton;
    juce::TooltipWindow tooltipWindow{this, 400};
    juce::OwnedArray<juce::Label> labels;
    // Parallel copies of a cloud for drawing, kept to avoid allocating on every paint.
    std::vector<float> drawLs, drawRs, drawAlphas, drawXs, drawYs;
    SurfaceCache gridCache;
    ReadingsBars readingsBars;
    // The readings the pane shows once the repaints asked for so far have been done.
    Readings shown;
    // Dots are blended into this copy of the grid while the vectorscope draws.
    DotLayer dotLayer;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(AnalyserWindow)
};
