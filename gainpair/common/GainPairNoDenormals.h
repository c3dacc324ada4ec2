#pragma once

#include <juce_audio_basics/juce_audio_basics.h>

#include <cstdint>

// Denormals flushed to zero for the scope, as juce::ScopedNoDenormals does, but the status register
// is written only when the flags are not set already: hosts run their audio threads with them set,
// and each write of the register stalls the processor for as long as scaling a short block takes.
class GainPairNoDenormals
{
public:
    GainPairNoDenormals() noexcept;
    ~GainPairNoDenormals();

private:
    intptr_t saved = 0;
    bool changed = false;

    JUCE_DECLARE_NON_COPYABLE(GainPairNoDenormals)
};
