#include "bivarro/editor/AnalyserSettings.h"

#include "bivarro/editor/AnalyserMeasurement.h"

#include <algorithm>
#include <cmath>

void AnalyserSettings::restoreFrom(const BivarroSettings& s)
{
    // Restored settings are limited already; the window keeps its own values valid regardless.
    const auto within = [](float v, float lo, float hi, float fallback)
    { return std::isfinite(v) ? std::clamp(v, lo, hi) : fallback; };
    scopeMode = s.analyserScopeMode.load() == 1 ? 1 : 0;
    zoom = within(s.analyserZoom.load(), 0.5f, 4.0f, 1.0f);
    relScope = within(s.analyserRelScope.load(), 0.05f, 5.0f, 0.15f);
    relCorr = within(s.analyserRelCorr.load(), 0.05f, 2.0f, 0.15f);
    relPan = within(s.analyserRelPan.load(), 0.05f, 2.0f, 0.15f);
    triangleAlpha = within(s.analyserTriangleAlpha.load(), 0.0f, 0.5f, 0.15f);
    dotDensity = within(s.analyserDotDensity.load(), 0.1f, 2.0f, 1.0f);
    inputBright = within(s.analyserInputBright.load(), 0.05f, 1.0f, 0.3f);
    outputBright = within(s.analyserOutputBright.load(), 0.1f, 1.0f, 0.88f);
    snapToPlugin = s.analyserSnapToPlugin.load();
    alwaysOnTop = s.analyserAlwaysOnTop.load();
}

void AnalyserSettings::storeInto(BivarroSettings& s) const
{
    s.analyserScopeMode.store(scopeMode == 1 ? 1 : 0);
    s.analyserZoom.store(zoom);
    s.analyserRelScope.store(relScope);
    s.analyserRelCorr.store(relCorr);
    s.analyserRelPan.store(relPan);
    s.analyserDotDensity.store(dotDensity);
    s.analyserInputBright.store(inputBright);
    s.analyserOutputBright.store(outputBright);
}

void AnalyserSettings::updateCoefficients() noexcept
{
    coefScope = AnalyserMeasurement::releaseCoefficient(relScope);
    coefCorr = AnalyserMeasurement::releaseCoefficient(relCorr);
    coefPan = AnalyserMeasurement::releaseCoefficient(relPan);
}
