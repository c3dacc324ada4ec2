#pragma once

#include <juce_core/juce_core.h>
#include <juce_data_structures/juce_data_structures.h>

#include <atomic>

// Every interface setting once, in saved order: X(type, name, default, min, max). The name is also
// the attribute the saved state keeps it under; a restore limits the value to min .. max and
// gives a missing attribute the default. activeSlot, saved last, is written after its slot was
// refreshed from the live state.
#define BIVARRO_SETTINGS(X)                                                                                            \
    X(int, editorWidth, 380, 300, 540)                                                                                 \
    X(bool, tooltipsEnabled, false, false, true)                                                                       \
    X(bool, languageSpanish, false, false, true)                                                                       \
    X(bool, meterHold, false, false, true)                                                                             \
    X(int, linkGain, 0, -1, 1)                                                                                         \
    X(int, linkDelay, 0, -1, 1)                                                                                        \
    X(int, linkFreq, 0, -1, 1)                                                                                         \
    X(int, linkPhase, 0, -1, 1)                                                                                        \
    X(int, linkPan, 0, -1, 1)                                                                                          \
    X(int, linkMidSide, 0, -1, 1)                                                                                      \
    X(int, linkAsymRot, 0, -1, 1)                                                                                      \
    X(int, linkQ, 0, -1, 1)                                                                                            \
    X(int, linkOrd, 0, -1, 1)                                                                                          \
    X(int, linkPol, 0, -1, 1)                                                                                          \
    X(int, linkMuteL, 0, -1, 1)                                                                                        \
    X(int, linkMuteSid, 0, -1, 1)                                                                                      \
    X(int, analyserScopeMode, 0, 0, 1)                                                                                 \
    X(float, analyserZoom, 1.0f, 0.5f, 4.0f)                                                                           \
    /* The scope release knob spans 0.05..1 s in Dots mode and 1..5 s in Envelope mode. */                             \
    X(float, analyserRelScope, 0.15f, 0.05f, 5.0f)                                                                     \
    X(float, analyserRelCorr, 0.15f, 0.05f, 2.0f)                                                                      \
    X(float, analyserRelPan, 0.15f, 0.05f, 2.0f)                                                                       \
    X(bool, analyserCfgOpen, false, false, true)                                                                       \
    /* -1 means no saved position, 0 no saved size; nothing beyond any real desktop is kept. */                        \
    X(int, analyserWinX, -1, -1, 16384)                                                                                \
    X(int, analyserWinY, -1, -1, 16384)                                                                                \
    X(int, analyserWinW, 0, 0, 16384)                                                                                  \
    X(int, analyserWinH, 0, 0, 16384)                                                                                  \
    X(bool, analyserSnapToPlugin, true, false, true)                                                                   \
    X(bool, analyserAlwaysOnTop, true, false, true)                                                                    \
    X(bool, analyserOpen, false, false, true)                                                                          \
    X(float, analyserTriangleAlpha, 0.15f, 0.0f, 0.5f)                                                                 \
    X(float, analyserDotDensity, 1.0f, 0.1f, 2.0f)                                                                     \
    X(float, analyserInputBright, 0.3f, 0.05f, 1.0f)                                                                   \
    X(float, analyserOutputBright, 0.88f, 0.1f, 1.0f)                                                                  \
    X(int, activeSlot, 0, 0, 2)

// The settings the editor and the analyser window keep across their lifetimes and that are saved
// with the state. The processor never acts on them; each is an independent atomic.
struct BivarroSettings
{
#define BIVARRO_SETTING_MEMBER(type, name, def, min, max) std::atomic<type> name{def};
    BIVARRO_SETTINGS(BIVARRO_SETTING_MEMBER)
#undef BIVARRO_SETTING_MEMBER

    // Sets every setting as an attribute of state, in saved order; floats widened to double.
    void writeTo(juce::ValueTree& state) const;

    // Takes every setting from the attributes of a saved root, limited, or its default.
    void readFrom(const juce::XmlElement& root);

    BivarroSettings() = default;
    JUCE_DECLARE_NON_COPYABLE(BivarroSettings)
};
