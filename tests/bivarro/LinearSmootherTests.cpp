#include "bivarro/processor/LinearSmoother.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <cmath>
#include <limits>
#include <vector>

namespace
{
std::vector<float> take(LinearSmoother& s, int n)
{
    std::vector<float> v;
    for (int i = 0; i < n; ++i)
        v.push_back(s.getNextValue());
    return v;
}

LinearSmoother ramping(int steps, float from, float to)
{
    LinearSmoother s;
    s.reset(steps);
    s.setCurrentAndTargetValue(from);
    s.setTargetValue(to);
    return s;
}
} // namespace

TEST(LinearSmoother, RampsLinearlyAndLandsOnTheTarget)
{
    auto s = ramping(4, 0.0f, 1.0f);
    EXPECT_TRUE(s.isSmoothing());
    const std::vector<float> expected = {0.25f, 0.5f, 0.75f, 1.0f, 1.0f, 1.0f};
    EXPECT_EQ(take(s, 6), expected);
    EXPECT_FALSE(s.isSmoothing());
    EXPECT_EQ(s.getCurrentValue(), 1.0f);

    // The last step returns the target itself, not an accumulated sum that may miss it.
    auto t = ramping(3, 0.0f, 0.1f);
    const float step = 0.1f / 3.0f;
    float c = 0.0f;
    c += step;
    EXPECT_EQ(t.getNextValue(), c);
    c += step;
    EXPECT_EQ(t.getNextValue(), c);
    EXPECT_EQ(t.getNextValue(), 0.1f);
}

TEST(LinearSmoother, NewTargetRestartsFromTheCurrentValue)
{
    auto s = ramping(4, 0.0f, 1.0f);
    take(s, 2); // at 0.5
    s.setTargetValue(-1.0f);
    EXPECT_TRUE(s.isSmoothing());
    const std::vector<float> expected = {0.125f, -0.25f, -0.625f, -1.0f};
    EXPECT_EQ(take(s, 4), expected);
}

TEST(LinearSmoother, TargetWithinToleranceLeavesTheRampAlone)
{
    struct Case
    {
        const char* what;
        float from, target, again;
        bool restarts;
    };
    constexpr float eps = std::numeric_limits<float>::epsilon();
    constexpr float tiny = std::numeric_limits<float>::min();
    const Case cases[] = {
        {"same target", 0.0f, 1.0f, 1.0f, false},
        {"one epsilon above", 0.0f, 1.0f, 1.0f + eps, false},
        {"well above", 0.0f, 1.0f, 1.001f, true},
        {"one step above a large target", 0.0f, 1000.0f, std::nextafter(1000.0f, 2000.0f), false},
        {"below the smallest normal", 0.0f, 0.0f, tiny * 0.5f, false},
        // Exactly the smallest normal is not below it, and far above epsilon times itself.
        {"the smallest normal", 0.0f, 0.0f, tiny, true},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.what);
        LinearSmoother s;
        s.reset(10);
        s.setCurrentAndTargetValue(c.from);
        s.setTargetValue(c.target);
        take(s, 3);
        const float current = s.getCurrentValue();
        const bool wasSmoothing = s.isSmoothing();
        s.setTargetValue(c.again);
        if (c.restarts)
        {
            EXPECT_TRUE(s.isSmoothing());
            EXPECT_EQ(s.getTargetValue(), c.again);
            EXPECT_EQ(s.getNextValue(), current + (c.again - current) / 10.0f);
        }
        else
        {
            EXPECT_EQ(s.isSmoothing(), wasSmoothing);
            EXPECT_EQ(s.getTargetValue(), c.target);
        }
    }
}

TEST(LinearSmoother, NoStepsMeansJump)
{
    LinearSmoother s;
    s.reset(0);
    s.setTargetValue(3.0f);
    EXPECT_FALSE(s.isSmoothing());
    EXPECT_EQ(s.getCurrentValue(), 3.0f);
    EXPECT_EQ(s.getNextValue(), 3.0f);

    // reset snaps a running ramp to its target.
    auto t = ramping(100, 0.0f, 2.0f);
    take(t, 10);
    t.reset(50);
    EXPECT_FALSE(t.isSmoothing());
    EXPECT_EQ(t.getCurrentValue(), 2.0f);
}

TEST(LinearSmoother, FillMatchesValueByValue)
{
    struct Case
    {
        int steps, before, n;
    };
    // Ramps ending inside the block, exactly at its end, after it; a steady value; no samples.
    const Case cases[] = {{10, 0, 25}, {10, 3, 7}, {10, 0, 10}, {100, 5, 64}, {0, 0, 16}, {10, 0, 0}, {1, 0, 4}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE(testing::Message() << c.steps << " steps, " << c.before << " taken, n " << c.n);
        auto a = ramping(c.steps, 0.3f, -0.7f);
        take(a, c.before);
        auto b = a;
        std::vector<float> filled(static_cast<size_t>(c.n));
        a.fill(filled.data(), c.n);
        EXPECT_EQ(filled, take(b, c.n));
        EXPECT_EQ(a.getCurrentValue(), b.getCurrentValue());
        EXPECT_EQ(a.isSmoothing(), b.isSmoothing());
        EXPECT_EQ(a.getNextValue(), b.getNextValue());
    }
}

TEST(LinearSmoother, FillAllMatchesEachOnItsOwn)
{
    // Nine smoothers: ramps of different lengths (some ending inside the block), steady ones
    // between them, so the side-by-side groups split and finish one by one.
    std::vector<LinearSmoother> a;
    const int steps[] = {960, 5, 0, 40, 41, 2400, 0, 1, 33};
    for (int i = 0; i < 9; ++i)
        a.push_back(ramping(steps[i], 0.1f * static_cast<float>(i), 1.0f - 0.3f * static_cast<float>(i)));
    auto b = a;

    for (int n : {37, 64, 1, 128})
    {
        SCOPED_TRACE(n);
        // A steady smoother fills four places whatever n is.
        std::vector<std::vector<float>> out(9, std::vector<float>(static_cast<size_t>(std::max(n, 4))));
        LinearSmoother* ptrs[9];
        float* dests[9];
        RampValues values[9];
        for (size_t i = 0; i < 9; ++i)
        {
            ptrs[i] = &a[i];
            dests[i] = out[i].data();
        }
        LinearSmoother::fillAll(ptrs, dests, values, 9, n);
        for (size_t i = 0; i < 9; ++i)
        {
            SCOPED_TRACE(i);
            const bool wasSteady = !b[i].isSmoothing();
            EXPECT_EQ(values[i].steady(), wasSteady);
            std::vector<float> got;
            for (int k = 0; k < n; ++k)
                got.push_back(values[i][k]);
            EXPECT_EQ(got, take(b[i], n));
            if (wasSteady)
            {
                for (int k = 0; k < 4; ++k)
                    EXPECT_EQ(*values[i].at(k), b[i].getTargetValue());
            }
            EXPECT_EQ(a[i].isSmoothing(), b[i].isSmoothing());
        }
    }
}
