#pragma once

#include <lilv/lilv.h>
#include <lv2/options/options.h>
#include <lv2/urid/urid.h>

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

// One LV2 plug-in instance loaded through the reference loader, with every port connected, run the
// way a host runs it: instantiated once, its control ports plain floats the host writes.
class Lv2Rig
{
public:
    static constexpr double rate = 48000.0;
    static constexpr uint32_t block = 512;

    struct UridMap
    {
        std::map<std::string, LV2_URID> ids;
        std::vector<std::string> names;

        LV2_URID map(const char* uri);
    };

    // A patch:Set the plug-in wrote on its output, with the property's URI.
    struct Announcement
    {
        std::string property;
        float value;
    };

    Lv2Rig(const std::string& bundlePath, const std::string& pluginUri);
    ~Lv2Rig();

    Lv2Rig(const Lv2Rig&) = delete;
    Lv2Rig& operator=(const Lv2Rig&) = delete;

    bool ready() const;

    uint32_t port(const char* symbol) const;
    float& control(const char* symbol) { return controls.at(port(symbol)); }
    float& controlAt(uint32_t index) { return controls.at(index); }

    // A patch message on the control input, as a host that knows the properties sends one.
    void sendPatchSet(const char* parameterId, float value);

    // Runs the given number of blocks of a steady input and returns the last block's output/input
    // ratio of each channel.
    std::pair<float, float> gains(int blocks);

    void run(int blocks);

    // Connects the audio inputs and outputs to buffers of the caller's, of `block` samples each,
    // which may be the same for an input and an output as hosts that run in place give them.
    void connectAudio(const std::vector<float*>& inputs, const std::vector<float*>& outputs);

    // The values the plug-in announced for one of its parameters, oldest first.
    std::vector<float> announced(const char* parameterId) const;
    void forgetAnnouncements() { announcements.clear(); }

    LilvState* saveState();

    // Restores the plug-in's own state and leaves the ports as they are, as a host that keeps its
    // port values apart does.
    void restore(LilvState* state);

    const std::string uri;
    LilvWorld* world = nullptr;
    const LilvPlugin* plugin = nullptr;
    LilvInstance* instance = nullptr;
    UridMap urids;
    LV2_URID_Map mapFeature{};

private:
    void clearInput();
    void readOutput();

    int32_t maxBlock = (int32_t)block;
    LV2_Options_Option options[2]{};
    LV2_Feature features[3]{};
    std::vector<float> controls;
    std::vector<std::vector<float>> audio;
    std::vector<std::vector<uint64_t>> atoms;
    std::vector<uint32_t> audioIn, audioOut;
    uint32_t atomIn = 0, atomOut = 0;
    std::vector<Announcement> announcements;
};
