#include "gainpair/common/GainPairReading.h"

#include "gainpair/common/GainPairLevels.h"

#include <cstring>

std::uint64_t GainPairReading::pack(float value, Kind kind) noexcept
{
    std::uint32_t bits;
    std::memcpy(&bits, &value, sizeof(bits));
    return (static_cast<std::uint64_t>(kind) << 32) | bits;
}

float GainPairReading::load(std::memory_order order) const noexcept
{
    const auto w = word.load(order);
    const auto bits = static_cast<std::uint32_t>(w);
    float value;
    std::memcpy(&value, &bits, sizeof(value));
    return static_cast<Kind>(w >> 32) == Kind::magnitude ? GainPairLevels::toDb(value) : value;
}
