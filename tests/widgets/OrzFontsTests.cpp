#include "widgets/OrzFonts.h"

#include <gtest/gtest.h>

TEST(OrzFonts, ResolvesToAnInstalledFaceWithRealGlyphs)
{
    const auto& name = OrzFonts::typefaceName();
    EXPECT_FALSE(name.isEmpty());

    const auto f = OrzFonts::font(12.0f, true);
    EXPECT_TRUE(f.isBold());
    EXPECT_FLOAT_EQ(f.getHeight(), 12.0f);
    // A missing face would render nothing: texts must have width.
    EXPECT_GT(juce::GlyphArrangement::getStringWidth(f, "Bivarro"), 10.0f);
    EXPECT_GT(juce::GlyphArrangement::getStringWidth(f, "Compensación ∞"), 10.0f);
}
