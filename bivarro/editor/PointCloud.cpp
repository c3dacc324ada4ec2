#include "bivarro/editor/PointCloud.h"

#include <algorithm>
#include <cmath>

PointCloud::PointCloud()
{
    cloud.reserve(cap);
    qualifying.reserve(static_cast<size_t>(2 * maxBudget));
}

int PointCloud::budgetFor(float density) noexcept
{
    const float points = density * 512.0f;
    if (!(points >= static_cast<float>(minBudget)))
        return minBudget;
    if (points >= static_cast<float>(maxBudget))
        return maxBudget;
    return static_cast<int>(points);
}

void PointCloud::age(float coefficient)
{
    for (auto& p : cloud)
        p.alpha *= coefficient;
    cloud.erase(
        std::remove_if(cloud.begin(), cloud.end(), [](const ScopePoint& p) { return !(p.alpha >= alphaFloor); }),
        cloud.end());
}

void PointCloud::capture(const float* left, const float* right, int count, int budget)
{
    if (count <= 0)
        return;
    const int stride = std::max(1, count / std::max(1, budget));

    qualifying.clear();
    for (int i = 0; i < count; i += stride)
    {
        const float energy = left[i] * left[i] + right[i] * right[i];
        if (std::isfinite(energy) && energy >= silence)
            qualifying.push_back(i);
    }

    const auto size = static_cast<int>(cloud.size());
    const auto added = static_cast<int>(qualifying.size());
    if (size + added > cap)
        cloud.erase(cloud.begin(), cloud.begin() + std::min(size, size + added - cap));

    // More qualifying points than the cap (only with a tiny budget and a huge count) keep the newest.
    const int first = std::max(0, added - cap);
    for (int k = first; k < added; ++k)
        cloud.push_back({left[qualifying[static_cast<size_t>(k)]], right[qualifying[static_cast<size_t>(k)]], 1.0f});
}
