#include "gainpair/product/GainPairProduct.h"

#include "gainpair/undrel/UndrelAudioProcessor.h"

const GainPairProduct& GainPairProduct::underTest()
{
    static const GainPairProduct undrel{
        "Undrel",
        "trim",
        "Trim",
        -12.0f,
        12.0f,
        0.1f,
        [](const GainLinkEnvironment& env) -> std::unique_ptr<GainPairAudioProcessor>
        { return std::make_unique<UndrelAudioProcessor>(env); },
        [](const GainPairAudioProcessor& p)
        { return static_cast<const UndrelAudioProcessor&>(p).appliedGainDb.load(); },
        false,
    };
    return undrel;
}
