#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <deque>
#include <functional>
#include <memory>
#include <optional>

// The rotary knob of every editor. It keeps the slider's value model (range, interval, skew,
// double-click value, text functions, attachments) but does its own mouse handling and drawing.
class OrlintKnob : public juce::Slider, public juce::Timer
{
public:
    // The look of the typed-value editor: a dark rounded field with an accent outline.
    class RoundedEditorLAF : public juce::LookAndFeel_V4
    {
    public:
        explicit RoundedEditorLAF(juce::Colour accent) : accentColour(accent) {}

        void fillTextEditorBackground(juce::Graphics& g, int width, int height, juce::TextEditor&) override;
        void drawTextEditorOutline(juce::Graphics& g, int width, int height, juce::TextEditor&) override;

        juce::Colour accentColour;
    };

    // One recorded pointer position of a drag; alpha fades from 1 to 0.
    struct TrailEntry
    {
        float angle = 0.0f;
        float alpha = 0.0f;
    };

    OrlintKnob();
    ~OrlintKnob() override;

    void mouseDown(const juce::MouseEvent& e) override;
    void mouseDrag(const juce::MouseEvent& e) override;
    void mouseUp(const juce::MouseEvent& e) override;
    void mouseDoubleClick(const juce::MouseEvent& e) override;
    void mouseWheelMove(const juce::MouseEvent& e, const juce::MouseWheelDetails& wheel) override;
    void paint(juce::Graphics& g) override;
    void resized() override;
    void timerCallback() override;

    void setParamName(const juce::String& name);
    void rebuildGeometry();
    void openTextEditor();
    void commitTextEditor();
    void cancelTextEditor();
    // Ends a drag or wheel gesture still open, while the owner's parameter attachment exists.
    void finishGestures();

    std::function<void(bool)> onLinkToggled;
    std::function<void()> onResetToDefault;
    std::function<void(bool)> onInvertLinkToggled;
    std::function<void()> onAltClick;
    bool proportionalDrag = false;
    bool linked = false;
    bool invertLinked = false;
    bool highlight = false;
    float fontScale = 1.0f;
    bool continuousDrag = false;
    double dragStep = 0.0;
    // The typed-value editor shows and reads bare numbers, ignoring the slider's text functions.
    bool plainTypedEntry = false;

    static const juce::Colour kColAccent;
    static const juce::Colour kColAccentGlow;
    static const juce::Colour kColTrackInactive;
    static const juce::Colour kColBodyTop;
    static const juce::Colour kColBodyBorder;
    static const juce::Colour kColLinkedTop;
    static const juce::Colour kColLinkedAlt;
    static const juce::Colour kColValueText;
    static const juce::Colour kColNameText;

    // The scale runs clockwise from 225 degrees over 270 degrees, open at the bottom.
    static constexpr float kStartAngle = 3.926991f;
    static constexpr float kSweepAngle = 4.712389f;

private:
    friend struct OrlintKnobProbe;

    float angleOfValue(double value);
    double clampToRange(double v) const;
    double stepSize(bool shift) const;
    void setValueNow(double v);
    void startAnimationTimer();
    void closeTextEditor(std::optional<double> typedValue);
    void finishClosing(std::optional<double> typedValue);
    void drawPointer(juce::Graphics& g, float angle, juce::Colour colour) const;
    void setHostGesture(bool open);
    void setValueAsGesture(double v);

    float c = 0.0f;
    float bodyRadius = 0.0f;
    float arcRadius = 0.0f;
    float pointerInnerRadius = 0.0f;
    juce::Point<float> centre;
    float valueTextY = 0.0f;
    juce::Rectangle<float> bodyBounds;
    juce::Rectangle<float> squareBounds;
    juce::Path trackPath;
    juce::Path bodyPath;
    juce::ColourGradient shadeGradient;
    juce::ColourGradient shineGradient;
    juce::ColourGradient vignetteGradient;
    bool geometryValid = false;
    juce::Font valueFont{juce::FontOptions(14.0f)};
    juce::Font nameFont{juce::FontOptions(14.0f)};

    // Declared before valueEditor so that the editor dies first.
    std::unique_ptr<RoundedEditorLAF> editorLookAndFeel;
    std::unique_ptr<juce::TextEditor> valueEditor;

    juce::String paramName;
    juce::String shownName;
    bool dragging = false;
    bool lastShiftDown = false;
    bool fineMode = false;
    bool closingEditor = false;
    float resetFlash = 0.0f;
    float fineGlow = 0.0f;
    int anchorScreenY = 0;
    double anchorValue = 0.0;
    float lastTrailAngle = -999.0f;
    std::deque<TrailEntry> trail;

    // Open gestures, seen by the slider's listeners (a parameter attachment tells the host). A drag
    // also raises the owner's drag hooks; the wheel, resets and typed values do not.
    std::unique_ptr<juce::Slider::ScopedDragNotification> dragGesture;
    std::unique_ptr<juce::Slider::ScopedDragNotification> hostGesture;
    int wheelSteps = 0;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(OrlintKnob)
};
