#pragma once

#include "bivarro/processor/BassMonoCrossover.h"
#include "bivarro/processor/LevelReadings.h"
#include "bivarro/processor/RampValues.h"

// The stereo stages after the per-channel ones: pan, then (after the crossover) bass mono,
// mid/side with width and gains, asymmetry, rotation, the mutes, mono and the output trim.
class StereoImage
{
public:
    // Per-block switches.
    struct Switches
    {
        bool muteMid = false;
        bool muteSide = false;
        bool muteL = false;
        bool muteR = false;
        bool mono = false;
    };

    // Per-sample smoothed values.
    struct Ramps
    {
        RampValues bassMonoAmount;
        RampValues width;
        RampValues midGain;
        RampValues sideGain;
        RampValues asymmetry;
        RampValues rotation;
        RampValues trim;
    };

    // The crossover's four outputs.
    struct Bands
    {
        const float* lowL;
        const float* lowR;
        const float* highL;
        const float* highR;
    };

    // Channel angles: left = cos(thetaL) dL + cos(thetaR) dR, right = sin(thetaL) dL + sin(thetaR) dR.
    struct Pan
    {
        float cosL, sinL, cosR, sinR;
    };

    static void pan(const Pan& p, const float* dL, const float* dR, float* outL, float* outR, int n) noexcept;

    // left and right hold the panned pair and receive the result.
    static void process(const Switches& sw, const Ramps& ramps, const Bands& bands, float* left, float* right,
                        int n) noexcept;

    // As pan(), the crossover and process() for a run in which the crossover's coefficients hold:
    // the delayed pair dL, dR is panned, the tracker takes the panned pair (its bands go into the
    // bass mono, or nowhere while the amount stays at 0) and the level sums take the result, all
    // in one loop, so that the other work fills the gaps in the crossover's recursion.
    static void processTracked(const Switches& sw, const Ramps& ramps, const Pan& pan, const float* dL, const float* dR,
                               BassMonoCrossover::Tracker& crossover, LevelReadings::Accumulator& levels, float* left,
                               float* right, int n) noexcept;

    // Largest number of samples process() takes at once.
    static constexpr int maxBlock = 512;
};
