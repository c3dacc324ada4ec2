#include "HostCases.h"
#include "NoiseRunner.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

using HostCases::Case;

// A host may hand over a value that is not a number (a damaged automation lane, a script's division
// by zero). The plug-in must go on with the last good value of that parameter.
namespace
{
constexpr double kRate = 48000.0;
constexpr int kBlock = 256;

struct NonFinite
{
    const char* name;
    float value;
};

const NonFinite kValues[] = {
    {"NaN", std::numeric_limits<float>::quiet_NaN()},
    {"+inf", std::numeric_limits<float>::infinity()},
    {"-inf", -std::numeric_limits<float>::infinity()},
};

bool isSwitch(const HostCases::ParamSpec& spec)
{
    return spec.start == 0.0f && spec.end == 1.0f && spec.step == 1.0f;
}

bool isFloatParameter(const HostCases::ParamSpec& spec)
{
    return !isSwitch(spec) && std::string(spec.id) != "linkID";
}

class HostNonFinite : public ::testing::TestWithParam<Case>
{
};
} // namespace

TEST_P(HostNonFinite, EveryFloatParameterKeepsItsLastGoodValue)
{
    const auto& c = GetParam();
    // Twins with the same settings run in lockstep; only the target is handed the bad values.
    auto reference = HostCases::loadPrepared(c, kRate, kBlock);
    auto target = HostCases::loadPrepared(c, kRate, kBlock);
    ASSERT_NE(reference, nullptr);
    ASSERT_NE(target, nullptr);
    juce::Random rngA(31), rngB(31);
    HostCases::setRandomValues(*reference, rngA);
    HostCases::setRandomValues(*target, rngB);
    // Bypassed, a plug-in would read none of the values under test.
    for (auto* plugin : {reference.get(), target.get()})
    {
        const auto hosted = HostCases::hostedParameters(*plugin, *c.product);
        for (size_t i = 0; i < c.product->params.size(); ++i)
            if (std::string(c.product->params[i].id) == "bypass" && hosted.ours[i] != nullptr)
                hosted.ours[i]->setValue(0.0f);
    }
    NoiseRunner a(*reference, kBlock, 4);
    NoiseRunner b(*target, kBlock, 4);
    for (int i = 0; i < 4; ++i)
    {
        ASSERT_TRUE(a.process(kBlock));
        ASSERT_TRUE(b.process(kBlock));
    }

    // NaNs first: with the last good values kept, the twins stay identical throughout. Infinities may
    // be clamped to the range's ends by the format's wrapper on the way, which is a good value, so
    // after them only a finite output is asked for.
    const auto params = HostCases::hostedParameters(*target, *c.product);
    for (const auto& bad : kValues)
        for (size_t i = 0; i < c.product->params.size(); ++i)
        {
            const auto& spec = c.product->params[i];
            if (!isFloatParameter(spec))
                continue;
            auto* param = params.ours[i];
            ASSERT_NE(param, nullptr) << spec.id;
            SCOPED_TRACE(std::string(spec.id) + " = " + bad.name);
            const float good = param->getValue();
            param->setValue(bad.value);
            for (int block = 0; block < 4; ++block)
            {
                ASSERT_TRUE(a.process(kBlock));
                ASSERT_TRUE(b.process(kBlock)) << "output not finite in block " << block;
                if (std::isnan(bad.value))
                    ASSERT_EQ(a.differenceFrom(b), 0.0f) << "block " << block;
            }
            param->setValue(good);
        }

    // Nothing bad was kept anywhere: at the defaults the signal passes through.
    NoiseRunner check(*target, kBlock);
    HostCases::expectDefaultsRestorePassThrough(*target, check, kRate, kBlock);
}

INSTANTIATE_TEST_SUITE_P(Bundles, HostNonFinite, ::testing::ValuesIn(HostCases::all()), HostCases::CaseName());
