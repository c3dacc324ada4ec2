#include "gainpair/common/GainPairNoDenormals.h"

#if JUCE_USE_SSE_INTRINSICS
#include <xmmintrin.h>
#endif

namespace
{
#if JUCE_USE_SSE_INTRINSICS
constexpr unsigned flushMask = 0x8040; // flush to zero, denormals are zero
#endif
} // namespace

GainPairNoDenormals::GainPairNoDenormals() noexcept
{
#if JUCE_USE_SSE_INTRINSICS
    saved = static_cast<intptr_t>(_mm_getcsr());
    changed = (static_cast<unsigned>(saved) & flushMask) != flushMask;
    if (changed)
        _mm_setcsr(static_cast<unsigned>(saved) | flushMask);
#else
    // Elsewhere the framework's switch, which sets and clears the flags together.
    changed = !juce::FloatVectorOperations::areDenormalsDisabled();
    if (changed)
        juce::FloatVectorOperations::disableDenormalisedNumberSupport(true);
#endif
}

GainPairNoDenormals::~GainPairNoDenormals()
{
    if (!changed)
        return;
#if JUCE_USE_SSE_INTRINSICS
    _mm_setcsr(static_cast<unsigned>(saved));
#else
    juce::FloatVectorOperations::disableDenormalisedNumberSupport(false);
#endif
}
