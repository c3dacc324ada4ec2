#include <juce_events/juce_events.h>

#include <gtest/gtest.h>

// JUCE's message manager and singletons live for the whole test run, as they do in a host.
int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    juce::ScopedJuceInitialiser_GUI juce;
    return RUN_ALL_TESTS();
}
