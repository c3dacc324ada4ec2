#pragma once

#include <juce_audio_basics/juce_audio_basics.h>

#include <cstdint>

#if JUCE_USE_SSE_INTRINSICS
#include <xmmintrin.h>
#endif

// Denormals flushed to zero for the scope, as juce::ScopedNoDenormals does, but the status register
// is written only when the flags are not set already: hosts run their audio threads with them set,
// and each write of the register stalls the processor for as long as scaling a short block takes.
// The check is inline: it runs on every audio block, where a call would cost as much as the check.
class OrzNoDenormals
{
public:
    OrzNoDenormals() noexcept
    {
#if JUCE_USE_SSE_INTRINSICS
        saved = static_cast<intptr_t>(_mm_getcsr());
        changed = (static_cast<unsigned>(saved) & flushMask) != flushMask;
#else
        changed = !juce::FloatVectorOperations::areDenormalsDisabled();
#endif
        if (changed)
            engage();
    }

    ~OrzNoDenormals()
    {
        if (changed)
            restore();
    }

private:
#if JUCE_USE_SSE_INTRINSICS
    static constexpr unsigned flushMask = 0x8040; // flush to zero, denormals are zero
#endif

    intptr_t saved = 0;
    bool changed = false;

    void engage() noexcept;
    void restore() noexcept;

    JUCE_DECLARE_NON_COPYABLE(OrzNoDenormals)
};
