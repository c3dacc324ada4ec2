#include "support/WindowManagerAtoms.h"

#include <gtest/gtest.h>

#include <juce_gui_basics/juce_gui_basics.h>

// JUCE's message manager and singletons live for the whole test run, as they do in a host.
int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    createWindowManagerAtoms();
    juce::ScopedJuceInitialiser_GUI juce;
    return RUN_ALL_TESTS();
}
