// The audio buffers an LV2 host hands over: apart, shared between an input and its output (a host
// running in place), or crossed (one channel's output on the other's input). The wrapper works on
// the output buffers where that is safe and on its own copy where it is not; every wiring must
// give the same sound.
#include "Lv2Rig.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

namespace
{
enum class Wiring
{
    apart,
    inPlace,
    crossed
};

struct WiringCase
{
    const char* name;
    Wiring wiring;
};

[[maybe_unused]] void PrintTo(const WiringCase& c, std::ostream* os)
{
    *os << c.name;
}

class Lv2Buffers : public ::testing::TestWithParam<WiringCase>
{
};

std::vector<float> noise(unsigned seed)
{
    std::mt19937 rng(seed);
    std::uniform_real_distribution<float> d(-0.8f, 0.8f);
    std::vector<float> v(Lv2Rig::block);
    for (auto& x : v)
        x = d(rng);
    return v;
}
} // namespace

TEST_P(Lv2Buffers, EveryWiringGivesTheSameSound)
{
    Lv2Rig rig(ORZ_BIVARRO_LV2, "urn:orlintz:bivarro");
    ASSERT_TRUE(rig.ready());
    // The left 6 dB down, the right inverted: any mix-up of channels or a block left unprocessed
    // shows.
    rig.control("gainL") = -6.0f;
    const float half = std::pow(10.0f, -6.0f / 20.0f);
    rig.control("polarityR") = 1.0f;

    std::vector<float> a(Lv2Rig::block), b(Lv2Rig::block), c(Lv2Rig::block), d(Lv2Rig::block);
    float *inL = a.data(), *inR = b.data(), *outL = c.data(), *outR = d.data();
    switch (GetParam().wiring)
    {
    case Wiring::apart:
        break;
    case Wiring::inPlace:
        outL = inL;
        outR = inR;
        break;
    case Wiring::crossed:
        outL = inR;
        outR = inL;
        break;
    }
    rig.connectAudio({inL, inR}, {outL, outR});

    // The parameters ramp for 20 ms (960 samples): the third block is settled.
    for (unsigned block = 0; block < 3; ++block)
    {
        const auto l = noise(2 * block + 1), r = noise(2 * block + 2);
        std::copy(l.begin(), l.end(), inL);
        std::copy(r.begin(), r.end(), inR);
        rig.run(1);
        if (block < 2)
            continue;
        const std::vector<float> gotL(outL, outL + Lv2Rig::block), gotR(outR, outR + Lv2Rig::block);
        for (size_t i = 0; i < Lv2Rig::block; ++i)
        {
            ASSERT_NEAR(gotL[i], half * l[i], 1e-6f) << "sample " << i;
            ASSERT_NEAR(gotR[i], -r[i], 1e-6f) << "sample " << i;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Wirings, Lv2Buffers,
                         ::testing::Values(WiringCase{"Apart", Wiring::apart}, WiringCase{"InPlace", Wiring::inPlace},
                                           WiringCase{"Crossed", Wiring::crossed}),
                         [](const auto& info) { return std::string(info.param.name); });
