#include "gainpair/ui/EditorScale.h"

#include "gainpair/common/GainPairEditorSettings.h"

#include <cmath>

namespace gainpair::EditorScale
{
float usable(float stored)
{
    if (!std::isfinite(stored) || stored < GainPairEditorSettings::minUiScale ||
        stored > GainPairEditorSettings::maxUiScale)
        return 1.0f;
    return stored;
}

float of(const juce::AffineTransform& transform)
{
    return (std::abs(transform.mat00) + std::abs(transform.mat11)) / 2.0f;
}
} // namespace gainpair::EditorScale
