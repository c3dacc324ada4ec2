#pragma once

#include <juce_graphics/juce_graphics.h>

// Where the vectorscope puts a sample pair and the wedge of the stereo parameters, on a half-disc
// standing on its base line: 0 degrees straight up (equal channels), positive angles to the right.
struct VectorscopeMapping
{
    // Radius fraction 0..1 (outer arc 0 dB, centre -60 dB) and direction in radians.
    struct Polar
    {
        float fraction = 0.0f;
        float angle = 0.0f;
    };

    // Edge angles in degrees and lengths as fractions of the wedge radius.
    struct Wedge
    {
        float leftAngle = 0.0f, leftLength = 1.0f;
        float rightAngle = 0.0f, rightLength = 1.0f;
    };

    static Polar map(float left, float right, float zoom) noexcept;
    static juce::Point<float> toScreen(Polar p, float cx, float cy, float radius) noexcept;

    // The same place as toScreen(map(...)), without trigonometry: the direction's sine and cosine
    // are the side and mid shares of the magnitude. Drawing calls it for every point.
    static juce::Point<float> place(float left, float right, float zoom, float cx, float cy, float radius) noexcept;

    // place() for count points at once, into xs and ys: drawing's inner loop, kept in one piece.
    static void placeAll(const float* lefts, const float* rights, int count, float zoom, float cx, float cy,
                         float radius, float* xs, float* ys) noexcept;

    static constexpr int envelopeBins = 180;

    // The envelope's direction bin 0..envelopeBins-1 of a point u px right of and v px above the
    // centre: trunc((atan2(u, v + 1e-4) / pi + 0.5) * envelopeBins), clamped. The slope u / (v + 1e-4)
    // is looked up among the bin edges' tangents, and the library's arctangent decides only for
    // the rare point within a hair of an edge: drawing bins every point of both clouds.
    static int envelopeBin(float u, float v) noexcept;

    static Wedge wedge(float widthPercent, float rotationDegrees, float asymmetryDegrees) noexcept;

    // Outline alpha of the wedge for its fill opacity: full at 0.2 and above.
    static float outlineAlpha(float triangleAlpha) noexcept;
};
