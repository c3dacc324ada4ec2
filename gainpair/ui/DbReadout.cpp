#include "gainpair/ui/DbReadout.h"

#include "gainpair/ui/GainEditorTexts.h"

#include <cmath>

namespace gainpair
{
void DbReadout::show(float db)
{
    // Every non-number shows as 0, so they all count as one value.
    const float value = std::isfinite(db) ? db : 0.0f;
    // -0 and 0 may read differently, so the sign counts too.
    if (shownOnce && juce::exactlyEqual(value, shown) && std::signbit(value) == std::signbit(shown))
        return;
    shownOnce = true;
    shown = value;
    label.setText(GainEditorTexts::dbText(value), juce::dontSendNotification);
}
} // namespace gainpair
