#pragma once

#include "widgets/OrlintMeter.h"
#include "widgets/OrlintMeterSettingsOverlay.h"
#include "widgets/OrlintMeterSettingsPanel.h"

// Access to the meter's private state and its settings panel, for tests only.
struct OrlintMeterProbe
{
    explicit OrlintMeterProbe(OrlintMeter& m) : meter(m) {}

    float& peakDb() { return meter.peakDb; }
    float& rmsDb() { return meter.rmsDb; }
    float& heldPeakDb() { return meter.heldPeakDb; }
    float& holdAlpha() { return meter.holdAlpha; }
    double& holdTimeMs() { return meter.holdTimeMs; }
    bool& holdFading() { return meter.holdFading; }
    bool& holdEnabled() { return meter.holdEnabled; }
    float& brightness() { return meter.brightness; }

    float attackMs() const { return meter.attackMs; }
    float releaseMs() const { return meter.releaseMs; }
    float rmsWindowMs() const { return meter.rmsWindowMs; }
    float attackCoef() const { return meter.attackCoef; }
    float releaseCoef() const { return meter.releaseCoef; }
    float rmsRiseCoef() const { return meter.rmsRiseCoef; }
    float rmsFallCoef() const { return meter.rmsFallCoef; }

    bool layoutValid() const { return meter.layoutValid; }
    bool needsRepaint() const { return meter.needsRepaint; }
    juce::Rectangle<float> labelRect() const { return meter.labelRect; }
    juce::Rectangle<float> barRect() const { return meter.barRect; }
    juce::Rectangle<float> readoutRect() const { return meter.readoutRect; }
    juce::Rectangle<float> scaleRect() const { return meter.scaleRect; }
    juce::Rectangle<float> innerRect() const { return meter.innerRect; }
    float dbToY(float db) const { return meter.dbToY(db); }
    static juce::String readoutText(float heldDb) { return OrlintMeter::readoutText(heldDb); }

    juce::Component* panel() const { return meter.settingsPanel.get(); }
    juce::Component* overlay() const { return meter.settingsOverlay.get(); }
    juce::Slider& attackKnob() const { return meter.settingsPanel->attackKnob; }
    juce::Slider& releaseKnob() const { return meter.settingsPanel->releaseKnob; }
    juce::Slider& rmsKnob() const { return meter.settingsPanel->rmsKnob; }
    juce::Slider& brightKnob() const { return meter.settingsPanel->brightKnob; }
    juce::Button& closeButton() const { return meter.settingsPanel->closeButton; }
    juce::Label& label(int i) const
    {
        auto& p = *meter.settingsPanel;
        juce::Label* labels[] = {&p.attackLabel, &p.releaseLabel, &p.rmsLabel, &p.brightLabel};
        return *labels[i];
    }

    OrlintMeter& meter;
};

// A clock the test moves by hand, starting well away from 0 (which the meter reads as "no time").
struct ManualClock
{
    double nowMs = 10000.0;

    void attach(OrlintMeter& m)
    {
        m.setClock([this] { return nowMs; });
    }
};

inline juce::MouseEvent meterMouseEvent(juce::Component& target, juce::Point<float> pos, juce::ModifierKeys mods,
                                        int clicks = 1)
{
    const auto now = juce::Time::getCurrentTime();
    return juce::MouseEvent(juce::Desktop::getInstance().getMainMouseSource(), pos, mods,
                            juce::MouseInputSource::defaultPressure, juce::MouseInputSource::defaultOrientation,
                            juce::MouseInputSource::defaultRotation, juce::MouseInputSource::defaultTiltX,
                            juce::MouseInputSource::defaultTiltY, &target, &target, now, pos, now, clicks, false);
}
