#pragma once

#include "widgets/OrlintKnob.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <array>

// One linkable knob pair: its two knobs, its link state and the particles along its line.
struct LinkPair
{
    static constexpr int maxParticles = 12;

    juce::Component* compA = nullptr;
    juce::Component* compB = nullptr;
    OrlintKnob* knobA = nullptr;
    OrlintKnob* knobB = nullptr;
    int* link = nullptr;
    int forwardCount = 0;
    std::array<float, maxParticles> forwardPos{};
    int forwardPending = 0;
    float forwardSpawnTimer = 0.0f;
    int backwardCount = 0;
    std::array<float, maxParticles> backwardPos{};
    int backwardPending = 0;
    float backwardSpawnTimer = 0.0f;
    double refA = 0.0;
    double refB = 0.0;

    // One tick of the particles: starts a pending one when its timer allows, moves the live ones
    // and drops those that arrived; an unlinked pair loses them all. True when anything moved.
    bool advance();
    // How many particles a knob change of this distance launches (0 for none), for a knob of
    // this interval.
    static int particlesFor(double distance, double interval);
};
