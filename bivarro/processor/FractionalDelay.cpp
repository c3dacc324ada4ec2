#include "bivarro/processor/FractionalDelay.h"

#include <algorithm>
#include <cmath>

namespace
{
// Delays below this pass the sample just written.
constexpr float minDelay = 0.001f;
} // namespace

void FractionalDelay::prepare(double sampleRate)
{
    // 50 ms and a few samples of headroom, at least 64.
    const int b = static_cast<int>(static_cast<float>(sampleRate) * 0.05f);
    const int c = std::max(b, 60) + 3;
    int size = 1;
    while (size <= c)
        size <<= 1;

    line.assign(static_cast<size_t>(size), 0.0f);
    mask = size - 1;
    writeIndex = 0;
}

void FractionalDelay::reset() noexcept
{
    std::fill(line.begin(), line.end(), 0.0f);
    writeIndex = 0;
}

void FractionalDelay::process(RampValues delays, float* x, int n) noexcept
{
    float* const buf = line.data();
    const int m = mask;
    auto at = [buf, m](int index) -> float& { return buf[index & m]; };
    const int w = writeIndex;

    const int whole = static_cast<int>(delays[0]);
    if (delays.steady() && delays[0] < minDelay)
        writeRun(x, n);
    else if (delays.steady() && whole + 1 + n <= mask + 1)
    {
        // The whole run goes into the line first: no read then reaches a sample the run writes
        // after it, so the reads are the sample-by-sample ones, in contiguous stretches.
        writeRun(x, n);
        const float f = delays[0] - static_cast<float>(whole);
        const float g = 1.0f - f;
        const float* __restrict const src = buf;
        float* __restrict const out = x;
        for (int i = 0; i < n;)
        {
            const int start = (w + i - whole) & m;
            const int len = std::min(n - i, m + 1 - start);
            out[i] = g * src[start] + f * src[(start - 1) & m];
            for (int k = 1; k < len; ++k)
                out[i + k] = g * src[start + k] + f * src[start + k - 1];
            i += len;
        }
    }
    else if (delays.steady())
    {
        const float f = delays[0] - static_cast<float>(whole);
        const float g = 1.0f - f;
        for (int i = 0; i < n; ++i)
        {
            at(w + i) = x[i];
            x[i] = g * at(w + i - whole) + f * at(w + i - whole - 1);
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

void FractionalDelay::writeRun(const float* x, int n) noexcept
{
    const int first = std::min(n, mask + 1 - writeIndex);
    std::copy(x, x + first, line.data() + writeIndex);
    std::copy(x + first, x + n, line.data());
}

bool FractionalDelay::clearNonFinite() noexcept
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
