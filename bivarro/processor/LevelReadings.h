#pragma once

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>

// Peak and RMS of the output as the meters show them: -99 dB for digital silence, nothing below
// -100 dB otherwise.
class LevelReadings
{
public:
    // Running peak and sum of squares per channel, sample by sample in order.
    struct Sums
    {
        float peakL = 0.0f;
        float peakR = 0.0f;
        float squaresL = 0.0f;
        float squaresR = 0.0f;
    };

    static void accumulate(const float* left, const float* right, int n, Sums& sums) noexcept;

    // The same sums taken a few samples at a time, for loops that produce the output as they go:
    // peaks four samples at a time (the largest value does not depend on the order it is looked
    // for in), squares added sample by sample in order.
    class Accumulator
    {
    public:
        explicit Accumulator(const Sums& start) noexcept
            : peakL(start.peakL), peakR(start.peakR), squaresL(start.squaresL), squaresR(start.squaresR)
        {
        }

        void addFour(const float* left, const float* right) noexcept
        {
            lanesL = raise(lanesL, left);
            lanesR = raise(lanesR, right);
            for (int k = 0; k < 4; ++k)
            {
                squaresL += left[k] * left[k];
                squaresR += right[k] * right[k];
            }
        }

        void addOne(float left, float right) noexcept
        {
            peakL = std::max(peakL, std::abs(left));
            peakR = std::max(peakR, std::abs(right));
            squaresL += left * left;
            squaresR += right * right;
        }

        Sums sums() const noexcept { return {largest(lanesL, peakL), largest(lanesR, peakR), squaresL, squaresR}; }

    private:
        using Lanes = float __attribute__((vector_size(16)));
        using Mask = int __attribute__((vector_size(16)));

        // The larger of peak and |x| per lane, as peak < |x| ? |x| : peak would give it: a NaN never wins.
        static Lanes raise(Lanes peak, const float* x) noexcept
        {
            Lanes v;
            std::memcpy(&v, x, sizeof v);
            const auto a = std::bit_cast<Lanes>(std::bit_cast<Mask>(v) & 0x7fffffff);
            return peak < a ? a : peak;
        }

        static float largest(Lanes lanes, float peak) noexcept
        {
            for (int k = 0; k < 4; ++k)
                peak = peak < lanes[k] ? lanes[k] : peak;
            return peak;
        }

        Lanes lanesL{};
        Lanes lanesR{};
        float peakL, peakR, squaresL, squaresR;
    };

    static float peakToDb(float peak) noexcept;
    static float meanSquareToDb(float meanSquare) noexcept;

    // Samples an RMS window holds at least; windows are made of whole blocks.
    static constexpr int rmsWindow = 512;
};
