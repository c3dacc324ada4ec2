#include "HostCases.h"
#include "NoiseRunner.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <thread>

using HostCases::Case;

// These run in the sanitizer builds too: the parameters against ThreadSanitizer, the editor's
// lifecycle against AddressSanitizer's leak checker.
namespace
{
constexpr double kRate = 48000.0;
constexpr int kBlock = 256;

// ThreadSanitizer sees the race itself within a few openings, and counts the locks that each of JUCE's
// VST3 editors leaves held, stopping at 64 of them.
#if defined(__SANITIZE_THREAD__)
constexpr int kQuickOpenings = 15;
#else
constexpr int kQuickOpenings = 150;
#endif

// A thread that repeats one step until stopped, by default about once a millisecond, as a host's
// audio or automation thread does.
class Repeating
{
public:
    explicit Repeating(std::function<void()> stepToRepeat,
                       std::chrono::microseconds pauseBetweenSteps = std::chrono::milliseconds(1))
        : step(std::move(stepToRepeat)), pause(pauseBetweenSteps)
    {
        thread = std::thread(
            [this]
            {
                while (running.load())
                {
                    step();
                    ++steps;
                    if (pause.count() > 0)
                        std::this_thread::sleep_for(pause);
                }
            });
    }

    ~Repeating() { stop(); }

    void stop()
    {
        running = false;
        if (thread.joinable())
            thread.join();
    }

    int count() const { return steps.load(); }

private:
    std::function<void()> step;
    std::chrono::microseconds pause;
    std::atomic<bool> running{true};
    std::atomic<int> steps{0};
    std::thread thread;
};

// Blocks of noise on a thread of its own; remembers whether any output was not finite.
class AudioThread
{
public:
    explicit AudioThread(juce::AudioPluginInstance& plugin,
                         std::chrono::microseconds pauseBetweenBlocks = std::chrono::milliseconds(1))
        : run(plugin, kBlock), thread([this] { finite = run.process(kBlock) && finite; }, pauseBetweenBlocks)
    {
    }

    void stop() { thread.stop(); }
    bool allFinite() const { return finite.load(); }
    int blocks() const { return thread.count(); }

private:
    NoiseRunner run;
    std::atomic<bool> finite{true};
    Repeating thread;
};

void runMessageLoopFor(int milliseconds)
{
    juce::MessageManager::getInstance()->runDispatchLoopUntil(milliseconds);
}

class HostThreads : public ::testing::TestWithParam<Case>
{
};
} // namespace

// Automation arrives on a thread of the host's while the audio thread renders and the message thread
// runs the plug-in's timers.
TEST_P(HostThreads, ParametersFromAnotherThreadWhileAudioRuns)
{
    auto plugin = HostCases::loadPrepared(GetParam(), kRate, kBlock);
    ASSERT_NE(plugin, nullptr);

    {
        AudioThread audio(*plugin);
        juce::Random rng(17);
        Repeating automation([&] { HostCases::automateRandomly(*plugin, rng); });
        runMessageLoopFor(1000);
        automation.stop();
        audio.stop();
        EXPECT_TRUE(audio.allFinite());
        EXPECT_GT(audio.blocks(), 10);
        EXPECT_GT(automation.count(), 10);
    }

    NoiseRunner run(*plugin, kBlock);
    HostCases::expectDefaultsRestorePassThrough(*plugin, run, kRate, kBlock);
    plugin->releaseResources();
}

TEST_P(HostThreads, EditorOpenedResizedAndClosedWhileAudioRuns)
{
    auto plugin = HostCases::loadPrepared(GetParam(), kRate, kBlock);
    ASSERT_NE(plugin, nullptr);
    ASSERT_TRUE(plugin->hasEditor());

    AudioThread audio(*plugin);
    for (int cycle = 0; cycle < 20; ++cycle)
    {
        SCOPED_TRACE("cycle " + std::to_string(cycle));
        std::unique_ptr<juce::AudioProcessorEditor> editor(plugin->createEditorIfNeeded());
        ASSERT_NE(editor, nullptr);
        EXPECT_EQ(plugin->getActiveEditor(), editor.get());

        editor->addToDesktop(juce::ComponentPeer::windowHasTitleBar | juce::ComponentPeer::windowIsResizable);
        editor->setVisible(true);
        runMessageLoopFor(30);

        // A host resizes only editors that say they can be, and within their limits.
        if (editor->isResizable())
        {
            const auto initial = editor->getBounds();
            auto wanted = initial.withSize(initial.getWidth() * (cycle % 2 == 0 ? 5 : 3) / 4,
                                           initial.getHeight() * (cycle % 2 == 0 ? 5 : 3) / 4);
            if (auto* limits = editor->getConstrainer())
                limits->checkBounds(wanted, initial, juce::Rectangle<int>(0, 0, 4000, 4000), false, false, true, true);
            editor->setBounds(wanted);
            runMessageLoopFor(100);
        }

        // Hidden, then deleted once the window system has long answered the resize. JUCE's embedding
        // component answers a resize of the plug-in's window asynchronously through a pointer to
        // itself, and crashes if the editor is deleted while such an answer is pending.
        editor->setVisible(false);
        runMessageLoopFor(100);
        editor.reset();
        EXPECT_EQ(plugin->getActiveEditor(), nullptr);
        runMessageLoopFor(10);
    }
    audio.stop();
    EXPECT_TRUE(audio.allFinite());
    plugin->releaseResources();
}

// The editor adds itself to the processor's listeners while the audio thread notifies them of
// parameter changes (in LV2, of the host's bypass switch on every block); quick openings and closings
// give that race many chances.
TEST_P(HostThreads, EditorOpenedAndClosedQuicklyWhileAudioRuns)
{
    auto plugin = HostCases::loadPrepared(GetParam(), kRate, kBlock);
    ASSERT_NE(plugin, nullptr);
    // Blocks back to back, as an offline render runs them: the notifications never pause.
    AudioThread audio(*plugin, std::chrono::microseconds(0));
    juce::Random rng(5);
    Repeating automation([&] { HostCases::automateRandomly(*plugin, rng); });
    for (int cycle = 0; cycle < kQuickOpenings; ++cycle)
    {
        std::unique_ptr<juce::AudioProcessorEditor> editor(plugin->createEditorIfNeeded());
        ASSERT_NE(editor, nullptr) << "cycle " << cycle;
        runMessageLoopFor(5);
        editor.reset();
        runMessageLoopFor(2);
    }
    automation.stop();
    audio.stop();
    EXPECT_TRUE(audio.allFinite());
    EXPECT_GT(audio.blocks(), 10);
    plugin->releaseResources();
}

INSTANTIATE_TEST_SUITE_P(Bundles, HostThreads, ::testing::ValuesIn(HostCases::all()), HostCases::CaseName());
