#include "bivarro/editor/AnalyserMeasurement.h"
#include "bivarro/editor/DotLayer.h"
#include "bivarro/editor/VectorscopeMapping.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <vector>

namespace
{
constexpr float inf = std::numeric_limits<float>::infinity();
constexpr float qnan = std::numeric_limits<float>::quiet_NaN();

// A stereo ring as the audio thread leaves it: samples written, then the position published.
struct TestRing
{
    std::vector<float> l = std::vector<float>(ScopeRingReader::size, 0.0f);
    std::vector<float> r = std::vector<float>(ScopeRingReader::size, 0.0f);
    std::atomic<int> position{0};
    int written = 0;

    ScopeRingReader reader() const { return {l.data(), r.data(), position}; }

    // Writes n samples whose values are their running sample numbers (left) and their negatives.
    void writeCounting(int n)
    {
        for (int i = 0; i < n; ++i, ++written)
        {
            l[(size_t)(written & ScopeRingReader::mask)] = (float)written;
            r[(size_t)(written & ScopeRingReader::mask)] = -(float)written;
        }
        position.store(written & ScopeRingReader::mask, std::memory_order_release);
    }

    template <typename F> void write(int n, F sample)
    {
        for (int i = 0; i < n; ++i, ++written)
        {
            const auto [a, b] = sample(i);
            l[(size_t)(written & ScopeRingReader::mask)] = a;
            r[(size_t)(written & ScopeRingReader::mask)] = b;
        }
        position.store(written & ScopeRingReader::mask, std::memory_order_release);
    }
};
} // namespace

TEST(ScopeRingTap, TakesWhatWasWrittenAcrossTheWrapAndSkipsAheadWhenFarBehind)
{
    const struct
    {
        int startAt, pending, expectedCount, expectedFirst;
    } cases[] = {
        {0, 0, 0, 0},                // nothing new
        {100, 512, 512, 100},        // plain
        {16000, 1000, 1000, 16000},  // wraps past the end of the ring
        {50, 8192, 8192, 50},        // exactly the threshold: everything
        {50, 8193, 4096, 50 + 4097}, // one more: only the latest 4096
        {16300, 12000, 4096, 16300 + 12000 - 4096},
    };
    for (const auto& c : cases)
    {
        TestRing ring;
        ring.writeCounting(c.startAt);
        ScopeRingTap tap;
        tap.start(ring.reader());
        ring.writeCounting(c.pending);

        const int n = tap.take(ring.reader());
        SCOPED_TRACE(c.pending);
        ASSERT_EQ(n, c.expectedCount);
        ASSERT_EQ(tap.left().size(), (size_t)n);
        if (n > 0)
        {
            EXPECT_EQ(tap.left().front(), (float)c.expectedFirst);
            EXPECT_EQ(tap.right().back(), -(float)(c.startAt + c.pending - 1));
        }
        EXPECT_EQ(tap.readPosition(), ring.position.load());
        // A second take finds nothing and empties the vectors.
        EXPECT_EQ(tap.take(ring.reader()), 0);
        EXPECT_TRUE(tap.left().empty());
    }
}

TEST(CorrelationMeter, ReadingsMoveTowardTheTargetsOfTypicalSignals)
{
    const float keep = AnalyserMeasurement::releaseCoefficient(0.15f);
    const struct
    {
        const char* name;
        float (*left)(int);
        float (*right)(int);
        float startCorr, startPan;
        float corrTarget, panTarget; // targets the readings converge to; a correlation of 2: unchanged
    } cases[] = {
        {"identical", [](int i) { return std::sin(0.05f * i); }, [](int i) { return std::sin(0.05f * i); }, 0, 0, 1, 0},
        {"inverted", [](int i) { return std::sin(0.05f * i); }, [](int i) { return -std::sin(0.05f * i); }, 0, 0, -1,
         0},
        {"right only", [](int) { return 0.0f; }, [](int i) { return std::sin(0.05f * i); }, 0.4f, 0, 2, 1},
        {"left only", [](int i) { return std::sin(0.05f * i); }, [](int) { return 0.0f; }, -0.3f, 0, 2, -1},
        {"silent", [](int) { return 0.0f; }, [](int) { return 1.0e-5f; }, 0.8f, -0.6f, 0, 0},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        std::vector<float> l(512), r(512);
        for (int i = 0; i < 512; ++i)
        {
            l[(size_t)i] = c.left(i);
            r[(size_t)i] = c.right(i);
        }
        CorrelationMeter meter;
        meter.setCoefficients(1.0f, 1.0f);
        // Seed the readings: with a coefficient of 0 one update jumps to the target.
        if (std::abs(c.startCorr) + std::abs(c.startPan) > 0.0f)
        {
            std::vector<float> a(512), b(512);
            for (int i = 0; i < 512; ++i)
            {
                a[(size_t)i] = std::sin(0.05f * i);
                b[(size_t)i] =
                    c.startCorr * a[(size_t)i] + std::sqrt(1 - c.startCorr * c.startCorr) * std::cos(0.05f * i);
            }
            meter.setCoefficients(0.0f, 1.0f);
            meter.update(a.data(), b.data());
            if (std::abs(c.startPan) > 0.0f)
            {
                std::vector<float> quiet(512, 0.0f);
                meter.setCoefficients(1.0f, 0.0f);
                // Left-heavy: pan target (sRR - sLL) / e = c.startPan.
                for (int i = 0; i < 512; ++i)
                    quiet[(size_t)i] = a[(size_t)i] * std::sqrt((1 + c.startPan) / (1 - c.startPan));
                meter.update(a.data(), quiet.data());
            }
        }
        const float corr0 = meter.correlation(), pan0 = meter.panorama();
        EXPECT_NEAR(corr0, c.startCorr, 0.02f);
        EXPECT_NEAR(pan0, c.startPan, 0.02f);

        const float corrTarget = c.corrTarget > 1.5f ? corr0 : c.corrTarget;
        meter.setCoefficients(keep, keep);
        meter.update(l.data(), r.data());
        EXPECT_NEAR(meter.correlation(), keep * corr0 + (1 - keep) * corrTarget, 1e-4f);
        EXPECT_NEAR(meter.panorama(), keep * pan0 + (1 - keep) * c.panTarget, 1e-4f);
        for (int t = 0; t < 200; ++t)
            meter.update(l.data(), r.data());
        EXPECT_NEAR(meter.correlation(), corrTarget, 1e-3f);
        EXPECT_NEAR(meter.panorama(), c.panTarget, 1e-3f);
    }
}

TEST(CorrelationMeter, NonFiniteSamplesAreLeftOutAndTheReadingsStayFinite)
{
    for (const float bad : {inf, -inf, qnan, 3.0e30f})
    {
        SCOPED_TRACE(bad);
        std::vector<float> l(512), r(512);
        for (int i = 0; i < 512; ++i)
            l[(size_t)i] = r[(size_t)i] = std::sin(0.05f * i);
        l[100] = bad;
        CorrelationMeter meter;
        meter.setCoefficients(0.5f, 0.5f);
        for (int t = 0; t < 50; ++t)
            meter.update(l.data(), r.data());
        EXPECT_NEAR(meter.correlation(), 1.0f, 1e-3f);
        EXPECT_NEAR(meter.panorama(), 0.0f, 1e-3f);

        // A window of nothing but bad samples leaves the readings where they were.
        std::vector<float> allBad(512, bad);
        meter.update(allBad.data(), allBad.data());
        EXPECT_TRUE(std::isfinite(meter.correlation()));
        EXPECT_TRUE(std::isfinite(meter.panorama()));
    }
}

TEST(CorrelationMeter, ReadsTheLatestWindowBehindTheRingsWritePosition)
{
    TestRing ring;
    ring.write(16000, [](int i) { return std::pair{std::sin(0.05f * i), -std::sin(0.05f * i)}; });
    // The newest 512 samples wrap around the ring's end and are identical on both channels.
    ring.write(600, [](int i) { return std::pair{std::sin(0.05f * i), std::sin(0.05f * i)}; });
    CorrelationMeter meter;
    meter.setCoefficients(0.0f, 0.0f);
    meter.update(ring.reader());
    EXPECT_FLOAT_EQ(meter.correlation(), 1.0f);
}

TEST(AnalyserMeasurement, ReleaseCoefficients)
{
    const struct
    {
        float release, coefficient;
    } cases[] = {{0.15f, 0.894839f}, {0.05f, 0.716531f}, {1.0f, 0.983471f}, {5.0f, 0.996672f}, {0.0f, 0.0f}};
    for (const auto& c : cases)
        EXPECT_NEAR(AnalyserMeasurement::releaseCoefficient(c.release), c.coefficient, 1e-5f) << c.release;

    // At the default release a captured point lives 36 ticks.
    PointCloud cloud;
    const float one = 0.5f;
    cloud.capture(&one, &one, 1, 64);
    int ticks = 0;
    while (!cloud.points().empty())
    {
        cloud.age(AnalyserMeasurement::releaseCoefficient(0.15f));
        ++ticks;
    }
    EXPECT_EQ(ticks, 36);
}

TEST(PointCloud, BudgetIsLimitedInFloatingPoint)
{
    const struct
    {
        float density;
        int budget;
    } cases[] = {{0.1f, 64},  {0.125f, 64}, {0.5f, 256}, {1.0f, 512}, {2.0f, 1024}, {1.0e12f, 1024},
                 {inf, 1024}, {-inf, 64},   {qnan, 64},  {-1.0f, 64}, {0.0f, 64}};
    for (const auto& c : cases)
        EXPECT_EQ(PointCloud::budgetFor(c.density), c.budget) << c.density;
}

TEST(PointCloud, CaptureStrideSilenceNonFiniteAndCap)
{
    const struct
    {
        const char* name;
        int count, budget, existing;
        float (*sample)(int);
        int expectedAdded;
        int expectedSize;
    } cases[] = {
        {"stride 1 below two budgets", 2047, 1024, 0, [](int) { return 0.5f; }, 2047, 2047},
        {"stride 2 at two budgets", 2048, 1024, 0, [](int) { return 0.5f; }, 1024, 1024},
        {"silent samples never qualify", 1000, 1024, 0, [](int i) { return i % 2 == 0 ? 0.0f : 0.5f; }, 500, 500},
        {"non-finite samples never qualify", 10, 1024, 0, [](int i) { return i < 3 ? inf : (i < 5 ? qnan : 0.5f); }, 5,
         5},
        {"cap drops the oldest", 500, 1024, 10240, [](int) { return 0.5f; }, 500, 10240},
        {"nothing pending", 0, 512, 20, [](int) { return 0.5f; }, 0, 20},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        PointCloud cloud;
        const float old = 0.25f;
        for (int i = 0; i < c.existing; ++i)
            cloud.capture(&old, &old, 1, 64);
        std::vector<float> l((size_t)std::max(1, c.count)), r((size_t)std::max(1, c.count));
        for (int i = 0; i < c.count; ++i)
            l[(size_t)i] = r[(size_t)i] = c.sample(i);
        cloud.capture(l.data(), r.data(), c.count, c.budget);
        ASSERT_EQ((int)cloud.points().size(), c.expectedSize);
        const int newPoints =
            std::count_if(cloud.points().begin(), cloud.points().end(), [](const ScopePoint& p) { return p.l > 0.3f; });
        EXPECT_EQ(newPoints, c.expectedAdded);
        // New points come last, in order, at full alpha.
        if (c.expectedAdded > 0)
        {
            EXPECT_EQ(cloud.points().back().alpha, 1.0f);
            EXPECT_GT(cloud.points().back().l, 0.3f);
        }
        for (const auto& p : cloud.points())
            EXPECT_TRUE(std::isfinite(p.l) && std::isfinite(p.r));
    }
}

TEST(PointCloud, AgeingKeepsOrderAndDropsFadedPoints)
{
    PointCloud cloud;
    const float samples[] = {0.1f, 0.2f, 0.3f};
    cloud.capture(samples, samples, 1, 64);
    cloud.age(0.5f); // 0.5
    cloud.capture(samples + 1, samples + 1, 2, 64);
    for (int t = 0; t < 5; ++t)
        cloud.age(0.5f);
    // The first point is at 0.5 / 32 < 0.02; the others at 1 / 32.
    ASSERT_EQ(cloud.points().size(), 2u);
    EXPECT_EQ(cloud.points()[0].l, 0.2f);
    EXPECT_EQ(cloud.points()[1].l, 0.3f);
    EXPECT_FLOAT_EQ(cloud.points()[0].alpha, 1.0f / 32.0f);
}

TEST(AnalyserMeasurement, TickTakesOnlyNewSamplesAndFillsBothClouds)
{
    TestRing out, in;
    out.write(3000, [](int) { return std::pair{0.5f, 0.5f}; });
    AnalyserMeasurement m;
    m.start(out.reader(), in.reader());
    m.meter.setCoefficients(0.0f, 0.0f);
    m.tick(out.reader(), in.reader(), 0.9f, 1.0f);
    EXPECT_TRUE(m.outPoints.points().empty());
    EXPECT_FLOAT_EQ(m.meter.correlation(), 1.0f);

    out.write(800, [](int) { return std::pair{0.5f, -0.5f}; });
    in.write(100, [](int) { return std::pair{0.2f, 0.0f}; });
    m.tick(out.reader(), in.reader(), 0.9f, 1.0f);
    EXPECT_EQ(m.outPoints.points().size(), 800u);
    EXPECT_EQ(m.inPoints.points().size(), 100u);
    EXPECT_FLOAT_EQ(m.meter.correlation(), -1.0f);
}

TEST(VectorscopeMapping, DirectionsAndZoom)
{
    constexpr float deg = 3.14159265f / 180.0f;
    const struct
    {
        float l, r, zoom;
        float fraction, angleDeg;
    } cases[] = {
        {1.0f, 1.0f, 1.0f, 1.0f, 0.0f},       // mono on the vertical spoke, 0 dB on the outer arc
        {-0.5f, -0.5f, 1.0f, 0.89966f, 0.0f}, // its negative shares the direction
        {1.0f, 0.0f, 1.0f, 0.94983f, -45.0f}, // left only on the left diagonal
        {0.0f, 1.0f, 1.0f, 0.94983f, 45.0f},  // right only on the right diagonal
        {1.0f, -1.0f, 1.0f, 1.0f, -90.0f},    // opposite polarity on the base line
        {0.001f, 0.001f, 1.0f, 0.0f, 0.0f},   // -60 dB at the centre
        {0.25f, 0.25f, 4.0f, 1.0f, 0.0f},     // zoom 4 brings 0.25 to the outer arc
        {0.5f, 0.5f, 2.0f, 1.0f, 0.0f},       {1.0e-7f, 1.0e-7f, 1.0f, 0.0f, 0.0f}, // below 1e-6: the centre
    };
    for (const auto& c : cases)
    {
        const auto p = VectorscopeMapping::map(c.l, c.r, c.zoom);
        EXPECT_NEAR(p.fraction, c.fraction, 1e-4f) << c.l << " " << c.r;
        EXPECT_NEAR(p.angle, c.angleDeg * deg, 1e-4f) << c.l << " " << c.r;
        const auto viaAngle = VectorscopeMapping::toScreen(p, 300.0f, 280.0f, 272.0f);
        const auto direct = VectorscopeMapping::place(c.l, c.r, c.zoom, 300.0f, 280.0f, 272.0f);
        EXPECT_NEAR(direct.x, viaAngle.x, 1e-3f) << c.l << " " << c.r;
        EXPECT_NEAR(direct.y, viaAngle.y, 1e-3f) << c.l << " " << c.r;
    }
    const auto top = VectorscopeMapping::toScreen({1.0f, 0.0f}, 100.0f, 200.0f, 50.0f);
    EXPECT_FLOAT_EQ(top.x, 100.0f);
    EXPECT_FLOAT_EQ(top.y, 150.0f);
}

TEST(VectorscopeMapping, PlacementAgreesWithTheAngleMappingAtEveryLevelAndZoom)
{
    // Levels from below the centre's -60 dB to above the outer arc, any direction, every zoom.
    std::mt19937 rng(11);
    std::uniform_real_distribution<float> exponent(-7.5f, 0.7f), direction(-3.14159265f, 3.14159265f), zoom(0.5f, 4.0f);
    for (int i = 0; i < 100000; ++i)
    {
        const float magnitude = std::pow(10.0f, exponent(rng)), a = direction(rng), z = zoom(rng);
        const float l = magnitude * std::cos(a), r = magnitude * std::sin(a);
        const auto viaAngle = VectorscopeMapping::toScreen(VectorscopeMapping::map(l, r, z), 300.0f, 300.0f, 286.0f);
        const auto direct = VectorscopeMapping::place(l, r, z, 300.0f, 300.0f, 286.0f);
        ASSERT_NEAR(direct.x, viaAngle.x, 2e-3f) << l << " " << r << " " << z;
        ASSERT_NEAR(direct.y, viaAngle.y, 2e-3f) << l << " " << r << " " << z;
    }
    // Zooms no knob gives, as a damaged saved state might hold, still land on the disc or its centre.
    for (const float z : {0.0f, -1.0f, std::numeric_limits<float>::infinity(), qnan})
    {
        const auto p = VectorscopeMapping::place(0.3f, 0.1f, z, 300.0f, 300.0f, 286.0f);
        const auto q = VectorscopeMapping::toScreen(VectorscopeMapping::map(0.3f, 0.1f, z), 300.0f, 300.0f, 286.0f);
        EXPECT_NEAR(p.x, q.x, 2e-3f) << z;
        EXPECT_NEAR(p.y, q.y, 2e-3f) << z;
    }
}

TEST(VectorscopeMapping, WedgeGeometry)
{
    const struct
    {
        float width, rotation, asymmetry;
        VectorscopeMapping::Wedge expected;
    } cases[] = {
        {100, 0, 0, {-45, 1, 45, 1}},  {0, 0, 0, {0, 1, 0, 1}},
        {500, 0, 0, {-90, 1, 90, 1}},  {200, 0, 0, {-56.25f, 1, 56.25f, 1}},
        {100, 20, 0, {-25, 1, 65, 1}}, {100, 0, 90, {-90, 0, 0, 1}},
        {100, 0, -90, {0, 1, 90, 0}},  {100, 0, 45, {-67.5f, 0.5f, 22.5f, 1}},
    };
    for (const auto& c : cases)
    {
        const auto w = VectorscopeMapping::wedge(c.width, c.rotation, c.asymmetry);
        SCOPED_TRACE(testing::Message() << c.width << " " << c.rotation << " " << c.asymmetry);
        EXPECT_NEAR(w.leftAngle, c.expected.leftAngle, 1e-4f);
        EXPECT_NEAR(w.leftLength, c.expected.leftLength, 1e-4f);
        EXPECT_NEAR(w.rightAngle, c.expected.rightAngle, 1e-4f);
        EXPECT_NEAR(w.rightLength, c.expected.rightLength, 1e-4f);
    }
    EXPECT_FLOAT_EQ(VectorscopeMapping::outlineAlpha(0.0f), 0.0f);
    EXPECT_FLOAT_EQ(VectorscopeMapping::outlineAlpha(0.1f), 0.45f);
    EXPECT_FLOAT_EQ(VectorscopeMapping::outlineAlpha(0.2f), 0.9f);
    EXPECT_FLOAT_EQ(VectorscopeMapping::outlineAlpha(0.5f), 0.9f);
}

TEST(VectorscopeMapping, EnvelopeBinsMatchTheArctangentEverywhere)
{
    const auto exact = [](float u, float v)
    {
        const float position = (std::atan2(u, v + 1.0e-4f) / 3.14159265358979f + 0.5f) * 180.0f;
        return std::clamp(static_cast<int>(position), 0, 179);
    };
    const struct
    {
        float u, v;
        int bin;
    } cases[] = {
        {0.0f, 100.0f, 90},    // straight up
        {0.0f, 0.0f, 90},      // the centre itself
        {-0.0f, 50.0f, 90},    // a negative zero offset
        {300.0f, 0.0f, 179},   // right along the base line
        {-300.0f, 0.0f, 0},    // left along it
        {100.0f, 100.0f, 134}, // the offset below the centre puts the right diagonal just left of its edge
        {-100.0f, 100.0f, 45}, // and the left diagonal just right of its own
    };
    for (const auto& c : cases)
        EXPECT_EQ(VectorscopeMapping::envelopeBin(c.u, c.v), c.bin) << c.u << " " << c.v;

    // Every direction, and the directions right on and beside each bin edge, where an
    // approximation would put a point into the neighbouring bin.
    std::mt19937 rng(3);
    std::uniform_real_distribution<float> side(-300.0f, 300.0f), up(0.0f, 300.0f), radius(0.5f, 300.0f);
    for (int i = 0; i < 200000; ++i)
    {
        const float u = side(rng), v = up(rng);
        ASSERT_EQ(VectorscopeMapping::envelopeBin(u, v), exact(u, v)) << u << " " << v;
    }
    for (int edge = 0; edge <= 180; ++edge)
        for (const float nudge : {-1.0e-5f, -1.0e-6f, 0.0f, 1.0e-6f, 1.0e-5f})
        {
            const float angle = (static_cast<float>(edge) / 180.0f - 0.5f) * 3.14159265f + nudge;
            const float r = radius(rng);
            const float u = r * std::sin(angle), v = std::max(0.0f, r * std::cos(angle));
            ASSERT_EQ(VectorscopeMapping::envelopeBin(u, v), exact(u, v)) << u << " " << v;
        }
}

TEST(DotLayer, BlendsOntoItsBackgroundLikeFilledRectangles)
{
    // A background with structure, so that a dot landing a pixel off or blending the wrong way shows.
    juce::Image background(juce::Image::RGB, 24, 20, false);
    for (int y = 0; y < background.getHeight(); ++y)
        for (int x = 0; x < background.getWidth(); ++x)
            background.setPixelAt(
                x, y, juce::Colour((juce::uint8)(x * 10), (juce::uint8)(y * 12), (juce::uint8)((x + y) % 3 * 90)));

    const struct
    {
        float x, y, side, alpha;
        juce::uint32 colour;
    } dots[] = {
        {5.5f, 5.5f, 1.8f, 1.0f, 0xffdaa520},   // centred on a pixel
        {10.0f, 10.0f, 1.8f, 0.5f, 0xffbbbbbb}, // on a pixel corner: four pixels
        {14.3f, 3.7f, 1.8f, 0.8f, 0xffdaa520},  // three by three
        {10.2f, 10.4f, 1.8f, 0.7f, 0xffdaa520}, // over an earlier dot
        {0.2f, 18.9f, 1.8f, 0.03f, 0xffdaa520}, // faint, clipped at the left and bottom edges
        {23.5f, 0.3f, 1.8f, 0.9f, 0xffbbbbbb},  // clipped at the right and top edges
        {-3.0f, 5.0f, 1.8f, 1.0f, 0xffdaa520},  // wholly outside
        {18.0f, 14.0f, 2.6f, 0.6f, 0xffdaa520}, // wider than two pixels
        {3.0f, 3.2f, 1.8f, 1.7f, 0xffbbbbbb},   // alpha above 1 counts as 1
    };

    // The dots' places are given in the frame's pixels; their sides are logical, so a frame at a
    // display scale of 2 holds each dot as a square of four times the pixels.
    const struct
    {
        juce::Point<float> origin;
        float scale;
    } views[] = {{{0.0f, 0.0f}, 1.0f}, {{3.0f, -2.0f}, 1.25f}, {{-1.5f, 4.0f}, 2.0f}};
    DotLayer layer;
    for (const auto& view : views)
    {
        SCOPED_TRACE("scale " + std::to_string(view.scale));
        const auto logical = [&](float framePixels, float origin) { return framePixels / view.scale + origin; };
        layer.begin(background, view.origin, view.scale);
        for (const auto& d : dots)
            layer.add(logical(d.x, view.origin.x), logical(d.y, view.origin.y), d.side, juce::Colour(d.colour),
                      d.alpha);
        const auto fast = layer.end();

        auto reference = background.createCopy();
        {
            juce::Graphics g(reference);
            g.addTransform(juce::AffineTransform::translation(-view.origin).scaled(view.scale));
            for (const auto& d : dots)
            {
                g.setColour(juce::Colour(d.colour).withAlpha(std::min(d.alpha, 1.0f)));
                g.fillRect(logical(d.x, view.origin.x) - d.side / 2.0f, logical(d.y, view.origin.y) - d.side / 2.0f,
                           d.side, d.side);
            }
        }
        ASSERT_EQ(fast.getBounds(), reference.getBounds());
        for (int y = 0; y < reference.getHeight(); ++y)
            for (int x = 0; x < reference.getWidth(); ++x)
            {
                const auto a = fast.getPixelAt(x, y), b = reference.getPixelAt(x, y);
                ASSERT_NEAR(a.getRed(), b.getRed(), 3) << x << "," << y;
                ASSERT_NEAR(a.getGreen(), b.getGreen(), 3) << x << "," << y;
                ASSERT_NEAR(a.getBlue(), b.getBlue(), 3) << x << "," << y;
            }
    }

    // A new frame starts from the background again; the frame keeps nothing of the last one.
    layer.begin(background);
    EXPECT_EQ(layer.end().getPixelAt(5, 5), background.getPixelAt(5, 5));
    // Nothing is written while the frame is closed.
    layer.add(5.5f, 5.5f, 1.8f, juce::Colours::white, 1.0f);
    EXPECT_EQ(layer.end().getPixelAt(5, 5), background.getPixelAt(5, 5));
}
