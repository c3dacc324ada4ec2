#include "gainpair/common/GainPairParameters.h"

#include <cmath>

namespace
{
template <typename Parameter> Parameter& typed(juce::AudioProcessorValueTreeState& apvts, const char* id)
{
    auto* p = dynamic_cast<Parameter*>(apvts.getParameter(id));
    jassert(p != nullptr); // The tree was not made from this table.
    return *p;
}

} // namespace

juce::AudioProcessorValueTreeState::ParameterLayout GainPairParameters::createLayout(const Table& table)
{
    juce::AudioProcessorValueTreeState::ParameterLayout layout;
    for (const auto& row : table)
    {
        const juce::ParameterID id{row.id, 1};
        switch (row.kind)
        {
        case Kind::decibels:
            layout.add(std::make_unique<juce::AudioParameterFloat>(
                id, row.name, juce::NormalisableRange<float>(row.minimum, row.maximum, row.interval), row.defaultValue,
                juce::AudioParameterFloatAttributes().withStringFromValueFunction([unit = row.unit](float value, int)
                                                                                  { return dbText(value, unit); })));
            break;
        case Kind::linkId:
            layout.add(std::make_unique<juce::AudioParameterInt>(id, row.name, static_cast<int>(row.minimum),
                                                                 static_cast<int>(row.maximum),
                                                                 static_cast<int>(row.defaultValue)));
            break;
        case Kind::toggle:
            layout.add(std::make_unique<juce::AudioParameterBool>(id, row.name, row.defaultValue > 0.5f));
            break;
        }
    }
    return layout;
}

juce::String GainPairParameters::dbText(float value, const char* unit)
{
    return juce::String(value, 1) + " " + unit;
}

GainPairParameters::GainPairParameters(juce::AudioProcessorValueTreeState& apvts, const Table& table)
    : decibels(typed<juce::AudioParameterFloat>(apvts, table[0].id)),
      linkId(typed<juce::AudioParameterInt>(apvts, table[1].id)),
      bypass(typed<juce::AudioParameterBool>(apvts, table[2].id)),
      decibelsRaw(*apvts.getRawParameterValue(table[0].id)), linkIdRaw(*apvts.getRawParameterValue(table[1].id)),
      bypassRaw(*apvts.getRawParameterValue(table[2].id)), defaults{table[0].defaultValue,
                                                                    static_cast<int>(table[1].defaultValue),
                                                                    table[2].defaultValue > 0.5f},
      lastGood(defaults)
{
}

GainPairParameters::Values GainPairParameters::current() const noexcept
{
    return read(defaults);
}
