#include "gainpair/common/GainPairEditorSettings.h"

#include <cmath>

const std::array<GainPairEditorSettings::Row, 5> GainPairEditorSettings::table{{
    {"uiScale", &GainPairEditorSettings::uiScale, 1.0, minUiScale, maxUiScale},
    {"editorWidth", &GainPairEditorSettings::editorWidth, 300, 300, 700},
    {"tooltipsOn", &GainPairEditorSettings::tooltipsOn, 0, 0, 1},
    {"isSpanish", &GainPairEditorSettings::isSpanish, 0, 0, 1},
    {"meterHold", &GainPairEditorSettings::meterHold, 0, 0, 1},
}};

namespace
{
template <typename... F> struct Overloaded : F...
{
    using F::operator()...;
};
template <typename... F> Overloaded(F...) -> Overloaded<F...>;
} // namespace

GainPairEditorSettings::GainPairEditorSettings()
{
    for (const auto& row : table)
        std::visit(Overloaded{[&](std::atomic<float> GainPairEditorSettings::*m)
                              { (this->*m).store(static_cast<float>(row.defaultValue)); },
                              [&](std::atomic<int> GainPairEditorSettings::*m)
                              { (this->*m).store(static_cast<int>(row.defaultValue)); },
                              [&](std::atomic<bool> GainPairEditorSettings::*m)
                              { (this->*m).store(row.defaultValue != 0.0); }},
                   row.member);
}

void GainPairEditorSettings::save(juce::XmlElement& root) const
{
    for (const auto& row : table)
        std::visit(Overloaded{[&](std::atomic<float> GainPairEditorSettings::*m)
                              { root.setAttribute(row.attribute, static_cast<double>((this->*m).load())); },
                              [&](std::atomic<int> GainPairEditorSettings::*m)
                              { root.setAttribute(row.attribute, (this->*m).load()); },
                              [&](std::atomic<bool> GainPairEditorSettings::*m)
                              { root.setAttribute(row.attribute, (this->*m).load() ? 1 : 0); }},
                   row.member);
}

void GainPairEditorSettings::restore(const juce::XmlElement& root)
{
    for (const auto& row : table)
    {
        if (!root.hasAttribute(row.attribute))
            continue;
        std::visit(Overloaded{[&](std::atomic<float> GainPairEditorSettings::*m)
                              {
                                  // Text that is not a number reads as 0, outside the limits.
                                  const double v = root.getDoubleAttribute(row.attribute);
                                  const bool usable = std::isfinite(v) && v >= row.minimum && v <= row.maximum;
                                  (this->*m).store(static_cast<float>(usable ? v : row.defaultValue));
                              },
                              [&](std::atomic<int> GainPairEditorSettings::*m)
                              {
                                  (this->*m).store(juce::jlimit(static_cast<int>(row.minimum),
                                                                static_cast<int>(row.maximum),
                                                                root.getIntAttribute(row.attribute)));
                              },
                              [&](std::atomic<bool> GainPairEditorSettings::*m)
                              { (this->*m).store(root.getIntAttribute(row.attribute) != 0); }},
                   row.member);
    }
}
