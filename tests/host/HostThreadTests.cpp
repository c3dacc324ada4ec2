#include "HostCases.h"
#include "NoiseRunner.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <thread>

using HostCases::Case;

// These run in the sanitizer builds too: the parameters against ThreadSanitizer, the editor's
// lifecycle against AddressSanitizer's leak checker.
namespace
{
constexpr double kRate = 48000.0;
constexpr int kBlock = 256;

// A thread that repeats one step until stopped, about once a millisecond, as a host's audio or
// automation thread does; a hold keeps it waiting between two steps.
class Repeating
{
public:
    explicit Repeating(std::function<void()> stepToRepeat) : step(std::move(stepToRepeat))
    {
        thread = std::thread(
            [this]
            {
                while (running.load())
                {
                    {
                        const std::lock_guard<std::mutex> notHeld(gate);
                        step();
                    }
                    ++steps;
                    std::this_thread::sleep_for(std::chrono::milliseconds(1));
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

    std::unique_lock<std::mutex> hold() { return std::unique_lock<std::mutex>(gate); }

private:
    std::function<void()> step;
    std::mutex gate;
    std::atomic<bool> running{true};
    std::atomic<int> steps{0};
    std::thread thread;
};

// Blocks of noise on a thread of its own; remembers whether any output was not finite.
class AudioThread
{
public:
    explicit AudioThread(juce::AudioPluginInstance& plugin)
        : run(plugin, kBlock), thread([this] { finite = run.process(kBlock) && finite; })
    {
    }

    void stop() { thread.stop(); }
    bool allFinite() const { return finite.load(); }
    int blocks() const { return thread.count(); }
    std::unique_lock<std::mutex> hold() { return thread.hold(); }

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
        // JUCE's LV2 wrapper passes a new editor's first parameter messages to the audio thread, which
        // walks the processor's listener list without its lock while JUCE's generic editor may still
        // be adding itself to it; so an LV2 host's audio waits while the editor is built and shown.
        std::unique_lock<std::mutex> held;
        if (GetParam().bundle.format == PluginHost::Format::LV2)
            held = audio.hold();

        std::unique_ptr<juce::AudioProcessorEditor> editor(plugin->createEditorIfNeeded());
        ASSERT_NE(editor, nullptr);
        EXPECT_EQ(plugin->getActiveEditor(), editor.get());

        editor->addToDesktop(juce::ComponentPeer::windowHasTitleBar | juce::ComponentPeer::windowIsResizable);
        editor->setVisible(true);
        runMessageLoopFor(30);
        if (held.owns_lock())
            held.unlock();

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

INSTANTIATE_TEST_SUITE_P(Bundles, HostThreads, ::testing::ValuesIn(HostCases::all()), HostCases::CaseName());
