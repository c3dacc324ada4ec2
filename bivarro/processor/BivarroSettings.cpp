#include "bivarro/processor/BivarroSettings.h"

#include <cmath>
#include <type_traits>

namespace
{
template <typename T> juce::var toVar(T value)
{
    // Floats are saved widened to double, with the digits of the float.
    if constexpr (std::is_same_v<T, float>)
        return static_cast<double>(value);
    else
        return value;
}

template <typename T> T readSetting(const juce::XmlElement& xml, const char* key, T def, T min, T max)
{
    if constexpr (std::is_same_v<T, bool>)
    {
        juce::ignoreUnused(min, max);
        return xml.getBoolAttribute(key, def);
    }
    else if constexpr (std::is_same_v<T, int>)
    {
        return juce::jlimit(min, max, xml.getIntAttribute(key, def));
    }
    else
    {
        const double d = xml.getDoubleAttribute(key, def);
        return std::isfinite(d) ? static_cast<float>(juce::jlimit<double>(min, max, d)) : def;
    }
}
} // namespace

void BivarroSettings::writeTo(juce::ValueTree& state) const
{
#define BIVARRO_WRITE_SETTING(type, name, def, min, max) state.setProperty(#name, toVar(name.load()), nullptr);
    BIVARRO_SETTINGS(BIVARRO_WRITE_SETTING)
#undef BIVARRO_WRITE_SETTING
}

void BivarroSettings::readFrom(const juce::XmlElement& root)
{
#define BIVARRO_READ_SETTING(type, name, def, min, max) name.store(readSetting<type>(root, #name, def, min, max));
    BIVARRO_SETTINGS(BIVARRO_READ_SETTING)
#undef BIVARRO_READ_SETTING
}
