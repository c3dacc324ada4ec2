#pragma once

#include "bivarro/processor/BivarroParameters.h"

#include <array>
#include <atomic>
#include <cstdint>

// The audio thread's view of the host parameters: one atomic load of each raw value per block.
// A host can hand any float to a raw value; one that is not finite counts as the last finite value
// that parameter had (its default until it had one), so no NaN or infinity reaches the chain.
class BivarroParameterReader
{
public:
    explicit BivarroParameterReader(juce::AudioProcessorValueTreeState& apvts);

    // Takes every raw value once; the result stays valid until the next call.
    const BivarroParameters::Values& read() noexcept;

    // True when every raw value the last read took had the very bits of the read before, so that
    // both reads gave the same values. False after the first read.
    bool unchanged() const noexcept { return sameAsBefore; }

private:
    std::array<const std::atomic<float>*, BivarroParameters::count> raw{};
    std::array<std::uint32_t, BivarroParameters::count> lastBits{};
    bool sameAsBefore = false;
    bool readBefore = false;
    std::array<BivarroParameters::Values, 2> snapshots{};
    size_t current = 0;
};
