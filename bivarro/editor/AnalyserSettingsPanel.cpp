#include "bivarro/editor/AnalyserSettingsPanel.h"

#include <algorithm>

namespace
{
juce::Font boldFont(float height)
{
    return juce::Font(juce::FontOptions(height, juce::Font::bold));
}
} // namespace

AnalyserSettingsPanel::AnalyserSettingsPanel(AnalyserSettings& v, BivarroSettings& s) : values(v), saved(s) {}

AnalyserSettingsPanel::~AnalyserSettingsPanel()
{
    for (auto* b : {&dotsButton, &envelopeButton, &snapButton, &onTopButton})
        b->onClick = nullptr;
    labels.clear(true);
}

void AnalyserSettingsPanel::paint(juce::Graphics& g)
{
    g.fillAll(juce::Colour(0xff222222));
    g.setColour(juce::Colour(0xff3a3a3a));
    g.drawLine(0.0f, 0.0f, 0.0f, static_cast<float>(getHeight()), 1.0f);
}

void AnalyserSettingsPanel::resized()
{
    if (panelRebuilt)
    {
        baseBounds.clear();
        baseFontHeights.clear();
        panelRebuilt = false;
        if (getNumChildComponents() > 0)
            capture();
    }
    else if (!captured && getNumChildComponents() > 0)
    {
        capture();
    }

    if (getNumChildComponents() != static_cast<int>(baseBounds.size()))
        return;
    const float s = std::min(static_cast<float>(getWidth()) / static_cast<float>(designWidth),
                             static_cast<float>(getHeight()) / static_cast<float>(designHeight));
    for (int i = 0; i < getNumChildComponents(); ++i)
    {
        const auto& r = baseBounds[static_cast<size_t>(i)];
        auto* child = getChildComponent(i);
        child->setBounds(juce::roundToInt(s * static_cast<float>(r.getX())),
                         juce::roundToInt(s * static_cast<float>(r.getY())),
                         juce::roundToInt(s * static_cast<float>(r.getWidth())),
                         juce::roundToInt(s * static_cast<float>(r.getHeight())));
        const float h0 = baseFontHeights[static_cast<size_t>(i)];
        if (auto* label = dynamic_cast<juce::Label*>(child); label != nullptr && h0 > 0.0f)
            label->setFont(label->getFont().withHeight(s * h0));
    }
}

void AnalyserSettingsPanel::capture()
{
    for (auto* child : getChildren())
    {
        baseBounds.push_back(child->getBounds());
        auto* label = dynamic_cast<juce::Label*>(child);
        baseFontHeights.push_back(label != nullptr ? label->getFont().getHeight() : 0.0f);
    }
    captured = true;
}

void AnalyserSettingsPanel::rebuild(const AnalyserTexts& texts)
{
    labels.clear(true);
    removeAllChildren();
    panelRebuilt = true;
    buildConfigPanel(texts);
    updateReleaseScopeRange();
    setKnobsFromMembers();
    updateModeBtnState();
    updateWindowBtnStates();
    resized();
}

void AnalyserSettingsPanel::buildConfigPanel(const AnalyserTexts& t)
{
    labels.clear(true);
    const struct
    {
        const juce::String& text;
        float height;
        juce::uint32 colour;
        int x, y, w;
    } captions[] = {{t.heading, 11.0f, 0xffdaa520, 0, 8, 190},
                    {t.scopeSection, 9.5f, 0xffaaaaaa, 8, 29, 182},
                    {t.readingsSection, 9.5f, 0xffaaaaaa, 8, 202, 182},
                    {t.windowSection, 9.5f, 0xffaaaaaa, 8, 363, 182}};
    for (const auto& c : captions)
    {
        auto* label = labels.add(new juce::Label({}, c.text));
        label->setFont(boldFont(c.height));
        label->setColour(juce::Label::textColourId, juce::Colour(c.colour));
        label->setColour(juce::Label::backgroundColourId, juce::Colours::transparentBlack);
        label->setBounds(c.x, c.y, c.w, 13);
        addAndMakeVisible(label);
    }

    const struct
    {
        juce::TextButton& button;
        const juce::String& text;
        juce::Rectangle<int> bounds;
    } buttons[] = {{dotsButton, t.dots, {8, 44, 85, 18}},
                   {envelopeButton, t.envelope, {97, 44, 85, 18}},
                   {snapButton, t.snap, {8, 378, 85, 16}},
                   {onTopButton, t.onTop, {97, 378, 85, 16}}};
    for (const auto& b : buttons)
    {
        b.button.setButtonText(b.text);
        b.button.setClickingTogglesState(false);
        b.button.setWantsKeyboardFocus(false);
        b.button.setColour(juce::TextButton::buttonOnColourId, juce::Colour(0xffb8860b));
        b.button.setColour(juce::TextButton::textColourOnId, juce::Colours::black);
        setButtonLook(b.button, false);
        b.button.setBounds(b.bounds);
        addAndMakeVisible(b.button);
    }
    updateModeBtnState();
    setButtonLook(snapButton, values.snapToPlugin);
    setButtonLook(onTopButton, values.alwaysOnTop);
    snapButton.setTooltip(t.snapTip);
    onTopButton.setTooltip(t.onTopTip);

    // Each knob edits one value; some save it at once, and a release time changes the coefficients.
    const struct
    {
        OrlintKnob& knob;
        const juce::String& name;
        double min, max, interval, def;
        float AnalyserSettings::*value;
        int x, y;
        std::atomic<float>* savedAtOnce;
        bool isRelease;
    } knobs[] = {{zoomKnob, t.zoom, 0.5, 4.0, 0.05, 1.0, &AnalyserSettings::zoom, 7, 66, nullptr, false},
                 {releaseKnob, t.release, 0.05, 1.0, 0.01, 0.15, &AnalyserSettings::relScope, 70, 66, nullptr, true},
                 {densityKnob, t.density, 0.1, 2.0, 0.05, 1.0, &AnalyserSettings::dotDensity, 133, 66,
                  &saved.analyserDotDensity, false},
                 {inBrightKnob, t.inBright, 0.05, 1.0, 0.01, 0.3, &AnalyserSettings::inputBright, 7, 134,
                  &saved.analyserInputBright, false},
                 {outBrightKnob, t.outBright, 0.1, 1.0, 0.01, 0.88, &AnalyserSettings::outputBright, 70, 134,
                  &saved.analyserOutputBright, false},
                 {triangleKnob, t.triangle, 0.0, 0.5, 0.01, 0.15, &AnalyserSettings::triangleAlpha, 133, 134,
                  &saved.analyserTriangleAlpha, false},
                 {relCorrKnob, t.relCorr, 0.05, 2.0, 0.05, 0.15, &AnalyserSettings::relCorr, 23, 217, nullptr, true},
                 {relPanKnob, t.relPan, 0.05, 2.0, 0.05, 0.15, &AnalyserSettings::relPan, 118, 217, nullptr, true}};
    for (const auto& k : knobs)
    {
        k.knob.setParamName(k.name);
        k.knob.setRange(k.min, k.max, k.interval);
        k.knob.setValue(values.*k.value, juce::dontSendNotification);
        k.knob.setDoubleClickReturnValue(true, k.def);
        k.knob.fontScale = 1.0f;
        k.knob.continuousDrag = true;
        k.knob.setBounds(k.x, k.y, 48, 64);
        k.knob.setWantsKeyboardFocus(false);
        addAndMakeVisible(k.knob);
        k.knob.onValueChange =
            [this, &knob = k.knob, value = k.value, savedAtOnce = k.savedAtOnce, isRelease = k.isRelease]
        {
            values.*value = static_cast<float>(knob.getValue());
            if (savedAtOnce != nullptr)
                savedAtOnce->store(values.*value);
            if (isRelease && onReleaseChanged)
                onReleaseChanged();
        };
    }
    densityKnob.setVisible(values.scopeMode == 0);

    dotsButton.onClick = [this]
    {
        values.scopeMode = 0;
        updateModeBtnState();
        updateReleaseScopeRange();
    };
    envelopeButton.onClick = [this]
    {
        values.scopeMode = 1;
        updateModeBtnState();
        updateReleaseScopeRange();
    };
    snapButton.onClick = [this]
    {
        values.snapToPlugin = !values.snapToPlugin;
        saved.analyserSnapToPlugin.store(values.snapToPlugin);
        updateWindowBtnStates();
    };
    onTopButton.onClick = [this]
    {
        values.alwaysOnTop = !values.alwaysOnTop;
        saved.analyserAlwaysOnTop.store(values.alwaysOnTop);
        if (onAlwaysOnTopChanged)
            onAlwaysOnTopChanged();
        updateWindowBtnStates();
    };
}

void AnalyserSettingsPanel::setButtonLook(juce::TextButton& b, bool on)
{
    b.setColour(juce::TextButton::buttonColourId, on ? juce::Colour(0xffb8860b) : juce::Colour(0xff2a2a2a));
    b.setColour(juce::TextButton::textColourOffId, on ? juce::Colours::black : juce::Colour(0xffaaaaaa));
}

void AnalyserSettingsPanel::updateModeBtnState()
{
    setButtonLook(dotsButton, values.scopeMode == 0);
    setButtonLook(envelopeButton, values.scopeMode == 1);
    densityKnob.setVisible(values.scopeMode == 0);
    if (onModeChanged)
        onModeChanged();
}

void AnalyserSettingsPanel::updateWindowBtnStates()
{
    setButtonLook(snapButton, values.snapToPlugin);
    setButtonLook(onTopButton, values.alwaysOnTop);
}

// Envelopes need a longer memory than dots, so each mode has its own release range.
void AnalyserSettingsPanel::updateReleaseScopeRange()
{
    if (values.scopeMode == 1)
    {
        releaseKnob.setRange(1.0, 5.0, 0.05);
        releaseKnob.setDoubleClickReturnValue(true, 1.5);
        if (values.relScope < 1.0f)
        {
            values.relScope = 1.5f;
            releaseKnob.setValue(1.5, juce::sendNotificationSync);
        }
        else
        {
            releaseKnob.setValue(values.relScope, juce::dontSendNotification);
        }
    }
    else
    {
        releaseKnob.setRange(0.05, 1.0, 0.01);
        releaseKnob.setDoubleClickReturnValue(true, 0.15);
        if (values.relScope > 1.0f)
        {
            values.relScope = 0.15f;
            releaseKnob.setValue(0.15, juce::sendNotificationSync);
        }
        else
        {
            releaseKnob.setValue(values.relScope, juce::dontSendNotification);
        }
    }
}

void AnalyserSettingsPanel::setKnobsFromMembers()
{
    zoomKnob.setValue(values.zoom, juce::dontSendNotification);
    releaseKnob.setValue(values.relScope, juce::dontSendNotification);
    densityKnob.setValue(values.dotDensity, juce::dontSendNotification);
    inBrightKnob.setValue(values.inputBright, juce::dontSendNotification);
    outBrightKnob.setValue(values.outputBright, juce::dontSendNotification);
    triangleKnob.setValue(values.triangleAlpha, juce::dontSendNotification);
    relCorrKnob.setValue(values.relCorr, juce::dontSendNotification);
    relPanKnob.setValue(values.relPan, juce::dontSendNotification);
}
