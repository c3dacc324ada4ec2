#include "gainpair/ui/EditorScaler.h"

#include "gainpair/ui/EditorScale.h"

#include <cmath>

namespace gainpair
{
void EditorScaler::apply(float uiScale)
{
    editor.setTransform(juce::AffineTransform::scale(uiScale * hostScale));
    editor.setBounds(editor.getX(), editor.getY(), EditorScale::logicalSide, EditorScale::logicalSide);
}

void EditorScaler::follow(float uiScale)
{
    const auto t = editor.getTransform();
    const float shown = t.isIdentity() ? 1.0f : EditorScale::of(t) / hostScale;
    if (std::abs(uiScale - shown) > 0.01f)
        apply(uiScale);
}

float EditorScaler::takeHostScale(float newScale)
{
    hostScale = std::isfinite(newScale) && newScale > 0.0f ? newScale : 1.0f;
    return hostScale;
}

void EditorScaler::reapply(float uiScale)
{
    if (!juce::exactlyEqual(uiScale, 1.0f))
        editor.setTransform(juce::AffineTransform::scale(uiScale * hostScale));
}
} // namespace gainpair
