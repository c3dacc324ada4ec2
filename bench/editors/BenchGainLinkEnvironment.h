#pragma once

#include "gainpair/common/GainLinkEnvironment.h"

#include <string>
#include <unistd.h>

// A private lock folder and object names, so a benchmark never meets the user's instances. The
// caller removes the folder when done.
inline GainLinkEnvironment benchGainLinkEnvironment()
{
    GainLinkEnvironment env;
    env.applicationDataFolder = juce::File::getSpecialLocation(juce::File::tempDirectory)
                                    .getChildFile("OrzEditorBench_" + juce::String(getpid()));
    env.objectNamePrefix = "/OrzEditorBench_" + std::to_string(getpid()) + "_ID_";
    return env;
}
