#pragma once

#include "bivarro/editor/ScopePoint.h"

#include <vector>

// The points of one vectorscope cloud, oldest first. Each tick they fade; new samples are thinned
// to a point budget and the cloud is capped, so drawing work stays bounded.
class PointCloud
{
public:
    static constexpr int cap = 10240;
    static constexpr float alphaFloor = 0.02f;
    static constexpr float silence = 1.0e-7f;
    static constexpr int minBudget = 64;
    static constexpr int maxBudget = 1024;

    PointCloud();

    // Points per tick for a density: density x 512 within minBudget..maxBudget. Limited while
    // still floating point, so huge, infinite or NaN densities give a defined budget.
    static int budgetFor(float density) noexcept;

    // Fades every point by coefficient and drops those below alphaFloor, keeping order.
    void age(float coefficient);

    // Adds every stride-th sample pair that is finite and not silent, stride = count / budget.
    void capture(const float* left, const float* right, int count, int budget);

    void clear() noexcept { cloud.clear(); }
    const std::vector<ScopePoint>& points() const noexcept { return cloud; }

private:
    std::vector<ScopePoint> cloud;
    std::vector<int> qualifying;
};
