#include "gainpair/product/GainPairProduct.h"

#include "gainpair/ovrel/OvrelAudioProcessor.h"

const GainPairProduct& GainPairProduct::underTest()
{
    static const GainPairProduct ovrel{
        "Ovrel",
        "gain",
        "Gain",
        -48.0f,
        48.0f,
        0.01f,
        [](const GainLinkEnvironment& env) -> std::unique_ptr<GainPairAudioProcessor>
        { return std::make_unique<OvrelAudioProcessor>(env); },
        [](const GainPairAudioProcessor& p) { return static_cast<const OvrelAudioProcessor&>(p).shownGain.load(); },
        true,
    };
    return ovrel;
}
