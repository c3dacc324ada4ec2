#pragma once

#include "NoiseRunner.h"
#include "PluginHost.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

// What a host can observe of each plug-in without knowing its code (its parameters and the bus
// layouts it accepts), the six built bundles the host tests load, and the steps and checks they share.
namespace HostCases
{
struct ParamSpec
{
    const char* id;
    const char* name;
    float start, end, def;
    // The plug-in snaps values to multiples of this from the start; 0 for continuous ones.
    float step;
    // Exponent of the plug-in's own value-to-position map, (v - start) / (end - start) raised to it.
    float positionExponent = 1.0f;
};

struct Product
{
    const char* name;
    std::vector<ParamSpec> params;
    // Main input and output channel counts the processor accepts, 0 standing for a disabled bus.
    bool (*acceptsLayout)(int inputs, int outputs);
};

const Product& bivarro();
const Product& ovrel();
const Product& undrel();

struct Case
{
    PluginHost::Bundle bundle;
    const Product* product;
};

const std::vector<Case>& all();

void PrintTo(const Case& c, std::ostream* os);

// "BivarroVST3" and so on; the test command picks tests by these names.
std::string caseName(const Case& c);

struct CaseName
{
    std::string operator()(const ::testing::TestParamInfo<Case>& info) const { return caseName(info.param); }
};

// The default's normalised position as the format reports it. JUCE's LV2 host maps a port's range
// linearly, so only VST3 reports the plug-in's own skewed position.
float expectedDefault(const ParamSpec& spec, PluginHost::Format format);

// The value the plug-in takes for a normalised position the format reports: mapped back through the
// format's map and snapped to the parameter's step.
float plainValue(const ParamSpec& spec, float normalised, PluginHost::Format format);

// Our parameters as the hosted instance offers them, in table order (null where one is missing), and
// those the format's wrapper adds of its own.
struct HostedParameters
{
    std::vector<juce::AudioProcessorParameter*> ours;
    std::vector<juce::AudioProcessorParameter*> extra;
};

HostedParameters hostedParameters(juce::AudioPluginInstance& instance, const Product& product);

// Loads the case's bundle, adding a test failure when it will not load; prepared as a host prepares
// an instance before audio flows, or not.
std::unique_ptr<juce::AudioPluginInstance> load(const Case& c, double rate, int block);
std::unique_ptr<juce::AudioPluginInstance> loadPrepared(const Case& c, double rate, int block);

// Every parameter, ours and the wrapper's, back to its default as a host's "reset" does.
void setAllToDefaults(juce::AudioPluginInstance& instance);

// One to three parameters, the wrapper's bypass among them, moved to random values, as automation
// does between two blocks.
void automateRandomly(juce::AudioPluginInstance& instance, juce::Random& rng);

// Blocks of the given sizes: every output finite and, at the defaults, equal to the input.
void expectPassThrough(NoiseRunner& run, const std::vector<int>& sizes);

// Back to the defaults, half a second for every ramp and the delay line to settle, then a few blocks
// that must pass through.
void expectDefaultsRestorePassThrough(juce::AudioPluginInstance& instance, NoiseRunner& run, double rate, int block);

// Random normalised values on every parameter but the one the host uses as its bypass switch (hosts
// keep that switch with their own project data).
void setRandomValues(juce::AudioPluginInstance& instance, juce::Random& rng);
} // namespace HostCases
