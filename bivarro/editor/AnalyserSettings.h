#pragma once

#include "bivarro/processor/BivarroSettings.h"

// The analyser window's settings while it is open. A window starts from the processor's saved
// copies and writes them back as they change, so the next window starts where this one stopped.
class AnalyserSettings
{
public:
    // Takes the saved values, each kept within its knob's range whatever was saved.
    void restoreFrom(const BivarroSettings& saved);

    // Writes back what the window's tick keeps saved; the panel saves the rest as it changes them.
    void storeInto(BivarroSettings& saved) const;

    // The per-tick coefficients follow the three release times.
    void updateCoefficients() noexcept;

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
    bool snapToPlugin = true;
    bool alwaysOnTop = true;
};
