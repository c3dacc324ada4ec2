#include "base/OrzNoDenormals.h"

void OrzNoDenormals::engage() noexcept
{
#if JUCE_USE_SSE_INTRINSICS
    _mm_setcsr(static_cast<unsigned>(saved) | flushMask);
#else
    // Elsewhere the framework's switch, which sets and clears the flags together.
    juce::FloatVectorOperations::disableDenormalisedNumberSupport(true);
#endif
}

void OrzNoDenormals::restore() noexcept
{
#if JUCE_USE_SSE_INTRINSICS
    _mm_setcsr(static_cast<unsigned>(saved));
#else
    juce::FloatVectorOperations::disableDenormalisedNumberSupport(false);
#endif
}
