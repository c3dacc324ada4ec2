// The cost of an open editor: each row of the table is shown in a real window, first idle and then
// while a thread feeds its processor in real time, and the process's CPU time per wall-clock second
// is reported for both (100 % is one core). The message loop blocks between events, as in a host, so
// the figures hold only what the editor itself costs.
//
// Usage: <Plug-in>EditorBench [seconds per phase, default 10] [only rows whose name contains this].
// Needs a display (xvfb-run works).
// Exits with 1 when an editor goes over its limit.

#include "support/WindowManagerAtoms.h"

#include "EditorBenchCase.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <functional>
#include <memory>
#include <vector>

namespace
{
double processCpuSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return (double)t.tv_sec + (double)t.tv_nsec * 1.0e-9;
}

// Walks the table's rows and their idle and busy phases with delayed calls, so that one blocking
// message loop runs the whole program (a stopped loop cannot be started again).
class BenchRun
{
public:
    BenchRun(int secondsPerPhase, const juce::String& rowFilter) : phaseMs(secondsPerPhase * 1000)
    {
        cases.erase(std::remove_if(cases.begin(), cases.end(),
                                   [&](const EditorBenchCase& c) { return !juce::String(c.name).contains(rowFilter); }),
                    cases.end());
    }

    void start() { next(); }
    bool allWithinLimits() const { return allWithin; }

private:
    void next()
    {
        if (row == cases.size())
        {
            juce::MessageManager::getInstance()->stopDispatchLoop();
            return;
        }
        rig = cases[row].make(busy);
        juce::Timer::callAfterDelay(1000, [this] { measure(); }); // the window settles
    }

    void measure()
    {
        const double cpu0 = processCpuSeconds();
        const double wall0 = juce::Time::getMillisecondCounterHiRes();
        juce::Timer::callAfterDelay(phaseMs,
                                    [this, cpu0, wall0]
                                    {
                                        const double cpu = processCpuSeconds() - cpu0;
                                        const double wall = (juce::Time::getMillisecondCounterHiRes() - wall0) / 1000.0;
                                        report(100.0 * cpu / wall);
                                    });
    }

    void report(double percent)
    {
        rig.reset();
        const auto& c = cases[row];
        const double limit = busy ? c.busyLimitPercent : c.idleLimitPercent;
        allWithin = allWithin && percent <= limit;
        std::printf("%-38s %-6s %8.2f %8.1f%s\n", c.name, busy ? "busy" : "idle", percent, limit,
                    percent <= limit ? "" : "  OVER");
        std::fflush(stdout);
        if (busy)
            ++row;
        busy = !busy;
        juce::MessageManager::callAsync([this] { next(); });
    }

    const int phaseMs;
    std::vector<EditorBenchCase> cases = editorBenchCases();
    size_t row = 0;
    bool busy = false;
    bool allWithin = true;
    std::unique_ptr<EditorBenchRig> rig;
};
} // namespace

int main(int argc, char** argv)
{
    const int seconds = argc > 1 ? juce::jmax(1, atoi(argv[1])) : 10;
    const juce::String rowFilter = argc > 2 ? juce::String(argv[2]) : juce::String();
    createWindowManagerAtoms();
    juce::ScopedJuceInitialiser_GUI gui;

    std::printf("%-38s %-6s %8s %8s\n", "editor", "state", "cpu %", "limit %");
    BenchRun run(seconds, rowFilter);
    juce::MessageManager::callAsync([&run] { run.start(); });
    juce::MessageManager::getInstance()->runDispatchLoop();
    return run.allWithinLimits() ? 0 : 1;
}
