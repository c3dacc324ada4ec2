#include "base/OrzNoDenormals.h"

#include <gtest/gtest.h>

#include <limits>

namespace
{
// A product that is a denormal unless denormals are flushed.
float tinyProduct()
{
    volatile float a = std::numeric_limits<float>::min();
    volatile float b = 0.25f;
    return a * b;
}
} // namespace

// Inside the scope denormals are flushed whatever the thread had; afterwards the thread has what it
// had before, set or not.
TEST(OrzNoDenormals, FlushesInsideAndRestoresTheThreadsOwnSetting)
{
    for (const bool hostFlushes : {false, true})
    {
        SCOPED_TRACE(hostFlushes);
        juce::FloatVectorOperations::disableDenormalisedNumberSupport(hostFlushes);
        {
            const OrzNoDenormals guard;
            EXPECT_EQ(tinyProduct(), 0.0f);
        }
        EXPECT_EQ(juce::FloatVectorOperations::areDenormalsDisabled(), hostFlushes);
        EXPECT_EQ(juce::exactlyEqual(tinyProduct(), 0.0f), hostFlushes);
    }
    juce::FloatVectorOperations::disableDenormalisedNumberSupport(false);
}
