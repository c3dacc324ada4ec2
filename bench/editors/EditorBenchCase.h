#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

#include <functional>
#include <memory>

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

EditorBenchCase ovrelEditorBenchCase();
