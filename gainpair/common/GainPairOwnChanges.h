#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

#include <atomic>

// Values a gain processor gives its own parameters, told to the host like a control's change: on
// the message thread, inside a gesture. A value set in the constructor reaches no host, since the
// plug-in wrapper starts listening only afterwards; it is told again once the host has prepared the
// processor, unless the host has set the parameter since (a restore, its own control). The wrapper
// does not echo the host's own changes back, and nothing here reacts to them, so no loop can form.
class GainPairOwnChanges
{
public:
    // Message thread: sets the parameter to a plain (not normalised) value and notifies the host.
    static void set(juce::RangedAudioParameter& parameter, float value);

    // Constructor: sets the value and keeps it to be told again later. One parameter at a time.
    void setBeforeHostListens(juce::RangedAudioParameter& parameter, float value);

    // Any thread. The wrappers listen by the time a host prepares the processor.
    void hostPrepared() noexcept { prepared.store(true, std::memory_order_release); }

    // Any thread: the host has handed over a state, whose values are its own.
    void hostRestored() noexcept { pending.store(nullptr, std::memory_order_release); }

    // Timer: tells the host a value kept by setBeforeHostListens, once prepared, if the parameter
    // still holds it.
    void tellHost();

private:
    std::atomic<juce::RangedAudioParameter*> pending{nullptr};
    std::atomic<bool> prepared{false};
    float pendingValue = 0.0f;
};
