// Drives Bivarro's LV2 bundle as an LV2 host does, through the reference loader rather than JUCE's
// hosting: the parameters are control ports the host writes, and the editor, given access to the
// instance, writes every change the plug-in made back to those ports.
#include "Lv2Rig.h"

#include <gtest/gtest.h>

#include <lv2/instance-access/instance-access.h>
#include <lv2/ui/ui.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <dlfcn.h>

#include <chrono>
#include <thread>
#include <vector>

namespace
{
constexpr const char* kUri = "urn:orlintz:bivarro";

struct UiWrite
{
    uint32_t port;
    float value;
};

class BivarroLv2Ports : public ::testing::Test
{
protected:
    BivarroLv2Ports() : rig(ORZ_BIVARRO_LV2, kUri) {}

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
