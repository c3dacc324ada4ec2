#include "bivarro/processor/ScopeRingReader.h"

#include <algorithm>

void ScopeRingReader::copy(int from, int count, float* left, float* right) const noexcept
{
    count = std::clamp(count, 0, size);
    const int start = from & mask;
    const int first = std::min(count, size - start);
    std::copy(ringL + start, ringL + start + first, left);
    std::copy(ringL, ringL + count - first, left + first);
    std::copy(ringR + start, ringR + start + first, right);
    std::copy(ringR, ringR + count - first, right + first);
}
