#include "gainpair/common/GainLinkBlock.h"

#include <sys/time.h>

std::int64_t GainLinkBlock::wallClockMs() noexcept
{
    timeval tv{};
    gettimeofday(&tv, nullptr);
    return static_cast<std::int64_t>(tv.tv_sec) * 1000 + static_cast<std::int64_t>(tv.tv_usec) / 1000;
}
