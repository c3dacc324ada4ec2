#include "ChainRig.h"

#include "bivarro/processor/AllpassStages.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <numbers>
#include <random>

// Each stage on a simple signal, against values worked out here from the formulas.
namespace
{
constexpr double pi = std::numbers::pi;

double dbGain(double db)
{
    return std::pow(10.0, db / 20.0);
}

std::vector<float> noise(int n, unsigned seed)
{
    std::mt19937 rng(seed);
    std::uniform_real_distribution<float> d(-1.0f, 1.0f);
    std::vector<float> v(static_cast<size_t>(n));
    for (auto& x : v)
        x = d(rng);
    return v;
}

void expectAllNear(const std::vector<float>& got, const std::vector<double>& want, double tol)
{
    ASSERT_EQ(got.size(), want.size());
    for (size_t i = 0; i < got.size(); ++i)
        ASSERT_NEAR(got[i], want[i], tol) << "sample " << i;
}

// Impulse response of a first-order all-pass (a + z^-1) / (1 + a z^-1).
std::vector<double> firstOrderResponse(double a, int n)
{
    std::vector<double> h(static_cast<size_t>(n));
    h[0] = a;
    for (size_t i = 1; i < h.size(); ++i)
        h[i] = (1.0 - a * a) * std::pow(-a, static_cast<double>(i - 1));
    return h;
}

// Impulse response of (c0 + c1 z^-1 + z^-2) / (1 + c1 z^-1 + c0 z^-2), by its recursion.
std::vector<double> secondOrderResponse(double c0, double c1, int n)
{
    std::vector<double> h(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i)
    {
        auto x = [](int k) { return k == 0 ? 1.0 : 0.0; };
        auto y = [&h](int k) { return k < 0 ? 0.0 : h[static_cast<size_t>(k)]; };
        h[static_cast<size_t>(i)] = c0 * x(i) + c1 * x(i - 1) + x(i - 2) - c1 * y(i - 1) - c0 * y(i - 2);
    }
    return h;
}

std::vector<double> convolve(const std::vector<double>& a, const std::vector<double>& b)
{
    std::vector<double> c(a.size(), 0.0);
    for (size_t i = 0; i < a.size(); ++i)
        for (size_t j = 0; j <= i; ++j)
            c[i] += a[j] * b[i - j];
    return c;
}
} // namespace

TEST(SignalChain, DefaultsReturnTheInput)
{
    ChainRig rig;
    const auto l = noise(700, 1), r = noise(700, 2);
    const auto [outL, outR] = rig.run(l, r);
    for (size_t i = 0; i < l.size(); ++i)
    {
        ASSERT_NEAR(outL[i], l[i], 1e-6f) << i;
        ASSERT_NEAR(outR[i], r[i], 1e-6f) << i;
    }

    // The right channel reaches the left only through cos(pi / 2) in single precision.
    const auto [crossL, crossR] = rig.runDc(0.0f, 1.0f, 64);
    for (size_t i = 0; i < 64; ++i)
    {
        ASSERT_LE(std::abs(crossL[i]), 1e-7f);
        ASSERT_NEAR(crossR[i], 1.0f, 1e-6f);
    }
}

TEST(SignalChain, GainPolarityAndTrimOnDc)
{
    struct Case
    {
        const char* what;
        ChainRig::Params params;
        double wantL, wantR; // for an input of 0.5 left and 0 right
    };
    const Case cases[] = {
        {"gain -6 dB", {{"gainL", -6.0f}}, 0.5 * dbGain(-6), 0.0},
        {"gain +48 dB with polarity", {{"gainL", 48.0f}, {"polarityL", 1.0f}}, -0.5 * dbGain(48), 0.0},
        {"right gain does not touch the left", {{"gainR", 12.0f}}, 0.5, 0.0},
        {"trim", {{"trimOut", -12.0f}}, 0.5 * dbGain(-12), 0.0},
        {"-100 dB is silence before the all-pass and delay",
         {{"gainL", -100.0f}, {"apPhaseL", 180.0f}, {"delayL", 1.0f}},
         0.0,
         0.0},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.what);
        ChainRig rig(c.params);
        const auto [l, r] = rig.runDc(0.5f, 0.0f, 256);
        for (size_t i = 200; i < 256; ++i)
        {
            ASSERT_NEAR(l[i], c.wantL, 1e-6 * std::max(1.0, std::abs(c.wantL)));
            ASSERT_NEAR(r[i], c.wantR, 1e-6);
        }
    }

    ChainRig silent({{"gainL", -100.0f}, {"apPhaseL", 180.0f}, {"delayL", 1.0f}});
    const auto [l, r] = silent.run(noise(512, 3), std::vector<float>(512, 0.0f));
    for (float v : l)
        ASSERT_EQ(v, 0.0f);
}

TEST(SignalChain, PolarityRampsThroughZeroAndRestartsFromWhereItIs)
{
    ChainRig rig({{"gainL", -6.0f}});
    const float g = std::pow(10.0f, -6.0f * 0.05f);
    rig.set({{"polarityL", 1.0f}});

    // 20 ms at 48 kHz: 960 steps from +g to -g, the last one landing on -g.
    const auto [first, unused] = rig.runDc(1.0f, 0.0f, 600);
    const float step = (-g - g) / 960.0f;
    float current = g;
    for (size_t i = 0; i < 600; ++i)
    {
        current += step;
        ASSERT_NEAR(first[i], current, 1e-6f) << i;
    }
    EXPECT_GT(first[100], 0.0f);
    EXPECT_LT(first[599], 0.0f);

    // A new target mid-ramp: 960 fresh steps from the value reached.
    rig.set({{"gainL", 0.0f}});
    const auto [second, unused2] = rig.runDc(1.0f, 0.0f, 1000);
    const float step2 = (-1.0f - current) / 960.0f;
    for (size_t i = 0; i < 959; ++i)
    {
        current += step2;
        ASSERT_NEAR(second[i], current, 1e-6f) << i;
    }
    for (size_t i = 959; i < 1000; ++i)
        ASSERT_NEAR(second[i], -1.0f, 1e-7f) << i;
}

TEST(SignalChain, AllpassStagesOnAnImpulse)
{
    const double rate = 48000.0, fc = 1000.0;
    const double t = std::tan(pi * fc / rate);
    const double a = static_cast<float>((t - 1.0) / (t + 1.0));
    const double w0 = 2.0 * pi * fc / rate;
    const double alpha = std::sin(w0) / (2.0 * 2.5);
    const double c0 = (1.0 - alpha) / (1.0 + alpha);
    const double c1 = -2.0 * std::cos(w0) / (1.0 + alpha);

    constexpr int n = 96;
    std::vector<double> delta(n, 0.0);
    delta[0] = 1.0;
    const auto h1 = firstOrderResponse(a, n);
    const auto h2 = secondOrderResponse(c0, c1, n);
    auto blend = [&](const std::vector<double>& h, double frac)
    {
        std::vector<double> v(n);
        for (size_t i = 0; i < v.size(); ++i)
            v[i] = frac * h[i] + (1.0 - frac) * delta[i];
        return v;
    };

    struct Case
    {
        const char* what;
        float phase;
        bool secondOrder;
        std::vector<double> want;
    };
    const Case cases[] = {
        {"90 deg first order: one stage", 90.0f, false, h1},
        {"45 deg first order: stage 0 half blended", 45.0f, false, blend(h1, 0.5)},
        {"180 deg first order: two stages", 180.0f, false, convolve(h1, h1)},
        {"135 deg first order: one stage and a half", 135.0f, false, convolve(h1, blend(h1, 0.5))},
        {"0.1 deg first order: stage 0 blended at 0.0011", 0.1f, false, blend(h1, 0.1f / 90.0f)},
        {"0.1 deg second order: fraction 0.00056 runs no stage", 0.1f, true, delta},
        {"180 deg second order: one stage", 180.0f, true, h2},
        {"90 deg second order: one stage half blended", 90.0f, true, blend(h2, 0.5)},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.what);
        ChainRig rig({{"apPhaseL", c.phase},
                      {"apOrder2L", c.secondOrder ? 1.0f : 0.0f},
                      {"apQL", 2.5f},
                      {"apFcL", 1000.0f},
                      {"apPhaseR", 180.0f}});
        const auto [l, r] = rig.run(ChainRig::impulse(n), std::vector<float>(n, 0.0f));
        expectAllNear(l, c.want, 2e-6);
    }
}

TEST(SignalChain, DelayInterpolatesAndPassesTinyDelays)
{
    {
        SCOPED_TRACE("50 ms at 48 kHz is 2400 samples");
        ChainRig rig({{"delayL", 50.0f}});
        const auto [l, r] = rig.run(ChainRig::impulse(3000), std::vector<float>(3000, 0.0f));
        for (size_t i = 0; i < l.size(); ++i)
            ASSERT_NEAR(l[i], i == 2400 ? 1.0f : 0.0f, 1e-7f) << i;
    }
    {
        SCOPED_TRACE("0.01 ms at 48 kHz is 0.48 samples: a blend of this sample and the last");
        ChainRig rig({{"delayR", 0.01f}});
        const float d = 0.01f * 0.001f * 48000.0f;
        const auto [l, r] = rig.run(std::vector<float>(8, 0.0f), ChainRig::impulse(8));
        const std::vector<double> want = {1.0 - d, d, 0, 0, 0, 0, 0, 0};
        expectAllNear(r, want, 1e-6);
    }
    {
        // Ramping from 0.48 samples down to 0 in 960 steps of 0.0005: each step interpolates
        // until the delay falls below 0.001, where the sample just written passes as it is.
        // The input rises by 1 per sample, so a delay of d shows as x - d.
        SCOPED_TRACE("ramp down to no delay");
        ChainRig rig({{"delayL", 0.01f}});
        rig.set({{"delayL", 0.0f}});
        std::vector<float> ramp(1000);
        for (size_t i = 0; i < ramp.size(); ++i)
            ramp[i] = static_cast<float>(i);
        const auto [l, r] = rig.run(ramp, std::vector<float>(1000, 0.0f));

        float d = 0.01f * 0.001f * 48000.0f;
        const float step = -d / 960.0f;
        int passed = 0;
        // The first sample blends with the empty line, not with a sample before the block.
        ASSERT_NEAR(l[0], 0.0f, 1e-7f);
        d += step;
        for (size_t i = 1; i < 1000; ++i)
        {
            d = i < 959 ? d + step : 0.0f;
            if (d < 0.001f)
            {
                ASSERT_EQ(l[i], ramp[i]) << i;
                ++passed;
            }
            else
            {
                ASSERT_NEAR(l[i], ramp[i] - d, 2e-4f) << i;
                ASSERT_LT(l[i], ramp[i]) << i;
            }
        }
        EXPECT_GT(passed, 41); // the last ramp steps below 0.001, then the target 0
    }
}

TEST(SignalChain, StereoStagesOnDc)
{
    const double L = 0.8, R = 0.2;
    const double mid = (L + R) / 2, side = (L - R) / 2;
    const double r30 = 30.0 * 0.017453292;
    struct Case
    {
        const char* what;
        ChainRig::Params params;
        double wantL, wantR;
    };
    const Case cases[] = {
        {"width 0: both carry the mid times sqrt 2", {{"width", 0.0f}}, mid * std::sqrt(2.0), mid * std::sqrt(2.0)},
        {"width 100 passes", {{"width", 100.0f}}, L, R},
        {"width 500: norm 1 / sqrt 13",
         {{"width", 500.0f}},
         (mid + 5 * side) / std::sqrt(13.0),
         (mid - 5 * side) / std::sqrt(13.0)},
        {"mid -6 dB, side +6 dB",
         {{"midGain", -6.0f}, {"sideGain", 6.0f}},
         mid * dbGain(-6) + side * dbGain(6),
         mid * dbGain(-6) - side * dbGain(6)},
        {"mute mid", {{"muteMid", 1.0f}}, side, -side},
        {"mute side", {{"muteSide", 1.0f}}, mid, mid},
        {"asymmetry +90: left is mid alone", {{"asymmetry", 90.0f}}, mid, mid - side},
        {"asymmetry -90: right is mid alone", {{"asymmetry", -90.0f}}, mid + side, mid},
        {"asymmetry +45", {{"asymmetry", 45.0f}}, mid + 0.5 * side, mid - side},
        {"rotation 30",
         {{"rotation", 30.0f}},
         L * std::cos(r30) - R * std::sin(r30),
         L * std::sin(r30) + R * std::cos(r30)},
        {"mute left", {{"muteL", 1.0f}}, 0.0, R},
        {"mute right", {{"muteR", 1.0f}}, L, 0.0},
        {"mono", {{"mono", 1.0f}}, mid, mid},
        {"mono with the left muted: half the right", {{"mono", 1.0f}, {"muteL", 1.0f}}, R / 2, R / 2},
        {"pan left fully right", {{"panL", 100.0f}}, 0.0, L + R},
        {"pan right fully left", {{"panR", -100.0f}}, L + R, 0.0},
        {"pans swapped", {{"panL", 100.0f}, {"panR", -100.0f}}, R, L},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.what);
        ChainRig rig(c.params);
        const auto [l, r] = rig.runDc(static_cast<float>(L), static_cast<float>(R), 64);
        for (size_t i = 0; i < 64; ++i)
        {
            ASSERT_NEAR(l[i], c.wantL, 1e-6);
            ASSERT_NEAR(r[i], c.wantR, 1e-6);
        }
    }
}

TEST(SignalChain, RotationAndWidthRampSampleBySample)
{
    // While the angle ramps, each sample is rotated by that sample's angle.
    ChainRig rig;
    rig.set({{"rotation", -45.0f}, {"width", 250.0f}});
    const auto [l, r] = rig.runDc(0.8f, 0.2f, 1000);
    float theta = 0.0f, w = 1.0f;
    const float thetaStep = (-45.0f * 0.017453292f) / 960.0f, wStep = (2.5f - 1.0f) / 960.0f;
    for (size_t i = 0; i < 1000; ++i)
    {
        theta = i < 959 ? theta + thetaStep : -45.0f * 0.017453292f;
        w = i < 959 ? w + wStep : 2.5f;
        const double norm = 1.0 / std::sqrt((w * w + 1.0) / 2.0);
        const double mid = 0.5 * norm, side = 0.3 * w * norm;
        const double a = mid + side, b = mid - side;
        ASSERT_NEAR(l[i], a * std::cos(theta) - b * std::sin(theta), 1e-6) << i;
        ASSERT_NEAR(r[i], a * std::sin(theta) + b * std::cos(theta), 1e-6) << i;
    }
}

TEST(SignalChain, BassMonoFoldsTheLowBand)
{
    // Coefficients: Butterworth (Q = 1/sqrt 2) low- and high-pass at 200 Hz.
    ChainRig rig({{"monoMakerInt", 100.0f}, {"monoMakerFreq", 200.0f}});
    const double w0 = 2.0 * pi * 200.0 / 48000.0, alpha = std::sin(w0) / std::sqrt(2.0), a0 = 1.0 + alpha;
    const double c = std::cos(w0);
    rig.runDc(0.0f, 0.0f, 1);
    const auto lp = rig.probe.lowPassCoeffs();
    const auto hp = rig.probe.highPassCoeffs();
    EXPECT_NEAR(lp.b0, (1 - c) / 2 / a0, 1e-9);
    EXPECT_NEAR(lp.b1, (1 - c) / a0, 1e-9);
    EXPECT_NEAR(lp.b2, (1 - c) / 2 / a0, 1e-9);
    EXPECT_NEAR(hp.b0, (1 + c) / 2 / a0, 1e-7);
    EXPECT_NEAR(hp.b1, -(1 + c) / a0, 1e-7);
    EXPECT_NEAR(lp.a1, -2 * c / a0, 1e-7);
    EXPECT_NEAR(hp.a2, (1 - alpha) / a0, 1e-7);

    // A 30 Hz side signal (left = -right) loses its side; a 5 kHz one keeps it.
    auto sideOut = [&](double hz)
    {
        std::vector<float> l(9600), r(9600);
        for (size_t i = 0; i < l.size(); ++i)
        {
            l[i] = static_cast<float>(0.5 * std::sin(2 * pi * hz * static_cast<double>(i) / 48000.0));
            r[i] = -l[i];
        }
        const auto [outL, outR] = rig.run(l, r);
        double peak = 0;
        for (size_t i = 4800; i < l.size(); ++i)
            peak = std::max(peak, std::abs(0.5 * (outL[i] - outR[i])));
        return peak;
    };
    EXPECT_LT(sideOut(30.0), 0.5 * 1e-3); // LR4 high-pass at 30 / 200: about (0.15)^4
    EXPECT_NEAR(sideOut(5000.0), 0.5, 0.01);
}

TEST(SignalChain, BassMonoAtZeroStillRunsTheCrossoverUntouched)
{
    ChainRig rig({{"monoMakerFreq", 300.0f}});
    const auto l = noise(512, 5), r = noise(512, 6);
    const auto [outL, outR] = rig.run(l, r);
    for (size_t i = 0; i < l.size(); ++i)
        ASSERT_NEAR(outL[i], l[i], 1e-6f);
    float energy = 0.0f;
    for (const auto& st : rig.probe.crossoverStates())
        energy += std::abs(st.s1) + std::abs(st.s2);
    EXPECT_GT(energy, 0.0f);
}

TEST(SignalChain, CrossoverFollowsItsFrequencyEvery32Samples)
{
    struct Case
    {
        const char* what;
        float to;
        int minChanges, maxChanges;
    };
    // From 100 Hz over 150 ms (7200 samples): to 4000 Hz moves far more than 0.05 Hz per 32
    // samples, so every check recomputes; to 101 Hz moves 0.0044 Hz per check, so a new set of
    // coefficients comes only once the frequency has moved 0.05 Hz since the last one.
    const Case cases[] = {{"fast", 4000.0f, 225, 226}, {"slow", 101.0f, 18, 21}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.what);
        ChainRig rig({{"monoMakerFreq", 100.0f}});
        rig.set({{"monoMakerFreq", c.to}});
        float last = rig.probe.lastCrossoverFreq();
        int changes = 0;
        for (int i = 0; i < 7300; ++i)
        {
            rig.runDc(0.0f, 0.0f, 1);
            const float now = rig.probe.lastCrossoverFreq();
            if (std::abs(now - last) > 0.0f)
            {
                ASSERT_EQ(i % 32, 0) << "recomputed at sample " << i;
                ++changes;
                last = now;
            }
        }
        EXPECT_GE(changes, c.minChanges);
        EXPECT_LE(changes, c.maxChanges);
        EXPECT_NEAR(last, c.to, 0.06f);
    }
}

TEST(SignalChain, BypassIsBitExactWhileRingsAndReadingsMove)
{
    ChainRig rig({{"gainL", -20.0f}, {"apPhaseL", 120.0f}, {"delayR", 10.0f}});
    rig.set({{"bypass", 1.0f}, {"gainL", 6.0f}, {"width", 300.0f}});
    const auto l = noise(1000, 7), r = noise(1000, 8);
    const auto [outL, outR] = rig.run(l, r);
    EXPECT_EQ(outL, l);
    EXPECT_EQ(outR, r);

    auto& p = rig.proc;
    EXPECT_EQ(p.inputScope().writePosition(), 1000);
    EXPECT_EQ(p.outputScope().writePosition(), 1000);
    for (size_t i = 0; i < 1000; ++i)
    {
        ASSERT_EQ(p.inputScope().left(i), l[i]);
        ASSERT_EQ(p.outputScope().left(i), l[i]);
        ASSERT_EQ(p.outputScope().right(i), r[i]);
    }
    float peak = 0.0f;
    for (float v : l)
        peak = std::max(peak, std::abs(v));
    EXPECT_NEAR(p.peakDbL.load(), 20.0f * std::log10(peak), 1e-4f);
    EXPECT_GT(p.rmsDbL.load(), -20.0f);

    // Leaving bypass starts at the gain and width set meanwhile, without ramps.
    rig.set({{"bypass", 0.0f}, {"apPhaseL", 0.0f}});
    const auto [afterL, afterR] = rig.runDc(0.25f, 0.0f, 64);
    const double x = 0.25 * dbGain(6), norm = 1.0 / std::sqrt(5.0);
    for (size_t i = 0; i < 64; ++i)
    {
        ASSERT_NEAR(afterL[i], (x / 2 + 3 * x / 2) * norm, 1e-6) << i;
        ASSERT_NEAR(afterR[i], (x / 2 - 3 * x / 2) * norm, 1e-6) << i;
    }
}

// Second-order stages at the lowest frequencies put their poles within a float step of the unit
// circle; rounded carelessly, the coefficients leave one outside and the output grows without end.
TEST(SignalChain, SecondOrderStagesStayBoundedAtTheLowestFrequencies)
{
    const struct
    {
        double rate;
        float fc, q;
    } cases[] = {{48000.0, 1.0f, 3.45f},  {48000.0, 1.0f, 0.1f},  {48000.0, 1.0f, 100.0f}, {48000.0, 2.5f, 0.7f},
                 {44100.0, 1.0f, 3.45f},  {96000.0, 1.0f, 3.45f}, {192000.0, 1.0f, 3.45f}, {192000.0, 1.0f, 100.0f},
                 {192000.0, 10.0f, 1.0f}, {192000.0, 1.0f, 0.1f}};
    constexpr int block = 256;
    for (const auto& c : cases)
    {
        SCOPED_TRACE(testing::Message() << c.rate << " Hz rate, " << c.fc << " Hz, Q " << c.q);
        AllpassStages stages;
        stages.prepare(c.rate);
        stages.setParameters(c.fc, 180.0f * kAllpassStages, c.q, true);
        const auto in = noise(block, 11);
        float peak = 0.0f;
        for (int b = 0; b < static_cast<int>(10.0 * c.rate) / block; ++b)
        {
            auto x = in;
            stages.process(x.data(), block);
            for (const float v : x)
                peak = std::max(peak, std::abs(v));
            ASSERT_TRUE(std::isfinite(peak)) << "block " << b;
        }
        EXPECT_LT(peak, 8.0f);
    }
}

// Blocks whose settings equal the last block's keep the plans worked out before. A new
// prepareToPlay must plan afresh even so: its rate changes the all-pass coefficients, the delay in
// samples and the crossover, with not one setting moved.
TEST(SignalChain, NewRateWithTheSameSettingsPlansAfresh)
{
    const ChainRig::Params settings = {{"apPhaseL", 135.0f},     {"apFcL", 700.0f}, {"apOrder2R", 1.0f},
                                       {"apPhaseR", 200.0f},     {"delayL", 3.3f},  {"monoMakerInt", 70.0f},
                                       {"monoMakerFreq", 180.0f}};
    const auto l = noise(256, 3), r = noise(256, 4);

    ChainRig moved(settings, 44100.0);
    for (int i = 0; i < 4; ++i)
        moved.run(l, r);
    moved.proc.prepareToPlay(96000.0, 512);
    ChainRig fresh(settings, 96000.0);

    for (int block = 0; block < 3; ++block)
    {
        const auto [gotL, gotR] = moved.run(l, r);
        const auto [wantL, wantR] = fresh.run(l, r);
        ASSERT_EQ(gotL, wantL) << "block " << block;
        ASSERT_EQ(gotR, wantR) << "block " << block;
    }
}
