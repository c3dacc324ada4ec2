#include "bivarro/processor/ScopeRing.h"

#include <algorithm>

void ScopeRing::write(float* ring, int pos, const float* src, int n) noexcept
{
    if (n > size)
    {
        pos += n - size;
        src += n - size;
        n = size;
    }
    const int start = pos & mask;
    const int first = std::min(n, size - start);
    std::copy(src, src + first, ring + start);
    std::copy(src + first, src + n, ring);
}
