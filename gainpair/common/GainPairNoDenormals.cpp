#include "gainpair/common/GainPairNoDenormals.h"

void GainPairNoDenormals::engage() noexcept
{
#if JUCE_USE_SSE_INTRINSICS
    _mm_setcsr(static_cast<unsigned>(saved) | flushMask);
#else
    // Elsewhere the framework's switch, which sets and clears the flags together.
    juce::FloatVectorOperations::disableDenormalisedNumberSupport(true);
#endif
}

void GainPairNoDenormals::restore() noexcept
{
#if JUCE_USE_SSE_INTRINSICS
    _mm_setcsr(static_cast<unsigned>(saved));
#else
    juce::FloatVectorOperations::disableDenormalisedNumberSupport(false);
#endif
}
