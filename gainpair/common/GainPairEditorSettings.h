#pragma once

#include <juce_core/juce_core.h>

#include <array>
#include <atomic>
#include <variant>

// The settings a gain processor holds for its editor, saved with the state as attributes of the
// state's root element. One table names each member's attribute, default and limits: it sets the
// defaults, writes the attributes and reads them back. The editor reads and writes the members.
class GainPairEditorSettings
{
public:
    // The editor's scale is a transform: anything outside these limits would make it unusable.
    static constexpr float minUiScale = 0.25f;
    static constexpr float maxUiScale = 4.0f;

    std::atomic<float> uiScale;
    std::atomic<int> editorWidth;
    std::atomic<bool> tooltipsOn;
    std::atomic<bool> isSpanish;
    std::atomic<bool> meterHold;

    using Member =
        std::variant<std::atomic<float> GainPairEditorSettings::*, std::atomic<int> GainPairEditorSettings::*,
                     std::atomic<bool> GainPairEditorSettings::*>;

    struct Row
    {
        const char* attribute;
        Member member;
        double defaultValue;
        // Restored values: a scale outside these limits (or not finite) gives the default, since the
        // editor applies it as its transform; a width is clamped to them. Unused for switches.
        double minimum, maximum;
    };

    // Saved in this order.
    static const std::array<Row, 5> table;

    GainPairEditorSettings();

    // Adds the attributes to the saved root element.
    void save(juce::XmlElement& root) const;

    // Takes every attribute present; an absent one leaves its member as it is.
    void restore(const juce::XmlElement& root);

    JUCE_DECLARE_NON_COPYABLE(GainPairEditorSettings)
};
