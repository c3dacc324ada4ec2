#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

#include <functional>
#include <memory>
#include <vector>

// One editor under measurement: its processor, the editor on the desktop, and whatever drives them.
class EditorBenchRig
{
public:
    virtual ~EditorBenchRig() = default;
    virtual juce::Component& editor() = 0;
};

// A row of the benchmark's table: how to build the rig, with or without audio and moving values.
struct EditorBenchCase
{
    const char* name;
    std::function<std::unique_ptr<EditorBenchRig>(bool busy)> make;
    double idleLimitPercent;
    double busyLimitPercent;
};

// The table of the plug-in this program is built for: two gain plug-ins cannot share one process
// image, so each has its own program that links its own table.
std::vector<EditorBenchCase> editorBenchCases();
