// Drives Bivarro's LV2 bundle as an LV2 host does, through the reference loader rather than JUCE's
// hosting: the parameters are control ports the host writes, and the editor, given access to the
// instance, writes every change the plug-in made back to those ports.
#include <gtest/gtest.h>

#include <lilv/lilv.h>
#include <lv2/atom/forge.h>
#include <lv2/buf-size/buf-size.h>
#include <lv2/instance-access/instance-access.h>
#include <lv2/options/options.h>
#include <lv2/patch/patch.h>
#include <lv2/state/state.h>
#include <lv2/ui/ui.h>
#include <lv2/urid/urid.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <dlfcn.h>

#include <chrono>
#include <cmath>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace
{
constexpr double kRate = 48000.0;
constexpr uint32_t kBlock = 512;
constexpr const char* kUri = "urn:orlintz:bivarro";

struct UridMap
{
    std::map<std::string, LV2_URID> ids;
    std::vector<std::string> names;

    LV2_URID map(const char* uri)
    {
        const auto [it, added] = ids.emplace(uri, (LV2_URID)names.size() + 1);
        if (added)
            names.emplace_back(uri);
        return it->second;
    }
};

struct UiWrite
{
    uint32_t port;
    float value;
};

// One plug-in instance with every port connected, the way a host runs it.
class Lv2Rig
{
public:
    Lv2Rig()
    {
        world = lilv_world_new();
        auto* bundle = lilv_new_file_uri(world, nullptr, (std::string(ORZ_BIVARRO_LV2) + "/").c_str());
        lilv_world_load_bundle(world, bundle);
        lilv_node_free(bundle);
        auto* uri = lilv_new_uri(world, kUri);
        plugin = lilv_plugins_get_by_uri(lilv_world_get_all_plugins(world), uri);
        lilv_node_free(uri);
        if (plugin == nullptr)
            return;

        mapFeature = {&urids, [](LV2_URID_Map_Handle h, const char* u) { return static_cast<UridMap*>(h)->map(u); }};
        options[0] = {LV2_OPTIONS_INSTANCE,     0,        urids.map(LV2_BUF_SIZE__maxBlockLength), sizeof(int32_t),
                      urids.map(LV2_ATOM__Int), &maxBlock};
        options[1] = {LV2_OPTIONS_INSTANCE, 0, 0, 0, 0, nullptr};
        features[0] = {LV2_URID__map, &mapFeature};
        features[1] = {LV2_OPTIONS__options, options};
        features[2] = {LV2_BUF_SIZE__boundedBlockLength, nullptr};
        const LV2_Feature* list[] = {&features[0], &features[1], &features[2], nullptr};

        instance = lilv_plugin_instantiate(plugin, kRate, list);
        if (instance == nullptr)
            return;

        const auto n = lilv_plugin_get_num_ports(plugin);
        controls.assign(n, 0.0f);
        audio.assign(n, std::vector<float>(kBlock, 0.0f));
        atoms.assign(n, std::vector<uint64_t>(8192, 0));
        auto* controlClass = lilv_new_uri(world, LV2_CORE__ControlPort);
        auto* audioClass = lilv_new_uri(world, LV2_CORE__AudioPort);
        auto* inputClass = lilv_new_uri(world, LV2_CORE__InputPort);
        for (uint32_t i = 0; i < n; ++i)
        {
            const auto* port = lilv_plugin_get_port_by_index(plugin, i);
            if (lilv_port_is_a(plugin, port, controlClass))
            {
                LilvNode* def = nullptr;
                lilv_port_get_range(plugin, port, &def, nullptr, nullptr);
                controls[i] = def != nullptr ? lilv_node_as_float(def) : 0.0f;
                lilv_node_free(def);
                lilv_instance_connect_port(instance, i, &controls[i]);
            }
            else if (lilv_port_is_a(plugin, port, audioClass))
            {
                lilv_instance_connect_port(instance, i, audio[i].data());
                (lilv_port_is_a(plugin, port, inputClass) ? audioIn : audioOut).push_back(i);
            }
            else
            {
                lilv_instance_connect_port(instance, i, atoms[i].data());
                if (lilv_port_is_a(plugin, port, inputClass))
                    atomIn = i;
                else
                    atomOut = i;
            }
        }
        lilv_node_free(controlClass);
        lilv_node_free(audioClass);
        lilv_node_free(inputClass);
        clearInput();
        lilv_instance_activate(instance);
    }

    ~Lv2Rig()
    {
        if (instance != nullptr)
        {
            lilv_instance_deactivate(instance);
            lilv_instance_free(instance);
        }
        lilv_world_free(world);
    }

    bool ready() const { return instance != nullptr && audioIn.size() == 2 && audioOut.size() == 2; }

    uint32_t port(const char* symbol) const
    {
        auto* node = lilv_new_string(world, symbol);
        const auto* p = lilv_plugin_get_port_by_symbol(plugin, node);
        lilv_node_free(node);
        return p != nullptr ? lilv_port_get_index(plugin, p) : UINT32_MAX;
    }

    float& control(const char* symbol) { return controls.at(port(symbol)); }
    float& controlAt(uint32_t index) { return controls.at(index); }

    // A patch message on the control input, as a host that knows the properties sends one.
    void sendPatchSet(const char* parameterId, float value)
    {
        LV2_Atom_Forge forge;
        lv2_atom_forge_init(&forge, &mapFeature);
        lv2_atom_forge_set_buffer(&forge, (uint8_t*)atoms[atomIn].data(), atoms[atomIn].size() * sizeof(uint64_t));
        LV2_Atom_Forge_Frame seq;
        lv2_atom_forge_sequence_head(&forge, &seq, 0);
        lv2_atom_forge_frame_time(&forge, 0);
        LV2_Atom_Forge_Frame obj;
        lv2_atom_forge_object(&forge, &obj, 0, urids.map(LV2_PATCH__Set));
        lv2_atom_forge_key(&forge, urids.map(LV2_PATCH__property));
        lv2_atom_forge_urid(&forge, urids.map((std::string(kUri) + ":" + parameterId).c_str()));
        lv2_atom_forge_key(&forge, urids.map(LV2_PATCH__value));
        lv2_atom_forge_float(&forge, value);
        lv2_atom_forge_pop(&forge, &obj);
        lv2_atom_forge_pop(&forge, &seq);
        run(1);
        clearInput();
    }

    // Runs the given number of blocks of a steady input and returns the last block's output/input
    // ratio of each channel.
    std::pair<float, float> gains(int blocks)
    {
        for (auto i : audioIn)
            std::fill(audio[i].begin(), audio[i].end(), 0.25f);
        run(blocks);
        return {audio[audioOut[0]].back() / 0.25f, audio[audioOut[1]].back() / 0.25f};
    }

    void run(int blocks)
    {
        for (int b = 0; b < blocks; ++b)
        {
            auto* out = reinterpret_cast<LV2_Atom_Sequence*>(atoms[atomOut].data());
            out->atom.type = urids.map(LV2_ATOM__Chunk);
            out->atom.size = (uint32_t)(atoms[atomOut].size() * sizeof(uint64_t) - sizeof(LV2_Atom));
            lilv_instance_run(instance, kBlock);
            if (b == 0)
                clearInput();
        }
    }

    LilvState* saveState()
    {
        return lilv_state_new_from_instance(plugin, instance, &mapFeature, nullptr, nullptr, nullptr, nullptr, nullptr,
                                            nullptr, 0, nullptr);
    }

    // Restores the plug-in's own state and leaves the ports as they are, as a host that keeps its
    // port values apart does.
    void restore(LilvState* state) { lilv_state_restore(state, instance, nullptr, nullptr, 0, nullptr); }

    LilvWorld* world = nullptr;
    const LilvPlugin* plugin = nullptr;
    LilvInstance* instance = nullptr;
    UridMap urids;
    LV2_URID_Map mapFeature{};

private:
    void clearInput()
    {
        auto* in = reinterpret_cast<LV2_Atom_Sequence*>(atoms[atomIn].data());
        in->atom.type = urids.map(LV2_ATOM__Sequence);
        in->atom.size = sizeof(LV2_Atom_Sequence_Body);
        in->body = {0, 0};
    }

    int32_t maxBlock = (int32_t)kBlock;
    LV2_Options_Option options[2]{};
    LV2_Feature features[3]{};
    std::vector<float> controls;
    std::vector<std::vector<float>> audio;
    std::vector<std::vector<uint64_t>> atoms;
    std::vector<uint32_t> audioIn, audioOut;
    uint32_t atomIn = 0, atomOut = 0;
};

class BivarroLv2Ports : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!rig.ready())
            GTEST_FAIL() << "Bivarro's LV2 bundle did not load through lilv";
    }

    Lv2Rig rig;
};

constexpr float kSixDb = 6.0206f; // twice the amplitude

TEST_F(BivarroLv2Ports, EveryParameterHasAControlPortWithItsDefault)
{
    // Hosts that show only ports read these; a port missing or at 0 was what they showed.
    const struct
    {
        const char* symbol;
        float defaultValue;
    } cases[] = {{"gainL", 0.0f}, {"panL", 0.0f}, {"width", 100.0f}, {"apFcL", 1000.0f},
                 {"apQR", 1.0f},  {"mono", 0.0f}, {"bypass", 0.0f},  {"monoMakerFreq", 10.0f}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.symbol);
        ASSERT_NE(rig.port(c.symbol), UINT32_MAX);
        EXPECT_FLOAT_EQ(rig.control(c.symbol), c.defaultValue);
    }
}

TEST_F(BivarroLv2Ports, HostPortMovesItsParameter)
{
    rig.control("gainL") = kSixDb;
    const auto [left, right] = rig.gains(100);
    EXPECT_NEAR(left, 2.0f, 0.01f);
    EXPECT_NEAR(right, 1.0f, 0.01f);
}

TEST_F(BivarroLv2Ports, ParameterSetElsewhereIsNotUndoneByAPortThatDidNotChange)
{
    // A patch message and a restored state both move the parameter while the port keeps its value.
    rig.sendPatchSet("gainL", kSixDb);
    EXPECT_NEAR(rig.gains(100).first, 2.0f, 0.01f);

    auto* saved = rig.saveState();
    ASSERT_NE(saved, nullptr);
    rig.sendPatchSet("gainL", 0.0f);
    EXPECT_NEAR(rig.gains(100).first, 1.0f, 0.01f);
    rig.restore(saved);
    EXPECT_NEAR(rig.gains(100).first, 2.0f, 0.01f);
    lilv_state_free(saved);

    // The port still moves it once the host changes the port.
    rig.control("gainL") = -kSixDb;
    EXPECT_NEAR(rig.gains(100).first, 0.5f, 0.01f);
}

// The editor's side: the UI binary loaded next to the instance, embedded in a bare X window.
class BivarroLv2EditorPorts : public BivarroLv2Ports
{
protected:
    void SetUp() override
    {
        BivarroLv2Ports::SetUp();
        display = XOpenDisplay(nullptr);
        ASSERT_NE(display, nullptr) << "the editor needs an X display";
        parent = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 760, 1010, 0, 0, 0);
        XMapWindow(display, parent);
        XFlush(display);

        const auto* uis = lilv_plugin_get_uis(rig.plugin);
        const auto* ui = lilv_uis_get(uis, lilv_uis_begin(uis));
        ASSERT_NE(ui, nullptr);
        auto* path = lilv_file_uri_parse(lilv_node_as_uri(lilv_ui_get_binary_uri(ui)), nullptr);
        auto* bundle = lilv_file_uri_parse(lilv_node_as_uri(lilv_ui_get_bundle_uri(ui)), nullptr);
        library = dlopen(path, RTLD_NOW);
        lilv_free(path);
        ASSERT_NE(library, nullptr);
        const auto entry = reinterpret_cast<LV2UI_DescriptorFunction>(dlsym(library, "lv2ui_descriptor"));
        ASSERT_NE(entry, nullptr);
        descriptor = entry(0);
        ASSERT_NE(descriptor, nullptr);

        touchFeature = {this, [](LV2UI_Feature_Handle h, uint32_t port, bool grabbed) {
                            static_cast<BivarroLv2EditorPorts*>(h)->touches.push_back({port, grabbed ? 1.0f : 0.0f});
                        }};
        LV2_Feature map{LV2_URID__map, &rig.mapFeature};
        LV2_Feature access{LV2_INSTANCE_ACCESS_URI, lilv_instance_get_handle(rig.instance)};
        LV2_Feature parentFeature{LV2_UI__parent, (void*)parent};
        LV2_Feature touch{LV2_UI__touch, &touchFeature};
        const LV2_Feature* features[] = {&map, &access, &parentFeature, &touch, nullptr};
        handle = descriptor->instantiate(
            descriptor, kUri, bundle,
            [](LV2UI_Controller c, uint32_t port, uint32_t size, uint32_t protocol, const void* data)
            {
                if (protocol == 0 && size == sizeof(float))
                    static_cast<BivarroLv2EditorPorts*>(c)->writes.push_back({port, *static_cast<const float*>(data)});
            },
            this, &widget, features);
        lilv_free(bundle);
        ASSERT_NE(handle, nullptr);
        idle = static_cast<const LV2UI_Idle_Interface*>(descriptor->extension_data(LV2_UI__idleInterface));
    }

    void TearDown() override
    {
        if (handle != nullptr)
            descriptor->cleanup(handle);
        if (library != nullptr)
            dlclose(library);
        if (display != nullptr)
        {
            XDestroyWindow(display, parent);
            XCloseDisplay(display);
        }
    }

    // Gives the editor's event loop the host's idle calls for a while.
    void idleFor(std::chrono::milliseconds time)
    {
        const auto end = std::chrono::steady_clock::now() + time;
        while (std::chrono::steady_clock::now() < end)
        {
            if (idle != nullptr)
                idle->idle(handle);
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    }

    // The host hands every write to the port and tells the editor, as hosts do.
    void deliverWrites()
    {
        for (const auto& w : writes)
        {
            rig.controlAt(w.port) = w.value;
            descriptor->port_event(handle, w.port, sizeof(float), 0, &w.value);
        }
    }

    std::vector<UiWrite> writesTo(uint32_t port) const
    {
        std::vector<UiWrite> result;
        for (const auto& w : writes)
            if (w.port == port)
                result.push_back(w);
        return result;
    }

    Display* display = nullptr;
    Window parent = 0;
    LV2UI_Widget widget = nullptr;
    void* library = nullptr;
    const LV2UI_Descriptor* descriptor = nullptr;
    LV2UI_Handle handle = nullptr;
    const LV2UI_Idle_Interface* idle = nullptr;
    LV2UI_Touch touchFeature{};
    std::vector<UiWrite> writes, touches;
};

TEST_F(BivarroLv2EditorPorts, ChangesMadeInsideThePlugInReachTheHostsPorts)
{
    idleFor(std::chrono::milliseconds(200));
    EXPECT_TRUE(writes.empty()) << "an editor that opens on the host's values reports nothing";

    rig.sendPatchSet("gainL", 5.0f);
    rig.sendPatchSet("panL", 1.0f);
    idleFor(std::chrono::milliseconds(300));

    const auto gain = writesTo(rig.port("gainL"));
    const auto pan = writesTo(rig.port("panL"));
    ASSERT_EQ(gain.size(), 1u);
    EXPECT_FLOAT_EQ(gain[0].value, 5.0f);
    ASSERT_EQ(pan.size(), 1u);
    EXPECT_FLOAT_EQ(pan[0].value, 1.0f);
    EXPECT_TRUE(writesTo(rig.port("width")).empty());

    // The values coming back through the host's ports change nothing and are not reported again.
    const auto reported = writes.size();
    deliverWrites();
    rig.run(4);
    idleFor(std::chrono::milliseconds(150));
    EXPECT_EQ(writes.size(), reported);
}
} // namespace

namespace
{
unsigned long pixelAt(Display* display, Window window, int x, int y)
{
    XImage* image = XGetImage(display, window, x, y, 1, 1, AllPlanes, ZPixmap);
    if (image == nullptr)
        return 0;
    const auto pixel = XGetPixel(image, 0, 0);
    XDestroyImage(image);
    return pixel & 0xffffff;
}

TEST_F(BivarroLv2EditorPorts, WindowCarriesTheEditorsLimitsAndIsFilledAtTheHostsSize)
{
    idleFor(std::chrono::milliseconds(200));
    const auto window = (Window)widget;

    // Embedding hosts take these as their own window's limits.
    XSizeHints hints{};
    long supplied = 0;
    ASSERT_NE(XGetWMNormalHints(display, window, &hints, &supplied), 0);
    ASSERT_TRUE((hints.flags & PMinSize) != 0 && (hints.flags & PMaxSize) != 0) << hints.flags;
    EXPECT_EQ(hints.min_width, 300);
    EXPECT_EQ(hints.min_height, 725);
    EXPECT_EQ(hints.max_width, 540);
    EXPECT_EQ(hints.max_height, 1304);

    // A host that sizes the window as it likes: the editor fills it, no unpainted strip beside it.
    XResizeWindow(display, window, 700, 1000);
    XSync(display, False);
    XWindowAttributes attributes{};
    XGetWindowAttributes(display, window, &attributes);
    ASSERT_EQ(attributes.width, 700);
    ASSERT_EQ(attributes.height, 1000);

    // The editor paints on its own message loop: on a busy machine that can take a while, so wait
    // for the paint rather than for a fixed time, and fail only when it never comes.
    const std::pair<int, int> probes[]{{690, 15}, {690, 500}, {650, 990}, {10, 990}};
    const auto allPainted = [&]
    {
        for (const auto [x, y] : probes)
            if (pixelAt(display, window, x, y) == 0u)
                return false;
        return true;
    };
    for (int waited = 0; waited < 10000 && !allPainted(); waited += 100)
        idleFor(std::chrono::milliseconds(100));
    for (const auto [x, y] : probes)
        EXPECT_NE(pixelAt(display, window, x, y), 0u) << "black at " << x << ", " << y;

    ASSERT_NE(XGetWMNormalHints(display, window, &hints, &supplied), 0);
    EXPECT_EQ(hints.min_width, 300) << "the limits hold after a resize";
}
} // namespace
