#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <map>
#include <numbers>
#include <string>
#include <vector>

// A plain, sample-by-sample model of Bivarro's chain, written straight from the formulas with no
// attention to speed, for checking the processor's output against it.
namespace reference
{
struct Ramp
{
    float current = 0, target = 0, step = 0;
    int countdown = 0, steps = 0;

    void setup(double rate, double seconds, float v)
    {
        steps = static_cast<int>(std::floor(rate * seconds));
        current = target = v;
        countdown = 0;
    }
    void setTarget(float v)
    {
        const float diff = std::abs(v - target);
        if (diff < 1.1754944e-38f || diff <= 1.1920929e-07f * std::max(std::abs(v), std::abs(target)))
            return;
        if (steps <= 0)
        {
            snap(v);
            return;
        }
        target = v;
        countdown = steps;
        step = (target - current) / static_cast<float>(steps);
    }
    void snap(float v)
    {
        current = target = v;
        countdown = 0;
    }
    float next()
    {
        if (countdown == 0)
            return target;
        --countdown;
        if (countdown == 0)
        {
            current = target;
            return target;
        }
        current += step;
        return current;
    }
};

inline float dbToGain(float db)
{
    return db > -100.0f ? std::pow(10.0f, db * 0.05f) : 0.0f;
}

struct Biquad
{
    float b0 = 1, b1 = 0, b2 = 0, a1 = 0, a2 = 0;
};

struct Chain
{
    // Parameter values by ID, in their own units; the defaults of the parameter table.
    std::map<std::string, float> p = {
        {"gainL", 0},     {"gainR", 0},    {"panL", 0},      {"panR", 0},           {"delayL", 0},
        {"delayR", 0},    {"apFcL", 1000}, {"apFcR", 1000},  {"apPhaseL", 0},       {"apPhaseR", 0},
        {"apQL", 1},      {"apQR", 1},     {"apOrder2L", 0}, {"apOrder2R", 0},      {"polarityL", 0},
        {"polarityR", 0}, {"width", 100},  {"asymmetry", 0}, {"rotation", 0},       {"trimOut", 0},
        {"midGain", 0},   {"sideGain", 0}, {"muteL", 0},     {"muteR", 0},          {"muteMid", 0},
        {"muteSide", 0},  {"mono", 0},     {"bypass", 0},    {"monoMakerFreq", 10}, {"monoMakerInt", 0}};

    double rate = 48000;
    std::vector<float> lineL, lineR;
    int mask = 0, writeL = 0, writeR = 0;
    Ramp delayL, delayR, bassAmount, bassFreq, gainL, gainR, width, mid, side, trim, asym, rot;
    std::array<std::array<float, 2>, 8> ap1L{}, ap1R{};
    std::array<std::array<double, 4>, 8> ap2L{}, ap2R{};
    std::array<std::array<float, 2>, 8> xo{}; // LPL1, LPL2, LPR1, LPR2, HPL1, HPL2, HPR1, HPR2
    Biquad lp, hp;
    float lastFreq = -1, lastRate = -1;
    int counter = 0;
    bool lastBypass = false;
    float rmsSumL = 0, rmsSumR = 0;
    int rmsCount = 0;
    float peakDbL = -100, peakDbR = -100, rmsDbL = -100, rmsDbR = -100;
    // When set, the crossover frequency is limited to 0.499 x rate (the processor does so).
    bool limitCrossover = true;

    bool on(const char* id) { return p[id] > 0.5f; }
    float signedGain(const char* g, const char* pol) { return on(pol) ? -dbToGain(p[g]) : dbToGain(p[g]); }

    void prepare(double sampleRate)
    {
        rate = sampleRate;
        const int b = static_cast<int>(static_cast<float>(rate) * 0.05f);
        int size = 1;
        while (size <= std::max(b, 60) + 3)
            size *= 2;
        lineL.assign(static_cast<size_t>(size), 0.0f);
        lineR = lineL;
        mask = size - 1;
        writeL = writeR = 0;
        ap1L = ap1R = {};
        ap2L = ap2R = {};
        const float r = static_cast<float>(rate);
        delayL.setup(rate, 0.02, p["delayL"] * 0.001f * r);
        delayR.setup(rate, 0.02, p["delayR"] * 0.001f * r);
        rmsSumL = rmsSumR = 0;
        rmsCount = 0;
        lastBypass = on("bypass");
        xo = {};
        lastFreq = lastRate = -1;
        counter = 0;
        bassAmount.setup(rate, 0.05, p["monoMakerInt"] / 100.0f);
        bassFreq.setup(rate, 0.15, p["monoMakerFreq"]);
        gainL.setup(rate, 0.02, signedGain("gainL", "polarityL"));
        gainR.setup(rate, 0.02, signedGain("gainR", "polarityR"));
        width.setup(rate, 0.02, p["width"] / 100.0f);
        mid.setup(rate, 0.02, dbToGain(p["midGain"]));
        side.setup(rate, 0.02, dbToGain(p["sideGain"]));
        trim.setup(rate, 0.02, dbToGain(p["trimOut"]));
        asym.setup(rate, 0.02, p["asymmetry"]);
        rot.setup(rate, 0.02, p["rotation"] * 0.017453292f);
    }

    static float firstOrder(std::array<float, 2>& s, float a, float x)
    {
        const float y = a * x + s[0] - a * s[1];
        s = {x, y};
        return y;
    }
    static float secondOrder(std::array<double, 4>& s, double c0, double c1, float in)
    {
        // s = {x1, x2, y1, y2}
        const double x = in;
        const double y = c0 * x + c1 * s[0] + s[1] - c1 * s[2] - c0 * s[3];
        s = {x, s[0], y, s[2]};
        return static_cast<float>(y);
    }
    static float biquad(std::array<float, 2>& s, const Biquad& c, float x)
    {
        const float y = s[0] + c.b0 * x;
        s[0] = s[1] + c.b1 * x - c.a1 * y;
        s[1] = c.b2 * x - c.a2 * y;
        return y;
    }

    struct AllpassPlan
    {
        bool second;
        int whole;
        float frac;
        bool useFrac;
        float a = 0;
        double c0 = 0, c1 = 0;
    };
    AllpassPlan plan(const char* fc, const char* phase, const char* q, const char* order)
    {
        AllpassPlan ap{};
        ap.second = on(order);
        const float s = std::clamp(ap.second ? p[phase] / 180.0f : p[phase] / 90.0f, 0.0f, 8.0f);
        ap.whole = static_cast<int>(s);
        ap.frac = s - static_cast<float>(ap.whole);
        ap.useFrac = ap.whole < 8 && ap.frac > 0.001f;
        const double f = std::clamp(static_cast<double>(p[fc]), 0.5, 0.499 * rate);
        const double t = std::tan(std::numbers::pi * f / rate);
        ap.a = static_cast<float>((t - 1) / (t + 1));
        const double w0 = 2 * std::numbers::pi * f / rate;
        const double alpha = std::sin(w0) / (2 * std::clamp(static_cast<double>(p[q]), 0.1, 100.0));
        ap.c0 = (1 - alpha) / (1 + alpha);
        ap.c1 = -2 * std::cos(w0) / (1 + alpha);
        return ap;
    }
    static float allpass(const AllpassPlan& ap, std::array<std::array<float, 2>, 8>& s1,
                         std::array<std::array<double, 4>, 8>& s2, float x)
    {
        auto stage = [&](int k, float in)
        {
            return ap.second ? secondOrder(s2[static_cast<size_t>(k)], ap.c0, ap.c1, in)
                             : firstOrder(s1[static_cast<size_t>(k)], ap.a, in);
        };
        for (int k = 0; k < ap.whole; ++k)
            x = stage(k, x);
        if (ap.useFrac)
        {
            const float y = stage(ap.whole, x);
            x = ap.frac * y + (1 - ap.frac) * x;
        }
        return x;
    }

    void designCrossover(float fb)
    {
        double f = fb;
        if (limitCrossover)
            f = std::min(f, 0.499 * rate);
        const double w0 = 2 * std::numbers::pi * f / rate;
        const double alpha = std::sin(w0) / std::sqrt(2.0);
        const double a0 = 1 + alpha, c = std::cos(w0);
        auto f32 = [](double v) { return static_cast<float>(v); };
        lp = {f32((1 - c) / 2 / a0), f32((1 - c) / a0), f32((1 - c) / 2 / a0), f32(-2 * c / a0), f32((1 - alpha) / a0)};
        hp = {f32((1 + c) / 2 / a0), f32(-(1 + c) / a0), f32((1 + c) / 2 / a0), f32(-2 * c / a0),
              f32((1 - alpha) / a0)};
    }

    // Processes n samples of l and r in place, as the processor's processBlock does.
    void process(float* l, float* r, int n)
    {
        const float rf = static_cast<float>(rate);
        bassAmount.setTarget(p["monoMakerInt"] * 0.01f);
        bassFreq.setTarget(p["monoMakerFreq"]);
        gainL.setTarget(signedGain("gainL", "polarityL"));
        gainR.setTarget(signedGain("gainR", "polarityR"));
        width.setTarget(p["width"] * 0.01f);
        mid.setTarget(dbToGain(p["midGain"]));
        side.setTarget(dbToGain(p["sideGain"]));
        trim.setTarget(dbToGain(p["trimOut"]));
        asym.setTarget(p["asymmetry"]);
        rot.setTarget(p["rotation"] * 0.017453292f);
        const bool bypassed = on("bypass");
        if (bypassed != lastBypass)
        {
            rmsSumL = rmsSumR = 0;
            rmsCount = 0;
        }
        lastBypass = bypassed;
        const float dTargetL = std::clamp(p["delayL"] * 0.001f * rf, 0.0f, static_cast<float>(mask));
        const float dTargetR = std::clamp(p["delayR"] * 0.001f * rf, 0.0f, static_cast<float>(mask));

        float peakL = 0, peakR = 0;
        auto feed = [&](float a, float b)
        {
            peakL = std::max(peakL, std::abs(a));
            peakR = std::max(peakR, std::abs(b));
            rmsSumL += a * a;
            rmsSumR += b * b;
        };

        if (bypassed)
        {
            for (int i = 0; i < n; ++i)
                feed(l[i], r[i]);
            publish(n, peakL, peakR);
            delayL.snap(dTargetL);
            delayR.snap(dTargetR);
            for (Ramp* s : {&gainL, &gainR, &width, &mid, &side, &trim, &asym, &rot})
                s->snap(s->target);
            return;
        }

        const float pi = 3.1415927f;
        const float thL = (p["panL"] / 100.0f) * pi * 0.5f;
        const float thR = ((p["panR"] + 100.0f) / 100.0f) * pi * 0.5f;
        const auto apL = plan("apFcL", "apPhaseL", "apQL", "apOrder2L");
        const auto apR = plan("apFcR", "apPhaseR", "apQR", "apOrder2R");
        delayL.setTarget(dTargetL);
        delayR.setTarget(dTargetR);

        for (int i = 0; i < n; ++i)
        {
            float xL = l[i] * gainL.next();
            float xR = r[i] * gainR.next();
            xL = allpass(apL, ap1L, ap2L, xL);
            xR = allpass(apR, ap1R, ap2R, xR);

            auto delay = [&](std::vector<float>& line, int w, Ramp& ramp, float x)
            {
                line[static_cast<size_t>(w)] = x;
                const float d = ramp.next();
                if (d < 0.001f)
                    return x;
                const int j = static_cast<int>(d);
                const float f = d - static_cast<float>(j);
                return (1 - f) * line[static_cast<size_t>((w - j) & mask)] +
                       f * line[static_cast<size_t>((w - j - 1) & mask)];
            };
            const float dL = delay(lineL, writeL, delayL, xL);
            const float dR = delay(lineR, writeR, delayR, xR);
            writeL = (writeL + 1) & mask;
            writeR = (writeR + 1) & mask;

            const float fb = bassFreq.next();
            const int old = counter++;
            if (old >= 31 || !std::equal_to<float>()(lastRate, rf) || lastFreq < 0)
            {
                counter = 0;
                if (std::abs(fb - lastFreq) > 0.05f || !std::equal_to<float>()(lastRate, rf) || lastFreq < 0)
                {
                    designCrossover(fb);
                    lastFreq = fb;
                    lastRate = rf;
                }
            }

            float L = std::cos(thL) * dL + std::cos(thR) * dR;
            float R = std::sin(thL) * dL + std::sin(thR) * dR;

            const float lpL = biquad(xo[1], lp, biquad(xo[0], lp, L));
            const float lpR = biquad(xo[3], lp, biquad(xo[2], lp, R));
            const float hpL = biquad(xo[5], hp, biquad(xo[4], hp, L));
            const float hpR = biquad(xo[7], hp, biquad(xo[6], hp, R));

            const float k = bassAmount.next();
            if (k * k > 0)
            {
                const float lowMid = (lpL + lpR) * 0.5f;
                const float lowSide = (lpL - lpR) * 0.5f * (1 - k * k);
                L = hpL + lowMid + lowSide;
                R = hpR + lowMid - lowSide;
            }

            const float w = width.next(), gm = mid.next(), gs = side.next();
            const float norm = 1 / std::sqrt((w * w + 1) * 0.5f);
            const float m = on("muteMid") ? 0.0f : (L + R) * 0.5f * norm * gm;
            const float s = on("muteSide") ? 0.0f : (L - R) * 0.5f * w * norm * gs;

            const float a = std::clamp(asym.next() / 90.0f, -1.0f, 1.0f);
            L = m + (1 - std::max(a, 0.0f)) * s;
            R = m - (1 + std::min(a, 0.0f)) * s;

            const float th = rot.next();
            if (std::abs(th) > 1e-05f)
            {
                const float L2 = L * std::cos(th) - R * std::sin(th);
                R = L * std::sin(th) + R * std::cos(th);
                L = L2;
            }
            if (on("muteL"))
                L = 0;
            if (on("muteR"))
                R = 0;
            if (on("mono"))
                L = R = (L + R) * 0.5f;
            const float t = trim.next();
            l[i] = L * t;
            r[i] = R * t;
            feed(l[i], r[i]);
        }
        publish(n, peakL, peakR);
    }

    static float toDb(float v) { return v > 0 ? std::max(-100.0f, 20.0f * std::log10(v)) : -99.0f; }

    void publish(int n, float peakL, float peakR)
    {
        peakDbL = toDb(peakL);
        peakDbR = toDb(peakR);
        rmsCount += n;
        if (rmsCount >= 512)
        {
            rmsDbL = toDb(std::sqrt(rmsSumL / static_cast<float>(rmsCount)));
            rmsDbR = toDb(std::sqrt(rmsSumR / static_cast<float>(rmsCount)));
            rmsSumL = rmsSumR = 0;
            rmsCount = 0;
        }
    }
};
} // namespace reference
