#include "widgets/OrlintKnob.h"

#include "widgets/OrzFonts.h"
#include "widgets/OrzSig.h"

#include <cmath>
#include <utility>

const juce::Colour OrlintKnob::kColAccent{0xffdaa520};
const juce::Colour OrlintKnob::kColAccentGlow{0x33daa520};
const juce::Colour OrlintKnob::kColTrackInactive{0xff4a4a4a};
const juce::Colour OrlintKnob::kColBodyTop{0xff444444};
const juce::Colour OrlintKnob::kColBodyBorder{0xff606060};
const juce::Colour OrlintKnob::kColLinkedTop{0xffb8860b};
const juce::Colour OrlintKnob::kColLinkedAlt{0xff7d3c98};
const juce::Colour OrlintKnob::kColValueText{0xffeeeeee};
const juce::Colour OrlintKnob::kColNameText{0xffbbbbbb};

namespace
{
const juce::Colour highlightAccent{0xff9b59b6};
const juce::Colour editorBackground{0xff1a1a1a};

constexpr int timerIntervalMs = 16;
constexpr int openMs = 200;
constexpr int closeMs = 180;
constexpr size_t maxTrailEntries = 50;
constexpr double defaultTolerance = 0.0001;
// Wheel steps closer together than this form one gesture, so a host records one undo step.
constexpr int wheelGestureMs = 300;

// One tick of a fade towards 0. Repeated float steps leave a residue that draws nothing but
// would cost an extra tick, so it counts as 0.
float fadeStep(float v, float step)
{
    v -= step;
    return v > 1.0e-4f ? v : 0.0f;
}

// Rounds halves away from zero onto multiples of the step.
double snapToStep(double v, double step)
{
    return step * std::round(v / step);
}
} // namespace

void OrlintKnob::RoundedEditorLAF::fillTextEditorBackground(juce::Graphics& g, int width, int height, juce::TextEditor&)
{
    g.setColour(editorBackground);
    g.fillRoundedRectangle(0.0f, 0.0f, (float)width, (float)height, 3.0f);
}

void OrlintKnob::RoundedEditorLAF::drawTextEditorOutline(juce::Graphics& g, int width, int height, juce::TextEditor&)
{
    g.setColour(accentColour.withAlpha((juce::uint8)0xcc));
    g.drawRoundedRectangle(0.5f, 0.5f, (float)width - 1.0f, (float)height - 1.0f, 3.0f, 1.0f);
}

OrlintKnob::OrlintKnob() : juce::Slider(juce::Slider::RotaryVerticalDrag, juce::Slider::NoTextBox)
{
    setTextBoxStyle(juce::Slider::NoTextBox, true, 0, 0);
    setOpaque(false);
}

OrlintKnob::~OrlintKnob()
{
    stopTimer();
    // The owner may be gone already: end what is open without its hooks.
    onDragStart = nullptr;
    onDragEnd = nullptr;
    finishGestures();
    if (valueEditor != nullptr)
    {
        juce::Desktop::getInstance().getAnimator().cancelAnimation(valueEditor.get(), false);
        valueEditor->setLookAndFeel(nullptr);
        valueEditor.reset();
        editorLookAndFeel.reset();
    }
}

void OrlintKnob::setParamName(const juce::String& name)
{
    paramName = name;
    const auto lower = name.toLowerCase();
    shownName = lower.substring(0, 1).toUpperCase() + lower.substring(1);
    setTitle(name);
    setDescription("Knob: " + name);
    repaint();
}

void OrlintKnob::resized()
{
    juce::Slider::resized();
    geometryValid = false;
}

float OrlintKnob::angleOfValue(double value)
{
    return kStartAngle + kSweepAngle * (float)valueToProportionOfLength(value);
}

double OrlintKnob::clampToRange(double v) const
{
    // Written so that NaN, like anything below the range, lands on the minimum.
    return v >= getMinimum() ? juce::jmin(v, getMaximum()) : getMinimum();
}

double OrlintKnob::stepSize(bool shift) const
{
    if (shift)
        return 0.1;
    return dragStep > 0.0 ? dragStep : 0.5;
}

void OrlintKnob::setValueNow(double v)
{
    setValue(v, juce::sendNotificationSync);
}

void OrlintKnob::setHostGesture(bool open)
{
    if (open == (hostGesture != nullptr))
        return;

    // The drag hooks stand for mouse drags only; keep them out of this notification.
    const auto dragStartHook = std::exchange(onDragStart, nullptr);
    const auto dragEndHook = std::exchange(onDragEnd, nullptr);
    if (open)
        hostGesture = std::make_unique<juce::Slider::ScopedDragNotification>(*this);
    else
        hostGesture.reset();
    onDragStart = dragStartHook;
    onDragEnd = dragEndHook;
}

void OrlintKnob::setValueAsGesture(double v)
{
    setHostGesture(true);
    setValueNow(v);
    setHostGesture(false);
}

void OrlintKnob::finishGestures()
{
    setHostGesture(false);
    if (dragGesture != nullptr)
    {
        dragging = false;
        fineMode = false;
        dragGesture.reset();
    }
}

void OrlintKnob::startAnimationTimer()
{
    if (!isTimerRunning())
        startTimer(timerIntervalMs);
}

//==============================================================================
void OrlintKnob::mouseDown(const juce::MouseEvent& e)
{
    // The framework delivers mouse events to disabled components too; a disabled knob shows a value
    // and takes no gesture.
    if (!isEnabled() || valueEditor != nullptr || closingEditor)
        return;

    if (e.mods.isAltDown())
    {
        if (onAltClick)
            onAltClick();
        return;
    }

    setHostGesture(false);
    anchorScreenY = e.getScreenY();
    anchorValue = getValue();
    lastShiftDown = fineMode = e.mods.isShiftDown();
    dragging = true;
    lastTrailAngle = -999.0f;
    trail.clear();
    startAnimationTimer();

    dragGesture = std::make_unique<juce::Slider::ScopedDragNotification>(*this);
    repaint();
}

void OrlintKnob::mouseDrag(const juce::MouseEvent& e)
{
    if (!dragging || !isEnabled())
        return;

    const bool shift = e.mods.isShiftDown();
    const int screenY = e.getScreenY();
    fineMode = shift;
    if (shift != lastShiftDown)
    {
        // Continue from the value reached, at the new rate, without a jump.
        anchorValue = getValue();
        anchorScreenY = screenY;
        lastShiftDown = shift;
    }

    const double dy = anchorScreenY - screenY;
    double v;
    if (proportionalDrag)
    {
        const double p = valueToProportionOfLength(getValue()) + dy * (shift ? 0.0008 : 0.003);
        v = proportionOfLengthToValue(juce::jlimit(0.0, 1.0, p));
        anchorValue = v;
        anchorScreenY = screenY;
    }
    else
    {
        const double delta = (getMaximum() - getMinimum()) * dy / (shift ? 2600.0 : 1200.0);
        v = continuousDrag ? anchorValue + delta : snapToStep(anchorValue + delta, stepSize(shift));
        v = clampToRange(v);
    }

    setValueNow(v);
}

void OrlintKnob::mouseUp(const juce::MouseEvent&)
{
    if (!dragging)
        return;

    dragging = false;
    fineMode = false;
    dragGesture.reset();
}

void OrlintKnob::mouseWheelMove(const juce::MouseEvent& e, const juce::MouseWheelDetails& wheel)
{
    if (!isEnabled() || valueEditor != nullptr || closingEditor || juce::exactlyEqual(wheel.deltaY, 0.0f))
        return;

    const double dir = wheel.deltaY > 0.0f ? 1.0 : -1.0;
    const bool shift = e.mods.isShiftDown();
    const double old = getValue();
    double v;
    if (proportionalDrag)
    {
        const double p = valueToProportionOfLength(old) + dir * (shift ? 0.005 : 0.02);
        v = proportionOfLengthToValue(juce::jlimit(0.0, 1.0, p));
    }
    else if (continuousDrag)
    {
        v = clampToRange(old + dir * (getMaximum() - getMinimum()) * (shift ? 0.002 : 0.01));
    }
    else
    {
        const double s = stepSize(shift);
        v = clampToRange(snapToStep(old + dir * s, s));
    }

    // A step smaller than half the slider's interval would snap straight back: take one
    // interval instead, so that every wheel event moves the knob.
    const double interval = getInterval();
    if (interval > 0.0 && juce::approximatelyEqual(getNormalisableRange().snapToLegalValue(v), old))
        v = clampToRange(old + dir * interval);

    setHostGesture(true);
    setValueNow(v);

    // The burst's gesture ends once the wheel has rested; a later step postpones the end.
    const int step = ++wheelSteps;
    const juce::Component::SafePointer<OrlintKnob> safe(this);
    juce::Timer::callAfterDelay(wheelGestureMs,
                                [safe, step]
                                {
                                    if (safe != nullptr && safe->wheelSteps == step)
                                        safe->setHostGesture(false);
                                });
}

void OrlintKnob::mouseDoubleClick(const juce::MouseEvent& e)
{
    if (!isEnabled())
        return;

    // A link look flips only when the owner listens, since keeping the pair in step is its job.
    const auto toggleLook = [this](bool& flag, const std::function<void(bool)>& callback)
    {
        if (!callback)
            return;
        flag = !flag;
        geometryValid = false;
        repaint();
        callback(flag);
    };

    if (e.mods.isCtrlDown())
    {
        setValueAsGesture(getDoubleClickReturnValue());
        resetFlash = 1.0f;
        trail.clear();
        startAnimationTimer();
        repaint();
        if (onResetToDefault)
            onResetToDefault();
    }
    else if (e.mods.isShiftDown())
    {
        toggleLook(linked, onLinkToggled);
    }
    else if (e.mods.isAltDown())
    {
        toggleLook(invertLinked, onInvertLinkToggled);
    }
    else if (!closingEditor)
    {
        if (valueEditor != nullptr)
            commitTextEditor();
        else
            openTextEditor();
    }
}

//==============================================================================
void OrlintKnob::rebuildGeometry()
{
    const int w = getWidth();
    if (w <= 3)
        return;

    c = (float)w / 2.0f;
    bodyRadius = 0.42f * c;
    arcRadius = 0.88f * c;
    pointerInnerRadius = bodyRadius + 0.04f * c;
    centre = {c, c};
    valueTextY = c + bodyRadius + 2.0f;
    bodyBounds = {c - bodyRadius, c - bodyRadius, 2.0f * bodyRadius, 2.0f * bodyRadius};
    squareBounds = {0.0f, 0.0f, 2.0f * c, 2.0f * c};

    trackPath.clear();
    trackPath.addCentredArc(c, c, arcRadius, arcRadius, 0.0f, kStartAngle, kStartAngle + kSweepAngle, true);
    bodyPath.clear();
    bodyPath.addEllipse(bodyBounds);

    const auto at = [this](float k) { return centre + juce::Point<float>(k, k) * bodyRadius; };
    shadeGradient =
        juce::ColourGradient(juce::Colour(0x00000000), at(-0.6f), juce::Colour(0x99000000), at(0.8f), false);
    shineGradient =
        juce::ColourGradient(juce::Colour(0x58ffffff), at(-0.6f), juce::Colour(0x00ffffff), at(0.1f), false);
    vignetteGradient = juce::ColourGradient(juce::Colour(0x00000000), centre, juce::Colour(0x55000000), at(0.7f), true);

    valueFont = OrzFonts::font(juce::jlimit(10.5f, 14.5f, 0.18f * (float)w + 0.5f) * fontScale);
    nameFont = OrzFonts::font(juce::jlimit(9.5f, 12.5f, 0.16f * (float)w + 0.5f) * fontScale);
    geometryValid = true;
}

void OrlintKnob::drawPointer(juce::Graphics& g, float angle, juce::Colour colour) const
{
    const juce::Point<float> dir(std::sin(angle), -std::cos(angle));
    const juce::Point<float> across(-dir.y, dir.x);
    const float len = 0.1f * c;
    const auto inner = centre + dir * pointerInnerRadius;
    const auto tip = centre + dir * arcRadius;
    const auto base = tip - dir * (1.5f * len);

    g.setColour(colour);
    g.drawLine({inner, tip}, 1.3f);
    juce::Path head;
    head.addTriangle(tip, base + across * (0.5f * len), base - across * (0.5f * len));
    g.fillPath(head);
}

void OrlintKnob::paint(juce::Graphics& g)
{
    if (!geometryValid)
        rebuildGeometry();
    if (!geometryValid)
        return;

    const double v = getValue();
    const double d = getDoubleClickReturnValue();
    const float valueAngle = angleOfValue(v);
    const float defaultAngle = angleOfValue(d);
    const bool offDefault = std::abs(v - d) > defaultTolerance;
    const auto accent = highlight ? highlightAccent : kColAccent;
    const juce::PathStrokeType thin(2.2f, juce::PathStrokeType::curved, juce::PathStrokeType::rounded);

    g.setColour(kColTrackInactive);
    g.strokePath(trackPath, thin);

    if (offDefault && std::abs(valueAngle - defaultAngle) > 0.001f)
    {
        juce::Path arc;
        arc.addCentredArc(c, c, arcRadius, arcRadius, 0.0f, defaultAngle, valueAngle, true);
        g.setColour(accent.withAlpha((juce::uint8)0x33));
        g.strokePath(arc, juce::PathStrokeType(5.2f, juce::PathStrokeType::curved, juce::PathStrokeType::rounded));
        g.setColour(accent);
        g.strokePath(arc, thin);
    }

    g.setColour(invertLinked ? kColLinkedAlt : (linked ? kColLinkedTop : kColBodyTop));
    g.fillPath(bodyPath);
    g.setGradientFill(shadeGradient);
    g.fillPath(bodyPath);
    g.setGradientFill(shineGradient);
    g.fillPath(bodyPath);

    juce::Colour border;
    if (highlight)
        border = juce::Colour(0xe69b59b6);
    else if (!offDefault)
        border = kColBodyBorder;
    else
        border = (invertLinked ? highlightAccent : kColAccent)
                     .withAlpha((juce::uint8)(linked || invertLinked ? 0xe6 : 0xb2));
    g.setColour(border);
    g.drawEllipse(bodyBounds, 2.5f);

    if (fineGlow > 0.0f)
    {
        const float gl = fineGlow;
        const float rings[] = {bodyRadius + 3.0f * gl, bodyRadius + 6.0f * gl};
        const float alphas[] = {gl * 0.3764706f, gl * 0.14509805f};
        for (int i = 0; i < 2; ++i)
        {
            g.setColour(kColAccent.withAlpha(OrzSig::alphaOf(alphas[i])));
            g.drawEllipse(juce::Rectangle<float>(2.0f * rings[i], 2.0f * rings[i]).withCentre(centre), 4.0f * gl);
        }
    }

    g.setGradientFill(vignetteGradient);
    g.fillPath(bodyPath);

    if (resetFlash > 0.0f)
    {
        g.setGradientFill(juce::ColourGradient(juce::Colours::white.withAlpha(OrzSig::alphaOf(0.7f * resetFlash)),
                                               centre, juce::Colour(0x00ffffff), {centre.x + c, centre.y}, true));
        g.fillEllipse(squareBounds);
    }

    for (const auto& entry : trail)
        if (entry.alpha > 0.0f)
            drawPointer(g, entry.angle, accent.withAlpha(OrzSig::alphaOf(juce::jmin(entry.alpha * 0.15f, 1.0f))));

    drawPointer(g, valueAngle, highlight ? highlightAccent : (offDefault ? kColAccent : kColBodyBorder));

    const auto width = (float)getWidth();
    if (valueEditor == nullptr)
    {
        g.setFont(valueFont);
        g.setColour(kColValueText);
        g.drawText(getTextFromValue(v), juce::Rectangle<float>(0.0f, valueTextY, width, 14.0f),
                   juce::Justification::centred, false);
    }

    g.setFont(nameFont);
    g.setColour(kColNameText);
    g.drawText(shownName, juce::Rectangle<float>(0.0f, valueTextY + 14.0f, width, 13.0f), juce::Justification::centred,
               false);
}

void OrlintKnob::timerCallback()
{
    if (!isVisible())
        return;

    if (dragging)
    {
        const float a = angleOfValue(getValue());
        if (std::abs(a - lastTrailAngle) > 0.001f)
        {
            trail.push_back({a, 1.0f});
            while (trail.size() > maxTrailEntries)
                trail.pop_front();
            lastTrailAngle = a;
        }
    }

    bool animating = false;
    for (auto& entry : trail)
    {
        if (entry.alpha > 0.0f)
        {
            entry.alpha = fadeStep(entry.alpha, 1.0f / 120.0f);
            animating = animating || entry.alpha > 0.0f;
        }
    }

    if (resetFlash > 0.0f)
    {
        resetFlash = fadeStep(resetFlash, 1.0f / 18.0f);
        animating = true;
    }
    else if (dragging)
    {
        animating = true;
    }

    if (fineMode && fineGlow < 1.0f)
    {
        fineGlow = juce::jmin(fineGlow + 0.125f, 1.0f);
        animating = true;
    }
    else if (!fineMode && fineGlow > 0.0f)
    {
        fineGlow = fadeStep(fineGlow, 1.0f / 12.0f);
        animating = true;
    }

    if (animating)
        repaint();
    else if (!dragging)
        stopTimer();
}

//==============================================================================
void OrlintKnob::openTextEditor()
{
    if (!geometryValid)
        rebuildGeometry();

    const int w = getWidth();
    valueEditor.reset();
    editorLookAndFeel = std::make_unique<RoundedEditorLAF>(kColAccent);
    valueEditor = std::make_unique<juce::TextEditor>(juce::String());
    valueEditor->setLookAndFeel(editorLookAndFeel.get());

    const double v = getValue();
    const bool useTextFunction = !plainTypedEntry && textFromValueFunction != nullptr;
    // Without a change message: a pending one would put this text back over what the user types.
    valueEditor->setText(useTextFunction ? textFromValueFunction(v) : juce::String(v, 2), false);
    valueEditor->selectAll();
    valueEditor->setFont(OrzFonts::font(juce::jlimit(10.0f, 14.0f, 0.18f * (float)w)));

    valueEditor->setColour(juce::TextEditor::backgroundColourId, editorBackground);
    valueEditor->setColour(juce::TextEditor::textColourId, kColAccent);
    valueEditor->setColour(juce::TextEditor::outlineColourId, kColAccent.withAlpha((juce::uint8)0xcc));
    valueEditor->setColour(juce::TextEditor::focusedOutlineColourId, kColAccent);
    valueEditor->setJustification(juce::Justification::centred);
    valueEditor->setIndents(4, 2);

    const juce::Component::SafePointer<OrlintKnob> safe(this);
    valueEditor->onReturnKey = [safe]
    {
        if (safe != nullptr)
            safe->commitTextEditor();
    };
    valueEditor->onFocusLost = [safe]
    {
        if (safe != nullptr)
            safe->commitTextEditor();
    };
    valueEditor->onEscapeKey = [safe]
    {
        if (safe != nullptr)
            safe->cancelTextEditor();
    };

    addAndMakeVisible(*valueEditor);

    const int fullW = juce::roundToInt((double)w / 2.0);
    const int x0 = (w - fullW) / 2;
    const int yi = juce::roundToInt(valueTextY);
    valueEditor->setBounds(x0 + fullW / 4, yi + 8, fullW / 2, 11);
    juce::Desktop::getInstance().getAnimator().animateComponent(valueEditor.get(), {x0, yi, fullW, 22}, 1.0f, openMs,
                                                                false, 0.0, 0.0);

    valueEditor->grabKeyboardFocus();
    repaint();
}

void OrlintKnob::commitTextEditor()
{
    if (valueEditor == nullptr || closingEditor)
        return;

    closingEditor = true;
    const auto text = valueEditor->getText();
    const double typed =
        (!plainTypedEntry && valueFromTextFunction != nullptr) ? valueFromTextFunction(text) : text.getDoubleValue();

    // Typing the default flashes the knob like a reset does.
    if (std::abs(typed - getDoubleClickReturnValue()) <= defaultTolerance)
    {
        resetFlash = 1.0f;
        startAnimationTimer();
    }

    closeTextEditor(typed);
}

void OrlintKnob::cancelTextEditor()
{
    if (valueEditor == nullptr || closingEditor)
        return;

    closingEditor = true;
    closeTextEditor(std::nullopt);
}

void OrlintKnob::closeTextEditor(std::optional<double> typedValue)
{
    const auto b = valueEditor->getBounds();
    juce::Desktop::getInstance().getAnimator().animateComponent(
        valueEditor.get(),
        {b.getX() + b.getWidth() / 2 - b.getWidth() / 4, b.getY() + 8, b.getWidth() / 2, b.getHeight() / 2}, 0.0f,
        closeMs, false, 0.0, 0.0);

    const juce::Component::SafePointer<OrlintKnob> safe(this);
    juce::Timer::callAfterDelay(closeMs,
                                [safe, typedValue]
                                {
                                    if (safe != nullptr)
                                        safe->finishClosing(typedValue);
                                });
}

void OrlintKnob::finishClosing(std::optional<double> typedValue)
{
    if (valueEditor != nullptr)
    {
        juce::Desktop::getInstance().getAnimator().cancelAnimation(valueEditor.get(), false);
        valueEditor->setLookAndFeel(nullptr);
        // closingEditor stays set while the editor dies, so its focus loss commits nothing.
        valueEditor.reset();
    }
    editorLookAndFeel.reset();
    closingEditor = false;

    if (typedValue.has_value())
        setValueAsGesture(clampToRange(*typedValue));
    repaint();
}
