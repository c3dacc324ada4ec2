#pragma once

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

    static float peakToDb(float peak) noexcept;
    static float meanSquareToDb(float meanSquare) noexcept;

    // Samples an RMS window holds at least; windows are made of whole blocks.
    static constexpr int rmsWindow = 512;
};
