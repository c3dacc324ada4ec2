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
    // for in), squares added sample by sample in order. Both channels share each register, so
    // that a loop busy with other work has registers to spare: the peaks in lanes {L, R, L, R},
    // the sums of squares in the low pair of lanes.
    class Accumulator
    {
    public:
        using Lanes = float __attribute__((vector_size(16)));

        explicit Accumulator(const Sums& start) noexcept
            : peaks{start.peakL, start.peakR, start.peakL, start.peakR}, squares{start.squaresL, start.squaresR, 0.0f,
                                                                                 0.0f}
        {
        }

        void addFour(const float* left, const float* right) noexcept { addFour(load(left), load(right)); }

        // Four samples of each channel; each sample's squares go into the sums in order, as the
        // plain sums would take them.
        void addFour(Lanes left, Lanes right) noexcept
        {
            const Lanes early = __builtin_shufflevector(left, right, 0, 4, 1, 5);
            const Lanes late = __builtin_shufflevector(left, right, 2, 6, 3, 7);
            peaks = raise(raise(peaks, early), late);
            const Lanes sqEarly = early * early;
            const Lanes sqLate = late * late;
            squares += sqEarly;
            squares += __builtin_shufflevector(sqEarly, sqEarly, 2, 3, 2, 3);
            squares += sqLate;
            squares += __builtin_shufflevector(sqLate, sqLate, 2, 3, 2, 3);
        }

        void addOne(float left, float right) noexcept
        {
            // Lanes 2 and 3 meet 0, which raises no peak.
            peaks = raise(peaks, Lanes{left, right, 0.0f, 0.0f});
            squares += Lanes{left * left, right * right, 0.0f, 0.0f};
        }

        Sums sums() const noexcept
        {
            return {larger(peaks[0], peaks[2]), larger(peaks[1], peaks[3]), squares[0], squares[1]};
        }

    private:
        using Mask = int __attribute__((vector_size(16)));

        static Lanes load(const float* x) noexcept
        {
            Lanes v;
            std::memcpy(&v, x, sizeof v);
            return v;
        }

        // The larger of peak and |x| per lane, as peak < |x| ? |x| : peak would give it: a NaN never wins.
        static Lanes raise(Lanes peak, Lanes v) noexcept
        {
            const auto a = std::bit_cast<Lanes>(std::bit_cast<Mask>(v) & 0x7fffffff);
            return peak < a ? a : peak;
        }

        static float larger(float a, float b) noexcept { return a < b ? b : a; }

        Lanes peaks;
        Lanes squares;
    };

    static float peakToDb(float peak) noexcept;
    static float meanSquareToDb(float meanSquare) noexcept;

    // Samples an RMS window holds at least; windows are made of whole blocks.
    static constexpr int rmsWindow = 512;
};
