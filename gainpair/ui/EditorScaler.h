#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

namespace gainpair
{
// Keeps a gain editor drawn at the processor's uiScale on its 300 x 300 logical size, composed with
// the host's own display scale rather than fighting it.
class EditorScaler
{
public:
    explicit EditorScaler(juce::Component& editorToScale) : editor(editorToScale) {}

    // The transform becomes uiScale times the host's scale and the size the logical one; through the
    // editor's resized this also stores the logical width.
    void apply(float uiScale);

    // Applies uiScale when it differs from what the editor shows by more than 0.01.
    void follow(float uiScale);

    // Takes the host's scale (anything but a positive finite number counts as 1) and returns it for
    // the editor's base class.
    float takeHostScale(float newScale);

    // After the base class set the host's scale as the transform: composes uiScale back in.
    void reapply(float uiScale);

private:
    juce::Component& editor;
    float hostScale = 1.0f;
};
} // namespace gainpair
