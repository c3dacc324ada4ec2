// First, so that it can ask the framework for its X11 headers.
#include "support/WindowManagerAtoms.h"

#include "EditorBenchCase.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <cstdio>
#include <ctime>
#include <vector>

namespace
{
double processCpuSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return (double)t.tv_sec + (double)t.tv_nsec * 1.0e-9;
}

// CPU time of the whole process per second of wall-clock time, in percent of one core, while the
// message loop runs the editor for the given time after a short settling period.
double measure(EditorBenchRig&, int seconds)
{
    juce::MessageManager::getInstance()->runDispatchLoopUntil(1000);
    const double cpu0 = processCpuSeconds();
    const double wall0 = juce::Time::getMillisecondCounterHiRes();
    juce::MessageManager::getInstance()->runDispatchLoopUntil(seconds * 1000);
    const double cpu = processCpuSeconds() - cpu0;
    const double wall = (juce::Time::getMillisecondCounterHiRes() - wall0) / 1000.0;
    return 100.0 * cpu / wall;
}
} // namespace

// Usage: EditorBench [seconds per measurement, default 5]. Needs a display (xvfb-run works).
// Exits with 1 when an editor goes over its limit.
int main(int argc, char** argv)
{
    const int seconds = argc > 1 ? juce::jmax(1, atoi(argv[1])) : 5;
#if JUCE_LINUX
    WindowManagerAtoms atoms;
#endif
    juce::ScopedJuceInitialiser_GUI gui;

    const auto cases = editorBenchCases();
    bool allWithin = true;
    std::printf("%-10s %-6s %8s %8s\n", "editor", "state", "cpu %", "limit %");
    for (const auto& c : cases)
    {
        for (bool busy : {false, true})
        {
            auto rig = c.make(busy);
            const double percent = measure(*rig, seconds);
            const double limit = busy ? c.busyLimitPercent : c.idleLimitPercent;
            allWithin = allWithin && percent <= limit;
            std::printf("%-10s %-6s %8.2f %8.1f%s\n", c.name, busy ? "busy" : "idle", percent, limit,
                        percent <= limit ? "" : "  OVER");
        }
    }
    return allWithin ? 0 : 1;
}
