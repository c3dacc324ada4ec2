#include "bivarro/processor/BivarroParameterReader.h"

#include <bit>
#include <cstdint>

namespace
{
// 1 for inf or NaN: an exponent with every bit set carries into the top bit when one is added to it.
std::uint32_t bitsOf(float v) noexcept
{
    return std::bit_cast<std::uint32_t>(v);
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

// Nearly every block brings the raw values of the block before: those are compared as bits first,
// and the snapshot they gave is kept. Otherwise the read fills the other of two snapshots, so the
// one before stays at hand for the values that are not finite. Both start at the defaults. Nearly
// always every value is finite, so that check costs no branch per value: one mask bit each.
const BivarroParameters::Values& BivarroParameterReader::read() noexcept
{
    static_assert(BivarroParameters::count <= 32);
    std::array<std::uint32_t, BivarroParameters::count> bits;
    for (size_t i = 0; i < bits.size(); ++i)
        bits[i] = bitsOf(raw[i]->load());

    std::uint32_t moved = 0;
    for (size_t i = 0; i < bits.size(); ++i)
        moved |= bits[i] ^ lastBits[i];

    // Equal bits give equal values, a value that is not finite included: it keeps the same last one.
    sameAsBefore = moved == 0 && readBefore;
    if (sameAsBefore)
        return snapshots[current];
    readBefore = true;
    lastBits = bits;

    const auto& previous = snapshots[current];
    current ^= 1;
    auto& values = snapshots[current];

    std::uint32_t bad = 0;
    std::uint32_t index = 0;
    auto take = [&bits, &bad, &index]() noexcept
    {
        bad |= nonFinite(bits[index]) << index;
        return std::bit_cast<float>(bits[index++]);
    };

#define BIVARRO_READ_FLOAT(id, ...) values.id = take();
#define BIVARRO_READ_SWITCH(id, ...) values.id = take() > 0.5f;
    BIVARRO_PARAMETERS(BIVARRO_READ_FLOAT, BIVARRO_READ_SWITCH)
#undef BIVARRO_READ_FLOAT
#undef BIVARRO_READ_SWITCH

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
