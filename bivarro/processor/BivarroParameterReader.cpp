#include "bivarro/processor/BivarroParameterReader.h"

#include <cstdint>
#include <cstring>

namespace
{
// 1 for inf or NaN: an exponent with every bit set carries into the top bit when one is added to it.
std::uint32_t bitsOf(float v) noexcept
{
    std::uint32_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    return bits;
}

std::uint32_t nonFinite(std::uint32_t bits) noexcept
{
    return ((bits & 0x7f800000u) + 0x00800000u) >> 31;
}
} // namespace

BivarroParameterReader::BivarroParameterReader(juce::AudioProcessorValueTreeState& apvts)
{
    const auto& table = BivarroParameters::table();
    for (size_t i = 0; i < raw.size(); ++i)
    {
        raw[i] = apvts.getRawParameterValue(table[i].id);
        jassert(raw[i] != nullptr);
    }
}

// Each read fills the other of two snapshots, so the one before stays at hand for the values that
// are not finite. Both start at the defaults. Nearly always every value is finite, so the check
// costs no branch per value: one mask bit per parameter.
const BivarroParameters::Values& BivarroParameterReader::read() noexcept
{
    static_assert(BivarroParameters::count <= 32);
    const auto& previous = snapshots[current];
    current ^= 1;
    auto& values = snapshots[current];

    std::uint32_t bad = 0;
    std::uint32_t moved = 0;
    std::uint32_t index = 0;
    auto take = [this, &bad, &moved, &index]() noexcept
    {
        const float v = raw[index]->load();
        const auto bits = bitsOf(v);
        bad |= nonFinite(bits) << index;
        moved |= bits ^ lastBits[index];
        lastBits[index] = bits;
        ++index;
        return v;
    };

#define BIVARRO_READ_FLOAT(id, ...) values.id = take();
#define BIVARRO_READ_SWITCH(id, ...) values.id = take() > 0.5f;
    BIVARRO_PARAMETERS(BIVARRO_READ_FLOAT, BIVARRO_READ_SWITCH)
#undef BIVARRO_READ_FLOAT
#undef BIVARRO_READ_SWITCH

    // Equal bits give equal values, a value that is not finite included: it keeps the same last one.
    sameAsBefore = moved == 0 && readBefore;
    readBefore = true;

    if (bad != 0)
    {
        index = 0;
#define BIVARRO_KEEP_LAST(id, ...)                                                                                     \
    if ((bad >> index++) & 1u)                                                                                         \
        values.id = previous.id;
        BIVARRO_PARAMETERS(BIVARRO_KEEP_LAST, BIVARRO_KEEP_LAST)
#undef BIVARRO_KEEP_LAST
    }
    return values;
}
