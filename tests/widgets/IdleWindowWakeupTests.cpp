#include <juce_gui_basics/juce_gui_basics.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <limits>

namespace juce::detail
{
bool dispatchNextMessageOnSystemQueue(bool returnIfNoPendingMessages);
} // namespace juce::detail

namespace
{
struct CountingWindow : juce::Component
{
    void paint(juce::Graphics& g) override
    {
        ++paints;
        g.fillAll(juce::Colours::darkgrey);
    }

    int paints = 0;
};

// Runs the message loop for a while and counts the rounds in which something was dispatched: each
// is a wake-up of the message thread.
int busyRounds(int ms)
{
    int rounds = 0;
    const auto end = juce::Time::getMillisecondCounterHiRes() + ms;
    while (juce::Time::getMillisecondCounterHiRes() < end)
    {
        if (juce::detail::dispatchNextMessageOnSystemQueue(true))
            ++rounds;
        else
            juce::Thread::sleep(1);
    }
    return rounds;
}

// The fewest rounds in any of a few seconds: other programs on the same display (tests running in
// parallel) send the odd event of their own, in bursts.
int quietestSecond()
{
    int fewest = std::numeric_limits<int>::max();
    for (int i = 0; i < 3; ++i)
        fewest = std::min(fewest, busyRounds(1000));
    return fewest;
}

bool runUntil(const std::function<bool()>& done, int timeoutMs = 3000)
{
    const auto end = juce::Time::getMillisecondCounterHiRes() + timeoutMs;
    while (!done() && juce::Time::getMillisecondCounterHiRes() < end)
        busyRounds(5);
    return done();
}

struct IdleWindow : ::testing::Test
{
    IdleWindow()
    {
        window.setBounds(100, 100, 200, 150);
        window.addToDesktop(0);
        window.setVisible(true);
        runUntil([this] { return window.paints > 0; });
        // Long enough for a window that has nothing to do to let go of its back buffer.
        busyRounds(4500);
    }

    CountingWindow window;
};
} // namespace

// A shown window with nothing to repaint and nobody waiting for the display's refresh wakes the
// message thread no more than a few times a second (its refresh callback used to run 100 times a
// second under a display reporting no refresh rate, 60 on a common screen).
TEST_F(IdleWindow, WakesTheMessageThreadRarely)
{
    ASSERT_GT(window.paints, 0);
    EXPECT_LT(quietestSecond(), 20);
}

// Resting costs nothing that shows: a repaint asked of an idle window is painted, and a component
// waiting for the refresh gets it at the display's rate until it goes, after which the window rests.
TEST_F(IdleWindow, StillPaintsAndServesRefreshListeners)
{
    const auto before = window.paints;
    window.repaint();
    ASSERT_TRUE(runUntil([&] { return window.paints > before; }));

    int blanks = 0;
    {
        juce::VBlankAttachment attachment(&window, [&blanks] { ++blanks; });
        busyRounds(500);
    }
    EXPECT_GE(blanks, 15) << "at least 30 refreshes a second";

    busyRounds(1500);
    EXPECT_LT(quietestSecond(), 20);
}
