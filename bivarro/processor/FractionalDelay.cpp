#include "bivarro/processor/FractionalDelay.h"

#include <algorithm>
#include <cmath>

namespace
{
// Delays below this pass the sample just written.
constexpr float minDelay = 0.001f;
} // namespace

void FractionalDelay::process(std::vector<float>& line, int mask, int& writeIndex, RampValues delays, float* x,
                              int n) noexcept
{
    float* const buf = line.data();
    auto at = [buf, mask](int index) -> float& { return buf[index & mask]; };
    int w = writeIndex;

    if (delays.steady() && delays[0] < minDelay)
    {
        const int first = std::min(n, mask + 1 - w);
        std::copy(x, x + first, buf + w);
        std::copy(x + first, x + n, buf);
    }
    else if (delays.steady())
    {
        const int j = static_cast<int>(delays[0]);
        const float f = delays[0] - static_cast<float>(j);
        const float g = 1.0f - f;
        for (int i = 0; i < n; ++i)
        {
            at(w + i) = x[i];
            x[i] = g * at(w + i - j) + f * at(w + i - j - 1);
        }
    }
    else
    {
        for (int i = 0; i < n; ++i)
        {
            at(w + i) = x[i];
            const float d = delays[i];
            const int j = static_cast<int>(d);
            const float f = d - static_cast<float>(j);
            const float y = (1.0f - f) * at(w + i - j) + f * at(w + i - j - 1);
            x[i] = d < minDelay ? x[i] : y;
        }
    }
    writeIndex = (w + n) & mask;
}

bool FractionalDelay::clearNonFinite(std::vector<float>& line) noexcept
{
    bool cleared = false;
    for (auto& v : line)
        if (!std::isfinite(v))
        {
            v = 0.0f;
            cleared = true;
        }
    return cleared;
}
