// The LV2 UI in a small UI host on a real X server (Xvfb): found through lilv, embedded in the
// host's window, driven by the host's idle calls; port events move the controls (pixels compared
// with the editor rendered headless), clicks and drags reach the host's write function inside the
// host's touch calls, and closing leaves nothing behind.
//   lv2_ui_test LV2_PATH
#include "editor/BleepifierEditor.h"
#include "gui/CFrame.h"
#include "gui/platform/soft/SoftPlatform.h"
#include "lv2/Lv2Ports.h"
#include "plugin/Bleepifier.h"

// Before the X11 headers, whose macros clash with its names.
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <dirent.h>
#include <dlfcn.h>
#include <lilv/lilv.h>
#include <lv2/ui/ui.h>

#include "tests/support/XWindowPixels.h"
#include "tests/support/TestMain.h"

#include <atomic>
#include <chrono>
#include <cmath>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace tanuvo::sound;
using Clock = std::chrono::steady_clock;
namespace soft = tanuvo::gui::platform::soft;

std::string gLv2Path;
constexpr int kWidth = 240;
constexpr int kHeight = 320;

// The UI's calls into the host, writes and touches, in their order.
struct HostCall {
    enum Kind { kWrite, kGrab, kRelease } kind;
    uint32_t port;
    float value;
};
std::vector<HostCall> gCalls;

void recordWrite(LV2UI_Controller, uint32_t port, uint32_t size, uint32_t format,
                 const void* buffer) {
    ASSERT_EQ(format, 0u);
    ASSERT_EQ(size, sizeof(float));
    gCalls.push_back({HostCall::kWrite, port, *static_cast<const float*>(buffer)});
}

void recordTouch(LV2UI_Feature_Handle handle, uint32_t port, bool grabbed) {
    EXPECT_EQ(handle, &gCalls);
    gCalls.push_back({grabbed ? HostCall::kGrab : HostCall::kRelease, port, 0.0f});
}

// The calls' kinds and ports, as "grab 6", "write 6", "release 6".
std::vector<std::string> callShape() {
    static const char* const kNames[] = {"write ", "grab ", "release "};
    std::vector<std::string> out;
    for (const HostCall& call : gCalls)
        out.push_back(kNames[call.kind] + std::to_string(call.port));
    return out;
}
// A gesture on one port: grab, that many writes, release.
std::vector<std::string> gesture(uint32_t port, std::size_t writes = 1) {
    std::vector<std::string> out(writes + 2, "write " + std::to_string(port));
    out.front() = "grab " + std::to_string(port);
    out.back() = "release " + std::to_string(port);
    return out;
}

std::vector<HostCall> writes() {
    std::vector<HostCall> out;
    for (const HostCall& call : gCalls)
        if (call.kind == HostCall::kWrite)
            out.push_back(call);
    return out;
}

struct Size {
    int width = 0, height = 0;
};
int recordResize(LV2UI_Feature_Handle handle, int width, int height) {
    *static_cast<Size*>(handle) = {width, height};
    return 0;
}

void sleepMs(int ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

int openFiles() {
    int count = 0;
    if (DIR* dir = opendir("/proc/self/fd")) {
        while (readdir(dir)) {
            ++count;
        }
        closedir(dir);
    }
    return count;
}

// The UI binary the bundle names for the plug-in, as a host finds it.
std::string uiBinaryPath() {
    LilvWorld* world = lilv_world_new();
    LilvNode* path = lilv_new_string(world, gLv2Path.c_str());
    lilv_world_set_option(world, LILV_OPTION_LV2_PATH, path);
    lilv_node_free(path);
    lilv_world_load_all(world);
    LilvNode* uri = lilv_new_uri(world, lv2::kPluginUri);
    LilvNode* x11 = lilv_new_uri(world, LV2_UI__X11UI);
    std::string binary;
    const LilvPlugin* plugin = lilv_plugins_get_by_uri(lilv_world_get_all_plugins(world), uri);
    LilvUIs* uis = plugin ? lilv_plugin_get_uis(plugin) : nullptr;
    LILV_FOREACH(uis, i, uis) {
        const LilvUI* ui = lilv_uis_get(uis, i);
        if (lilv_ui_is_a(ui, x11) &&
            std::string(lilv_node_as_uri(lilv_ui_get_uri(ui))) == lv2::kUiUri) {
            char* file = lilv_file_uri_parse(lilv_node_as_uri(lilv_ui_get_binary_uri(ui)), nullptr);
            binary = file;
            lilv_free(file);
        }
    }
    // Hosts offer the touch feature to the UIs that list it (the plug-in's data is loaded now).
    LilvNode* uiUri = lilv_new_uri(world, lv2::kUiUri);
    LilvNode* optional = lilv_new_uri(world, LV2_CORE__optionalFeature);
    LilvNode* touch = lilv_new_uri(world, LV2_UI__touch);
    EXPECT_TRUE(lilv_world_ask(world, uiUri, optional, touch));
    lilv_node_free(touch);
    lilv_node_free(optional);
    lilv_node_free(uiUri);
    lilv_uis_free(uis);
    lilv_node_free(x11);
    lilv_node_free(uri);
    lilv_world_free(world);
    return binary;
}

class Lv2UiTest : public ::testing::Test {
  protected:
    void SetUp() override {
        display = XOpenDisplay(nullptr);
        if (!display)
            GTEST_SKIP() << "no X server";
        int event = 0, error = 0, major = 0, minor = 0;
        if (!XTestQueryExtension(display, &event, &error, &major, &minor))
            GTEST_SKIP() << "no XTest extension";
        const std::string binary = uiBinaryPath();
        ASSERT_FALSE(binary.empty()) << "no X11 UI in " << gLv2Path;
        library = dlopen(binary.c_str(), RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(library, nullptr) << dlerror();
        auto entry = reinterpret_cast<LV2UI_DescriptorFunction>(dlsym(library, "lv2ui_descriptor"));
        ASSERT_NE(entry, nullptr);
        descriptor = entry(0);
        ASSERT_NE(descriptor, nullptr);
        EXPECT_STREQ(descriptor->URI, lv2::kUiUri);
        idleInterface = static_cast<const LV2UI_Idle_Interface*>(
            descriptor->extension_data(LV2_UI__idleInterface));
        ASSERT_NE(idleInterface, nullptr);

        XSetWindowAttributes a{};
        a.event_mask = StructureNotifyMask;
        top = XCreateWindow(display, DefaultRootWindow(display), 31, 17, kWidth + 20, kHeight + 20,
                            0, CopyFromParent, InputOutput, CopyFromParent, CWEventMask, &a);
        XMapWindow(display, top);
        XEvent e;
        do
            XNextEvent(display, &e);
        while (e.type != MapNotify);
        XSync(display, False);
        gCalls.clear();

        referenceHost = soft::createHostWindow(kWidth, kHeight);
        reference = new vst::Bleepifier(nullptr);
        referenceEditor = new vst::BleepifierEditor(reference);  // owned by the plug-in
        ASSERT_TRUE(referenceEditor->open(referenceHost));
    }

    void TearDown() override {
        closeUi();
        delete reference;
        if (referenceHost)
            soft::destroyHostWindow(referenceHost);
        if (library)
            dlclose(library);
        if (display) {
            if (top)
                XDestroyWindow(display, top);
            XCloseDisplay(display);
        }
    }

    void openUi(bool offerTouch = true) {
        LV2_Feature parent{LV2_UI__parent, reinterpret_cast<void*>(std::uintptr_t(top))};
        LV2_Feature idleFeature{LV2_UI__idleInterface, nullptr};
        LV2UI_Resize resize{&size, recordResize};
        LV2_Feature resizeFeature{LV2_UI__resize, &resize};
        // Cleared once instantiated: the UI keeps what it needs of it.
        LV2UI_Touch touch{&gCalls, recordTouch};
        LV2_Feature touchFeature{LV2_UI__touch, &touch};
        const LV2_Feature* features[] = {&parent, &idleFeature, &resizeFeature,
                                         offerTouch ? &touchFeature : nullptr, nullptr};
        ui = descriptor->instantiate(descriptor, lv2::kPluginUri, "", recordWrite, this, &widget,
                                     features);
        touch = {nullptr, nullptr};
        ASSERT_NE(ui, nullptr);
        idle(200);
    }
    void closeUi() {
        if (ui)
            descriptor->cleanup(ui);
        ui = nullptr;
    }
    void idle(int ms) {
        const auto end = Clock::now() + std::chrono::milliseconds(ms);
        do {
            idleInterface->idle(ui);
            sleepMs(10);
        } while (Clock::now() < end);
    }
    // The user's hand, on a connection of its own, while the host keeps idling.
    void userActs(const std::function<void(Display*)>& act) {
        std::atomic<bool> done{false};
        std::thread user([&] {
            Display* own = XOpenDisplay(nullptr);
            act(own);
            XSync(own, False);
            XCloseDisplay(own);
            done = true;
        });
        const auto limit = Clock::now() + std::chrono::seconds(10);
        while (!done && Clock::now() < limit) {
            idleInterface->idle(ui);
            sleepMs(10);
        }
        user.join();
        idle(250);
    }
    // A point of a control of the editor on the screen, from the control's centre.
    std::pair<int, int> onScreen(const tanuvo::gui::CControl* control, int dx = 0, int dy = 0) {
        const tanuvo::gui::CRect r = control->getViewSize();
        int x = 0, y = 0;
        ::Window child = 0;
        XTranslateCoordinates(display, children().at(0), DefaultRootWindow(display),
                              int(r.left + r.right) / 2 + dx, int(r.top + r.bottom) / 2 + dy, &x,
                              &y, &child);
        return {x, y};
    }
    // Presses on the knob's left, turns it clockwise over its top to its right, and lets go.
    // The user clicks a control, holding the button down for holdMs.
    void click(const tanuvo::gui::CControl* control, int holdMs = 0) {
        const std::pair<int, int> at = onScreen(control);
        userActs([&](Display* own) {
            XTestFakeMotionEvent(own, -1, at.first, at.second, CurrentTime);
            XTestFakeButtonEvent(own, Button1, True, CurrentTime);
            if (holdMs > 0) {
                XSync(own, False);
                sleepMs(holdMs);
            }
            XTestFakeButtonEvent(own, Button1, False, CurrentTime);
        });
    }
    void dragKnob(int32_t tag) {
        std::vector<std::pair<int, int>> path;
        for (int step = 0; step <= 8; ++step) {
            const double angle = M_PI * (1.0 - step / 8.0);  // from the left over the top
            path.push_back(onScreen(referenceEditor->controlForTag(tag),
                                    int(std::lround(10 * std::cos(angle))),
                                    -int(std::lround(10 * std::sin(angle)))));
        }
        userActs([&](Display* own) {
            XTestFakeMotionEvent(own, -1, path[0].first, path[0].second, CurrentTime);
            XTestFakeButtonEvent(own, Button1, True, CurrentTime);
            XSync(own, False);
            for (const auto& [x, y] : path) {
                sleepMs(60);
                XTestFakeMotionEvent(own, -1, x, y, CurrentTime);
                XSync(own, False);
            }
            sleepMs(60);
            XTestFakeButtonEvent(own, Button1, False, CurrentTime);
        });
    }

    void portEvent(int32_t parameter, float value) {
        descriptor->port_event(ui, lv2::controlPort(parameter), sizeof(float), 0, &value);
    }

    std::vector<::Window> children() const {
        ::Window root = 0, parent = 0, *list = nullptr;
        unsigned count = 0;
        std::vector<::Window> out;
        if (XQueryTree(display, top, &root, &parent, &list, &count))
            out.assign(list, list + count);
        if (list)
            XFree(list);
        return out;
    }

    // The UI window's pixels as red | green << 8 | blue << 16.
    std::vector<std::uint32_t> shownPixels() const {
        const std::vector<::Window> shown = children();
        return shown.size() == 1 ? tanuvo::sound::testing::windowPixels(display, shown[0])
                                 : std::vector<std::uint32_t>();
    }

    // The editor rendered headless with the plug-in core set to the given normalised values.
    std::vector<std::uint32_t> headlessPixels(const std::vector<std::pair<int32_t, float>>& set) {
        for (const auto& [index, value] : set)
            reference->setParameter(index, value);
        referenceEditor->idle();
        soft::paintWindow(referenceEditor->getFrame()->getPlatformWindow());
        int w = 0, h = 0;
        const std::vector<std::uint8_t> rgba =
            soft::windowPixels(referenceEditor->getFrame()->getPlatformWindow(), &w, &h);
        return tanuvo::sound::testing::packedPixels(rgba);
    }

    int differingPixels(const std::vector<std::uint32_t>& a, const std::vector<std::uint32_t>& b) {
        EXPECT_EQ(a.size(), std::size_t(kWidth * kHeight));
        EXPECT_EQ(a.size(), b.size());
        int differing = 0;
        for (std::size_t i = 0; i < std::min(a.size(), b.size()); ++i)
            differing += a[i] != b[i];
        return differing;
    }

    Display* display = nullptr;
    ::Window top = 0;
    void* library = nullptr;
    const LV2UI_Descriptor* descriptor = nullptr;
    const LV2UI_Idle_Interface* idleInterface = nullptr;
    LV2UI_Handle ui = nullptr;
    LV2UI_Widget widget = nullptr;
    Size size;
    void* referenceHost = nullptr;
    vst::Bleepifier* reference = nullptr;
    vst::BleepifierEditor* referenceEditor = nullptr;
};

TEST_F(Lv2UiTest, OpensTheEditorInTheHostsWindowAndPortEventsMoveTheRightControls) {
    openUi();
    ASSERT_EQ(children().size(), 1u);
    EXPECT_EQ(std::uintptr_t(widget), std::uintptr_t(children()[0]));
    EXPECT_EQ(size.width, kWidth);
    EXPECT_EQ(size.height, kHeight);
    EXPECT_EQ(differingPixels(shownPixels(), headlessPixels({})), 0);

    // The square with its knobs, in the ports' units; the reference takes the plug-in's values.
    portEvent(vst::kEffect, 1.0f);
    portEvent(vst::kDutyRatio, 50.0f);
    portEvent(vst::kVolume, 0.3f);
    portEvent(vst::kDepth, 0.8f);
    idle(250);
    const std::vector<std::uint32_t> square = headlessPixels(
        {{vst::kEffect, 0.2f}, {vst::kDutyRatio, 0.5f}, {vst::kVolume, 0.3f}, {vst::kDepth, 0.8f}});
    EXPECT_EQ(differingPixels(shownPixels(), square), 0);
    // Another duty moves only the duty knob.
    portEvent(vst::kDutyRatio, 10.0f);
    idle(250);
    EXPECT_EQ(differingPixels(shownPixels(), headlessPixels({{vst::kDutyRatio, 0.1f}})), 0);
    EXPECT_NE(differingPixels(shownPixels(), square), 0);
    EXPECT_TRUE(gCalls.empty()) << "port events are not the user's edits";
}

TEST_F(Lv2UiTest, AClickOnAControlWritesItsPortInThePortsUnitsInsideATouch) {
    openUi();
    click(referenceEditor->getPowerButton());
    EXPECT_EQ(callShape(), gesture(lv2::controlPort(vst::kPower)));
    ASSERT_EQ(writes().size(), 1u);
    EXPECT_EQ(writes()[0].value, 0.0f);  // on by default, so the click turns it off
}

// Touch automation records from the grab to the release: one touch around all of a drag's writes,
// and without the host's touch feature the writes alone.
TEST_F(Lv2UiTest, AKnobDragIsOneTouchAroundItsWrites) {
    const uint32_t port = lv2::controlPort(vst::kMix);
    for (const bool offerTouch : {true, false}) {
        SCOPED_TRACE(offerTouch ? "with touch" : "without touch");
        gCalls.clear();
        openUi(offerTouch);
        dragKnob(vst::kMix);
        const std::vector<HostCall> written = writes();
        ASSERT_GE(written.size(), 4u);
        // From the knob's left over its top to its right: most of its travel, clockwise.
        EXPECT_GT(written.back().value - written.front().value, 0.5f);
        for (std::size_t i = 1; i < written.size(); ++i)
            EXPECT_GT(written[i].value, written[i - 1].value) << "write " << i;
        if (offerTouch) {
            EXPECT_EQ(callShape(), gesture(port, written.size()));
        } else {
            EXPECT_EQ(callShape(),
                      std::vector<std::string>(written.size(), "write " + std::to_string(port)));
        }
        closeUi();
    }
}

// The reset returns six parameters to their defaults, each in a touch of its own.
TEST_F(Lv2UiTest, TheResetTouchesEachParameterItResetsAroundItsWrite) {
    openUi();
    click(referenceEditor->getResetButton(), 100);
    std::vector<std::string> once;
    for (int32_t index :
         {vst::kVolume, vst::kDutyRatio, vst::kMix, vst::kDepth, vst::kTone, vst::kSteps}) {
        const std::vector<std::string> one = gesture(lv2::controlPort(index));
        once.insert(once.end(), one.begin(), one.end());
    }
    // The button resets as it goes down and again as it comes up.
    std::vector<std::string> expected = once;
    if (gCalls.size() > once.size())
        expected.insert(expected.end(), once.begin(), once.end());
    EXPECT_EQ(callShape(), expected);
}

TEST_F(Lv2UiTest, ClosingReleasesTheWindowAndTheServerConnection) {
    const int before = openFiles();
    for (int round = 0; round < 2; ++round) {
        openUi();
        EXPECT_EQ(children().size(), 1u);
        closeUi();
        XSync(display, False);
        EXPECT_TRUE(children().empty());
        EXPECT_EQ(openFiles(), before);
    }
}

}  // namespace

int main(int argc, char** argv) {
    return tanuvo::testing::runTestsWithPaths(argc, argv, "LV2_PATH", {&gLv2Path});
}
