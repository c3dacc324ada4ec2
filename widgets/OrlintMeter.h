#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>
#include <memory>

// Vertical peak/RMS level meter with peak hold, fed by its owner's timer through pushLevels.
// Alt+right-click opens a small settings panel beside it; Shift+click toggles the hold mode and a
// click on the readout clears the held peak.
// Its own 16 ms timer runs only while a tick can still change something (a level above silence, a
// repaint asked for, a held peak waiting or fading) and, once fed, ticks in step with the feed, so
// that an idle editor's meter wakes the process no more often than the editor does.
class OrlintMeter : public juce::Component, public juce::Timer, public juce::TooltipClient
{
public:
    static const juce::Colour kColBg;
    static const juce::Colour kColBorder;
    static const juce::Colour kColAccent;
    static const juce::Colour kColTextDim;
    static const juce::Colour kColGreen;
    static const juce::Colour kColYellow;
    static const juce::Colour kColOrange;
    static const juce::Colour kColRed;

    OrlintMeter();
    ~OrlintMeter() override;

    void mouseDown(const juce::MouseEvent& e) override;
    void paint(juce::Graphics& g) override;
    void resized() override;
    juce::String getTooltip() override;
    void timerCallback() override;

    void pushLevels(float newPeakDb, float newRmsDb);
    void applySettings(float newAttackMs, float newReleaseMs, float newRmsWindowMs, float newBrightness);
    void setHoldEnabled(bool on);
    bool isHoldEnabled() const { return holdEnabled; }
    void setScaleSide(int side);
    void setChannelLabel(const juce::String& text);

    // The peak hold's time source in milliseconds; monotonic by default, replaceable for tests.
    void setClock(std::function<double()> newClock);

    // Per-tick coefficient of a 16 ms timer for a time constant in ms; anything not above 0 is instant.
    static float coefFromMs(float ms);

    std::function<void(float attackMs, float releaseMs, float rmsWindowMs, float brightness)> onSettingsChanged;
    std::function<void(bool)> onHoldChanged;

    // Options the owner sets right after construction. The gain plug-ins open the panel without
    // the click-catching overlay and narrow the peak column by the bar's width.
    bool closeOnOutsideClick = true;
    bool adaptivePeakInset = false;

private:
    // The settings panel's parts, each in a file of its own.
    class SettingsKnobLAF;
    class ResetSlider;
    class SettingsPanel;
    class SettingsOverlay;

    friend struct OrlintMeterProbe;

    void toggleSettingsPanel();
    void openSettingsPanel();
    void closeSettingsPanel();
    void placeSettingsPanel();
    void setRmsWindow(float windowMs);

    // What the bar, the hold marker and the readout show, in the units they are drawn in: a level
    // change too small to move a row leaves them equal, and nothing is repainted for it.
    struct BarLook
    {
        int peakTop, peakTailTop, rmsTop, rmsTailTop;
        bool peakOver, rmsOver;
        bool operator==(const BarLook&) const = default;
    };
    struct MarkerLook
    {
        float y, alpha;
        bool holdMode;
        bool operator==(const MarkerLook&) const = default;
    };
    struct ReadoutLook
    {
        float held;
        bool holdMode, lit;
        bool operator==(const ReadoutLook&) const = default;
    };
    BarLook barLook() const;
    MarkerLook markerLook() const;
    ReadoutLook readoutLook() const;
    juce::Rectangle<int> markerArea(const MarkerLook& look) const;
    // Repaints the parts whose look changed since they were last asked for, or everything.
    void repaintChangedParts();
    void repaintAll();
    bool tickCanChangeAnything() const;
    // Starts the timer when a tick has work to do; fed is true when called from the owner's feed,
    // which also moves a timer started elsewhere into the feed's step.
    void startTicksIfNeeded(bool fed);
    int rowTop(float db) const;
    int tailRowTop(float db) const;

    void updateLayout();
    float dbToY(float db) const;
    void paintBar(juce::Graphics& g);
    void drawScale(juce::Graphics& g);
    void drawReadout(juce::Graphics& g);
    static juce::String readoutText(float heldDb);

    std::unique_ptr<SettingsOverlay> settingsOverlay;

    int scaleSide = 2;
    juce::String channelLabel;

    bool layoutValid = false;
    juce::Rectangle<float> barRect, readoutRect, scaleRect, labelRect, innerRect;

    float peakDb = -99.0f;
    float rmsDb = -99.0f;
    float heldPeakDb = -99.0f;
    double holdTimeMs = 0.0;
    float holdAlpha = 0.0f;
    bool holdFading = false;
    bool holdEnabled = false;
    bool hasNewLevels = false;
    bool needsRepaint = false;
    bool tickingInStep = false;
    BarLook shownBar{};
    MarkerLook shownMarker{};
    ReadoutLook shownReadout{};

    float attackMs = 1.0f;
    float releaseMs = 200.0f;
    float rmsWindowMs = 300.0f;
    float brightness = 84.0f;
    float attackCoef = coefFromMs(1.0f);
    float releaseCoef = coefFromMs(200.0f);
    float rmsRiseCoef = coefFromMs(50.0f);
    float rmsFallCoef = coefFromMs(300.0f);

    std::unique_ptr<SettingsPanel> settingsPanel;

public:
    juce::String tooltipText;

private:
    std::function<double()> clock = [] { return juce::Time::getMillisecondCounterHiRes(); };

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(OrlintMeter)
};
