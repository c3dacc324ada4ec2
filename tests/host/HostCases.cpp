#include "HostCases.h"

#include <cmath>

namespace HostCases
{
namespace
{
ParamSpec switchParam(const char* id, const char* name)
{
    return {id, name, 0.0f, 1.0f, 0.0f, 1.0f};
}

bool bivarroLayout(int inputs, int outputs)
{
    return outputs == 2 && inputs == outputs;
}

bool ovrelLayout(int inputs, int outputs)
{
    return (outputs == 1 || outputs == 2) && inputs == outputs;
}

bool undrelLayout(int, int outputs)
{
    return outputs == 1 || outputs == 2;
}
} // namespace

const Product& bivarro()
{
    static const Product p{"Bivarro",
                           {
                               {"gainL", "Gain L", -100, 48, 0, 0.1f},
                               {"panL", "Pan L", 0, 100, 0, 0.1f},
                               {"delayL", "Delay L", 0, 50, 0, 0.01f},
                               {"apFcL", "APF Freq L", 1, 20000, 1000, 0, 0.2313f},
                               {"apPhaseL", "APF Phase L", 0, 180, 0, 0.1f},
                               {"apQL", "APF Q L", 0.1f, 20, 1, 0.01f},
                               switchParam("apOrder2L", "APF 2nd Order L"),
                               switchParam("polarityL", "Inv Polarity L"),
                               {"gainR", "Gain R", -100, 48, 0, 0.1f},
                               {"panR", "Pan R", -100, 0, 0, 0.1f},
                               {"delayR", "Delay R", 0, 50, 0, 0.01f},
                               {"apFcR", "APF Freq R", 1, 20000, 1000, 0, 0.2313f},
                               {"apPhaseR", "APF Phase R", 0, 180, 0, 0.1f},
                               {"apQR", "APF Q R", 0.1f, 20, 1, 0.01f},
                               switchParam("apOrder2R", "APF 2nd Order R"),
                               switchParam("polarityR", "Inv Polarity R"),
                               {"width", "Width", 0, 500, 100, 0.1f},
                               {"asymmetry", "Asymmetry", -90, 90, 0, 0.1f},
                               {"rotation", "Rotation", -45, 45, 0, 0.1f},
                               {"trimOut", "Trim Out", -48, 24, 0, 0.1f},
                               {"midGain", "Mid", -48, 24, 0, 0.1f},
                               {"sideGain", "Side", -48, 24, 0, 0.1f},
                               switchParam("muteL", "Mute L"),
                               switchParam("muteR", "Mute R"),
                               switchParam("muteMid", "Mute Mid"),
                               switchParam("muteSide", "Mute Side"),
                               switchParam("mono", "Mono"),
                               switchParam("bypass", "Bypass"),
                               {"monoMakerFreq", "Bass Mono Freq", 10, 4000, 10, 0, 0.3306f},
                               {"monoMakerInt", "Bass Mono Intensity", 0, 100, 0, 1},
                           },
                           bivarroLayout};
    return p;
}

const Product& ovrel()
{
    static const Product p{"Ovrel",
                           {
                               {"gain", "Gain", -48, 48, 0, 0.01f},
                               {"linkID", "Link ID", 1, 50, 1, 1},
                               switchParam("bypass", "Bypass"),
                           },
                           ovrelLayout};
    return p;
}

const Product& undrel()
{
    static const Product p{"Undrel",
                           {
                               {"trim", "Trim", -12, 12, 0, 0.1f},
                               {"linkID", "Link ID", 1, 50, 1, 1},
                               switchParam("bypass", "Bypass"),
                           },
                           undrelLayout};
    return p;
}

const std::vector<Case>& all()
{
    using PluginHost::Format;
    static const std::vector<Case> cases = {
        {{"Bivarro", Format::VST3, ORZ_BIVARRO_VST3}, &bivarro()},
        {{"Bivarro", Format::LV2, ORZ_BIVARRO_LV2}, &bivarro()},
        {{"Ovrel", Format::VST3, ORZ_OVREL_VST3}, &ovrel()},
        {{"Ovrel", Format::LV2, ORZ_OVREL_LV2}, &ovrel()},
        {{"Undrel", Format::VST3, ORZ_UNDREL_VST3}, &undrel()},
        {{"Undrel", Format::LV2, ORZ_UNDREL_LV2}, &undrel()},
    };
    return cases;
}

std::string caseName(const Case& c)
{
    return std::string(c.bundle.product) + PluginHost::formatName(c.bundle.format);
}

void PrintTo(const Case& c, std::ostream* os)
{
    *os << caseName(c);
}

float expectedDefault(const ParamSpec& spec, PluginHost::Format format)
{
    const float linear = (spec.def - spec.start) / (spec.end - spec.start);
    return format == PluginHost::Format::VST3 ? std::pow(linear, spec.positionExponent) : linear;
}

float plainValue(const ParamSpec& spec, float normalised, PluginHost::Format format)
{
    const float position =
        format == PluginHost::Format::VST3 ? std::pow(normalised, 1.0f / spec.positionExponent) : normalised;
    const float value = spec.start + (spec.end - spec.start) * position;
    if (spec.step <= 0.0f)
        return value;
    return spec.start + spec.step * std::round((value - spec.start) / spec.step);
}

HostedParameters hostedParameters(juce::AudioPluginInstance& instance, const Product& product)
{
    const auto format = PluginHost::formatOf(instance);

    // The VST3 wrapper numbers a parameter by a hash of its ID; JUCE's LV2 host names a control
    // port's parameter by the port's symbol, which is the ID.
    auto hostId = [&](const ParamSpec& spec)
    {
        if (format == PluginHost::Format::VST3)
            return juce::String(juce::VST3ClientExtensions::convertJuceParameterId(spec.id, true));
        return "sym:" + juce::String(spec.id);
    };

    HostedParameters result;
    result.ours.assign(product.params.size(), nullptr);
    for (auto* p : instance.getParameters())
    {
        const auto* hosted = dynamic_cast<juce::HostedAudioProcessorParameter*>(p);
        const auto id = hosted != nullptr ? hosted->getParameterID() : juce::String();
        bool matched = false;
        for (size_t i = 0; i < product.params.size() && !matched; ++i)
        {
            const auto expected = hostId(product.params[i]);
            matched = id == expected;
            if (matched)
                result.ours[i] = p;
        }
        if (!matched)
            result.extra.push_back(p);
    }
    return result;
}

std::unique_ptr<juce::AudioPluginInstance> load(const Case& c, double rate, int block)
{
    auto plugin = PluginHost::load(c.bundle, rate, block);
    EXPECT_NE(plugin, nullptr) << "could not load " << caseName(c);
    return plugin;
}

std::unique_ptr<juce::AudioPluginInstance> loadPrepared(const Case& c, double rate, int block)
{
    auto plugin = load(c, rate, block);
    if (plugin != nullptr)
        plugin->prepareToPlay(rate, block);
    return plugin;
}

void setAllToDefaults(juce::AudioPluginInstance& instance)
{
    for (auto* p : instance.getParameters())
        p->setValue(p->getDefaultValue());
}

void setRandomValues(juce::AudioPluginInstance& instance, juce::Random& rng)
{
    for (auto* p : instance.getParameters())
        if (p != instance.getBypassParameter())
            p->setValue(rng.nextFloat());
}

void automateRandomly(juce::AudioPluginInstance& instance, juce::Random& rng)
{
    const auto& params = instance.getParameters();
    for (int n = rng.nextInt({1, 4}); n > 0; --n)
        params[rng.nextInt(params.size())]->setValue(rng.nextFloat());
}

void expectPassThrough(NoiseRunner& run, const std::vector<int>& sizes)
{
    for (size_t b = 0; b < sizes.size(); ++b)
    {
        ASSERT_TRUE(run.process(sizes[b])) << "block " << b << " of " << sizes[b];
        ASSERT_LE(run.deviationFromPassThrough(), kPassThroughTolerance) << "block " << b << " of " << sizes[b];
    }
}

void expectDefaultsRestorePassThrough(juce::AudioPluginInstance& instance, NoiseRunner& run, double rate, int block)
{
    setAllToDefaults(instance);
    for (int b = 0; b < static_cast<int>(0.5 * rate) / block; ++b)
        ASSERT_TRUE(run.process(block)) << "settling block " << b;
    expectPassThrough(run, std::vector<int>(20, block));
}
} // namespace HostCases
