// Times Bivarro's LV2 build against stereo plug-ins that Linux distributions package, through one
// small LV2 host, on the same stereo noise: nanoseconds per stereo frame and their ratios.
//
//   BivarroPeerBench <Bivarro.lv2 bundle> [repetitions] [seconds per measurement] [row]
//
// A fourth argument keeps only the rows whose name contains it (handy under a profiler).
// Peers are found on the usual LV2 path (LV2_PATH, else the system folders); a missing one is
// reported and left out.
#include "BivarroBenchSettings.h"

#include <lilv/lilv.h>
#include <lv2/atom/atom.h>
#include <lv2/atom/forge.h>
#include <lv2/atom/util.h>
#include <lv2/buf-size/buf-size.h>
#include <lv2/core/lv2.h>
#include <lv2/options/options.h>
#include <lv2/parameters/parameters.h>
#include <lv2/patch/patch.h>
#include <lv2/urid/urid.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <time.h>
#include <vector>

namespace
{
constexpr double sampleRate = 48000.0;
constexpr int blockSizes[] = {64, 512};
constexpr int maxBlock = 512;
constexpr int noiseFrames = 1 << 16;
constexpr uint32_t atomCapacity = 1 << 16;

const char* const bivarroUri = "urn:orlintz:bivarro";
const char* const bivarroParameterPrefix = "urn:orlintz:bivarro:";
const char* const calfStereoToolsUri = "http://calf.sourceforge.net/plugins/StereoTools";
const char* const x42BalanceUri = "http://gareus.org/oss/lv2/balance";
const char* const ampUri = "http://lv2plug.in/plugins/eg-amp";

double cpuSeconds() noexcept
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + 1e-9 * static_cast<double>(t.tv_nsec);
}

// URIs to numbers, for the plug-ins' urid:map; only called outside the timed loops.
class UridMap
{
public:
    UridMap() : feature{LV2_URID__map, &map} {}

    LV2_URID id(const char* uri)
    {
        for (size_t i = 0; i < uris.size(); ++i)
            if (uris[i] == uri)
                return static_cast<LV2_URID>(i + 1);
        uris.emplace_back(uri);
        return static_cast<LV2_URID>(uris.size());
    }

    LV2_URID_Map map{this, [](LV2_URID_Map_Handle h, const char* uri) { return static_cast<UridMap*>(h)->id(uri); }};
    LV2_Feature feature;

private:
    std::vector<std::string> uris;
};

struct HostFeatures
{
    explicit HostFeatures(UridMap& urids)
        : maxBlockLength(maxBlock),
          rate(static_cast<float>(sampleRate)), options{{LV2_OPTIONS_INSTANCE, 0,
                                                         urids.id(LV2_BUF_SIZE__maxBlockLength), sizeof(int32_t),
                                                         urids.id(LV2_ATOM__Int), &maxBlockLength},
                                                        {LV2_OPTIONS_INSTANCE, 0,
                                                         urids.id(LV2_BUF_SIZE__minBlockLength), sizeof(int32_t),
                                                         urids.id(LV2_ATOM__Int), &minBlockLength},
                                                        {LV2_OPTIONS_INSTANCE, 0, urids.id(LV2_PARAMETERS__sampleRate),
                                                         sizeof(float), urids.id(LV2_ATOM__Float), &rate},
                                                        {LV2_OPTIONS_INSTANCE, 0, 0, 0, 0, nullptr}},
          optionsFeature{LV2_OPTIONS__options, options}, boundedFeature{LV2_BUF_SIZE__boundedBlockLength, nullptr},
          list{&urids.feature, &optionsFeature, &boundedFeature, nullptr}
    {
    }

    int32_t maxBlockLength;
    int32_t minBlockLength = 1;
    float rate;
    LV2_Options_Option options[4];
    LV2_Feature optionsFeature;
    LV2_Feature boundedFeature;
    const LV2_Feature* list[4];
};

// One instance with every port connected: audio to the host's buffers, control inputs to their
// defaults, everything else to scratch space.
class Instance
{
public:
    Instance(LilvWorld* world, const LilvPlugin* plugin, const HostFeatures& features)
        : instance(lilv_plugin_instantiate(plugin, sampleRate, features.list))
    {
        if (instance == nullptr)
            return;
        LilvNode* audio = lilv_new_uri(world, LV2_CORE__AudioPort);
        LilvNode* control = lilv_new_uri(world, LV2_CORE__ControlPort);
        LilvNode* atom = lilv_new_uri(world, LV2_ATOM__AtomPort);
        LilvNode* input = lilv_new_uri(world, LV2_CORE__InputPort);

        const uint32_t count = lilv_plugin_get_num_ports(plugin);
        controls.resize(count, 0.0f);
        atoms.resize(count);
        scratch.resize(count);
        for (uint32_t i = 0; i < count; ++i)
        {
            const LilvPort* port = lilv_plugin_get_port_by_index(plugin, i);
            const bool isInput = lilv_port_is_a(plugin, port, input);
            if (lilv_port_is_a(plugin, port, audio))
            {
                (isInput ? audioIn : audioOut).push_back(i);
                scratch[i].assign(maxBlock, 0.0f);
                lilv_instance_connect_port(instance, i, scratch[i].data());
            }
            else if (lilv_port_is_a(plugin, port, control))
            {
                LilvNode* def = nullptr;
                lilv_port_get_range(plugin, port, &def, nullptr, nullptr);
                if (def != nullptr && isInput)
                    controls[i] = lilv_node_as_float(def);
                lilv_node_free(def);
                lilv_instance_connect_port(instance, i, &controls[i]);
            }
            else if (lilv_port_is_a(plugin, port, atom))
            {
                atoms[i].resize(atomCapacity / sizeof(uint64_t));
                (isInput ? atomIn : atomOut).push_back(i);
                lilv_instance_connect_port(instance, i, atoms[i].data());
            }
            else
            {
                scratch[i].assign(maxBlock, 0.0f);
                lilv_instance_connect_port(instance, i, scratch[i].data());
            }
        }
        lilv_node_free(audio);
        lilv_node_free(control);
        lilv_node_free(atom);
        lilv_node_free(input);
        clearAtoms();
        lilv_instance_activate(instance);
    }

    ~Instance()
    {
        if (instance != nullptr)
        {
            lilv_instance_deactivate(instance);
            lilv_instance_free(instance);
        }
    }

    Instance(const Instance&) = delete;
    Instance& operator=(const Instance&) = delete;

    bool valid() const noexcept { return instance != nullptr; }

    // Input sequences empty, output sequences offering their whole capacity.
    void clearAtoms() noexcept
    {
        for (auto i : atomIn)
        {
            auto* seq = reinterpret_cast<LV2_Atom_Sequence*>(atoms[i].data());
            seq->atom.size = sizeof(LV2_Atom_Sequence_Body);
            seq->atom.type = sequenceType;
            seq->body = {0, 0};
        }
        for (auto i : atomOut)
        {
            auto* seq = reinterpret_cast<LV2_Atom_Sequence*>(atoms[i].data());
            seq->atom.size = atomCapacity - sizeof(LV2_Atom);
            seq->atom.type = 0;
        }
    }

    // Runs one block of `frames`, reading channel c of the input from in[c].
    void run(const float* const* in, int frames) noexcept
    {
        for (size_t c = 0; c < audioIn.size(); ++c)
            lilv_instance_connect_port(instance, audioIn[c], const_cast<float*>(in[c]));
        clearAtoms();
        lilv_instance_run(instance, static_cast<uint32_t>(frames));
    }

    // The first atom input port, to carry messages into the next block.
    LV2_Atom_Sequence* firstAtomInput() noexcept
    {
        return atomIn.empty() ? nullptr : reinterpret_cast<LV2_Atom_Sequence*>(atoms[atomIn.front()].data());
    }

    void runWith(const float* const* in, int frames, const std::vector<uint64_t>& message) noexcept
    {
        for (size_t c = 0; c < audioIn.size(); ++c)
            lilv_instance_connect_port(instance, audioIn[c], const_cast<float*>(in[c]));
        clearAtoms();
        if (auto* seq = firstAtomInput(); seq != nullptr && !message.empty())
            std::memcpy(seq, message.data(), message.size() * sizeof(uint64_t));
        lilv_instance_run(instance, static_cast<uint32_t>(frames));
    }

    size_t inputChannels() const noexcept { return audioIn.size(); }
    size_t outputChannels() const noexcept { return audioOut.size(); }

    LV2_URID sequenceType = 0;

private:
    LilvInstance* instance;
    std::vector<float> controls;
    std::vector<std::vector<float>> scratch;
    std::vector<std::vector<uint64_t>> atoms; // 64-bit words keep the sequences aligned
    std::vector<uint32_t> audioIn, audioOut, atomIn, atomOut;
};

// A sequence of patch:Set messages at frame 0 that give Bivarro's parameters these raw values.
std::vector<uint64_t> patchSets(UridMap& urids, const BivarroBenchSettings::Settings& settings)
{
    std::vector<uint64_t> buffer(atomCapacity / sizeof(uint64_t));
    LV2_Atom_Forge forge;
    lv2_atom_forge_init(&forge, &urids.map);
    lv2_atom_forge_set_buffer(&forge, reinterpret_cast<uint8_t*>(buffer.data()), atomCapacity);
    LV2_Atom_Forge_Frame sequence;
    lv2_atom_forge_sequence_head(&forge, &sequence, 0);
    for (const auto& [id, value] : settings)
    {
        const std::string uri = std::string(bivarroParameterPrefix) + id;
        LV2_Atom_Forge_Frame object;
        lv2_atom_forge_frame_time(&forge, 0);
        lv2_atom_forge_object(&forge, &object, 0, urids.id(LV2_PATCH__Set));
        lv2_atom_forge_key(&forge, urids.id(LV2_PATCH__property));
        lv2_atom_forge_urid(&forge, urids.id(uri.c_str()));
        lv2_atom_forge_key(&forge, urids.id(LV2_PATCH__value));
        lv2_atom_forge_float(&forge, value);
        lv2_atom_forge_pop(&forge, &object);
    }
    lv2_atom_forge_pop(&forge, &sequence);
    return buffer;
}

struct Row
{
    std::string name;
    const char* uri;
    BivarroBenchSettings::Settings settings; // Bivarro only
    int copies = 1;                          // mono plug-ins run once per channel
};

// One measurement: the rows' instances, the noise they read, and their timings.
class Bench
{
public:
    Bench(LilvWorld* w, UridMap& u, const HostFeatures& f) : world(w), urids(u), features(f)
    {
        std::mt19937 rng(7);
        std::uniform_real_distribution<float> dist(-0.5f, 0.5f);
        for (auto& channel : noise)
        {
            channel.resize(noiseFrames);
            for (auto& v : channel)
                v = dist(rng);
        }
    }

    // Instances of the row's plug-in, or none when it is missing or will not start.
    std::vector<std::unique_ptr<Instance>> open(const Row& row)
    {
        std::vector<std::unique_ptr<Instance>> instances;
        LilvNode* uri = lilv_new_uri(world, row.uri);
        const LilvPlugin* plugin = lilv_plugins_get_by_uri(lilv_world_get_all_plugins(world), uri);
        lilv_node_free(uri);
        if (plugin == nullptr)
            return instances;
        for (int c = 0; c < row.copies; ++c)
        {
            auto instance = std::make_unique<Instance>(world, plugin, features);
            if (!instance->valid())
                return {};
            instance->sequenceType = urids.id(LV2_ATOM__Sequence);
            instances.push_back(std::move(instance));
        }
        if (!row.settings.empty())
        {
            const auto message = patchSets(urids, row.settings);
            const float* in[2] = {noise[0].data(), noise[1].data()};
            instances.front()->runWith(in, maxBlock, message);
        }
        return instances;
    }

    // Nanoseconds per stereo frame over about `seconds` of blocks of `block` frames. The time is
    // the thread's CPU time, so that time slices lost to other processes on a shared machine do
    // not count.
    double time(std::vector<std::unique_ptr<Instance>>& instances, int block, double seconds)
    {
        constexpr int batch = 64;
        run(instances, block, 4 * batch); // caches and branch predictors warm
        const double start = cpuSeconds();
        long blocks = 0;
        double now = start;
        while (now - start < seconds)
        {
            run(instances, block, batch);
            blocks += batch;
            now = cpuSeconds();
        }
        return (now - start) * 1e9 / (static_cast<double>(blocks) * block);
    }

private:
    void run(std::vector<std::unique_ptr<Instance>>& instances, int block, int blocks)
    {
        for (int b = 0; b < blocks; ++b)
        {
            const float* in[2] = {noise[0].data() + offset, noise[1].data() + offset};
            if (instances.size() == 1)
                instances.front()->run(in, block);
            else
                for (size_t c = 0; c < instances.size(); ++c)
                    instances[c]->run(in + c, block);
            offset = (offset + block) & (noiseFrames - 1);
        }
    }

    LilvWorld* world;
    UridMap& urids;
    const HostFeatures& features;
    std::vector<float> noise[2];
    int offset = 0;
};

struct Spread
{
    double median, low, high;
};

Spread spread(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    const double median = n % 2 ? v[n / 2] : 0.5 * (v[n / 2 - 1] + v[n / 2]);
    return {median, v.front(), v.back()};
}
} // namespace

int main(int argc, char** argv)
{
    if (argc < 2)
    {
        std::fprintf(stderr, "usage: %s <Bivarro.lv2 bundle> [repetitions] [seconds per measurement] [row]\n", argv[0]);
        return 2;
    }
    const int repetitions = argc > 2 ? std::max(1, std::atoi(argv[2])) : 7;
    const double seconds = argc > 3 ? std::max(0.01, std::atof(argv[3])) : 0.3;

    // A Bivarro installed on the LV2 path would stand in for this build's (lilv merges the two
    // descriptions and may load either binary), and the table would time the wrong one: the
    // plug-in's binary must come from the bundle given. run.sh keeps the home folder off the path.
    LilvWorld* world = lilv_world_new();
    lilv_world_load_all(world);
    std::string bundle = argv[1];
    if (bundle.back() != '/')
        bundle += '/';
    LilvNode* bundleUri = lilv_new_file_uri(world, nullptr, bundle.c_str());
    lilv_world_load_bundle(world, bundleUri);
    {
        LilvNode* uri = lilv_new_uri(world, bivarroUri);
        const LilvPlugin* plugin = lilv_plugins_get_by_uri(lilv_world_get_all_plugins(world), uri);
        lilv_node_free(uri);
        const std::string library = plugin != nullptr ? lilv_node_as_uri(lilv_plugin_get_library_uri(plugin)) : "";
        const std::string inBundle = lilv_node_as_uri(bundleUri);
        if (library.compare(0, inBundle.size(), inBundle) != 0)
        {
            std::fprintf(stderr, "Bivarro would load from %s, not from %s: leave that copy off LV2_PATH\n",
                         library.empty() ? "nowhere" : library.c_str(), bundle.c_str());
            lilv_node_free(bundleUri);
            lilv_world_free(world);
            return 1;
        }
    }
    lilv_node_free(bundleUri);

    UridMap urids;
    HostFeatures features(urids);
    Bench bench(world, urids, features);

    const char* const defaults = "Bivarro, defaults";
    const char* const active = "Bivarro, all stages active";
    const char* const balance = "x42 Stereo Balance";
    const char* const stereoTools = "Calf Stereo Tools";
    const char* const ampFloor = "eg-amp, one per channel (floor)";
    std::vector<Row> rows = {{defaults, bivarroUri, {}},
                             {active, bivarroUri, BivarroBenchSettings::allActive},
                             {balance, x42BalanceUri, {}},
                             {stereoTools, calfStereoToolsUri, {}},
                             {ampFloor, ampUri, {}, 2}};

    if (argc > 4)
        std::erase_if(rows, [filter = std::string(argv[4])](const Row& row)
                      { return row.name.find(filter) == std::string::npos; });

    std::vector<std::vector<std::unique_ptr<Instance>>> instances;
    for (const auto& row : rows)
    {
        instances.push_back(bench.open(row));
        if (instances.back().empty())
            std::printf("missing: %s (%s), left out\n", row.name.c_str(), row.uri);
    }

    std::printf(
        "%g Hz stereo noise, %d repetitions of %.2f s of CPU time per row and block; ns per stereo frame, median "
        "[min .. max]\n\n",
        sampleRate, repetitions, seconds);

    std::vector<std::vector<Spread>> results(rows.size());
    for (int block : blockSizes)
    {
        // Repetitions go round the rows, so a burst of load elsewhere hits them alike.
        std::vector<std::vector<double>> samples(rows.size());
        for (int r = 0; r < repetitions; ++r)
            for (size_t i = 0; i < rows.size(); ++i)
                if (!instances[i].empty())
                    samples[i].push_back(bench.time(instances[i], block, seconds));

        std::printf("block %d\n", block);
        for (size_t i = 0; i < rows.size(); ++i)
        {
            if (samples[i].empty())
            {
                results[i].push_back({NAN, NAN, NAN});
                continue;
            }
            const auto s = spread(samples[i]);
            results[i].push_back(s);
            std::printf("  %-34s %7.2f ns  [%.2f .. %.2f]\n", rows[i].name.c_str(), s.median, s.low, s.high);
        }

        // Ratios of medians, with the range the repetitions allow (per-repetition ratios).
        auto ratio = [&](const char* first, const char* second, const char* label)
        {
            auto find = [&](const char* name)
            {
                return static_cast<size_t>(
                    std::find_if(rows.begin(), rows.end(), [name](const Row& row) { return row.name == name; }) -
                    rows.begin());
            };
            const size_t a = find(first), b = find(second);
            if (a == rows.size() || b == rows.size() || samples[a].empty() || samples[b].empty())
                return;
            std::vector<double> q;
            for (size_t r = 0; r < samples[a].size(); ++r)
                q.push_back(samples[a][r] / samples[b][r]);
            const auto s = spread(q);
            std::printf("  %-46s %5.2fx  [%.2f .. %.2f]\n", label, s.median, s.low, s.high);
        };
        ratio(defaults, balance, "Bivarro defaults / x42 Stereo Balance");
        ratio(active, stereoTools, "Bivarro all active / Calf Stereo Tools");
        ratio(defaults, ampFloor, "Bivarro defaults / floor");
        std::printf("\n");
    }

    instances.clear();
    lilv_world_free(world);
    return 0;
}
