#include <gtest/gtest.h>

#include "support/WindowManagerAtoms.h"

// JUCE's message manager and singletons live for the whole test run, as they do in a host.
int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
#if JUCE_LINUX
    WindowManagerAtoms atoms;
#endif
    juce::ScopedJuceInitialiser_GUI juce;
    return RUN_ALL_TESTS();
}
