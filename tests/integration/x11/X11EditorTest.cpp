// The built shared object's editor in a real X server: a host's top-level window, the editor
// opened in it through the dispatcher, the mouse and keyboard driven through the XTest extension,
// the window's pixels read back and compared with the same editor rendered headless.
// Usage: x11_editor_test <path of the plug-in>; run under Xvfb.

#include "PluginLoader.h"
#include "editor/BleepifierEditor.h"
#include "gui/CFrame.h"
#include "gui/COptionMenu.h"
#include "gui/platform/soft/SoftPlatform.h"
#include "plugin/Bleepifier.h"

// Before the X11 headers, whose macros clash with its names.
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/Xfixes.h>
#include <X11/keysym.h>

#include "tests/support/Hosts.h"
#include "tests/support/XWindowPixels.h"
#include "tests/support/TestMain.h"

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace tanuvo::sound::vst;
using Clock = std::chrono::steady_clock;
namespace soft = tanuvo::gui::platform::soft;

std::string gPluginPath;

constexpr int kEditorWidth = 240;
constexpr int kEditorHeight = 320;
constexpr int kHostX = 37;  // the host's window is not at the screen's origin
constexpr int kHostY = 23;
constexpr int kPopupItemHeight = 20;

using tanuvo::sound::vst::testing::HostCall;
using tanuvo::sound::vst::testing::HostCalls;
using tanuvo::sound::vst::testing::recordingHost;

std::vector<HostCall> calls() {
    return HostCalls::heard().copy();
}

void sleepMs(int ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

// The test's own connections; a loaded server may turn one away for a moment.
Display* openDisplay() {
    for (int attempt = 0; attempt < 40; ++attempt) {
        if (Display* display = XOpenDisplay(nullptr))
            return display;
        if (!std::getenv("DISPLAY"))
            break;
        sleepMs(50);
    }
    return nullptr;
}

struct Geometry {
    int x = 0, y = 0, width = 0, height = 0;
};

// Input as a user gives it, from a connection of its own so it can act while the editor is
// inside a tracking loop or a pop-up menu.
class User {
  public:
    User() : display(openDisplay()) {}
    ~User() {
        if (display)
            XCloseDisplay(display);
    }
    void moveTo(int x, int y) {
        XTestFakeMotionEvent(display, -1, x, y, CurrentTime);
        XSync(display, False);
    }
    void button(unsigned b, bool down) {
        XTestFakeButtonEvent(display, b, down ? True : False, CurrentTime);
        XSync(display, False);
    }
    void click(int x, int y, unsigned b = Button1) {
        moveTo(x, y);
        button(b, true);
        button(b, false);
    }
    void key(KeySym symbol) {
        const KeyCode code = XKeysymToKeycode(display, symbol);
        XTestFakeKeyEvent(display, code, True, CurrentTime);
        XTestFakeKeyEvent(display, code, False, CurrentTime);
        XSync(display, False);
    }
    // The topmost mapped override-redirect window (a pop-up menu), waiting up to the timeout.
    bool waitForPopup(Geometry* out, int timeoutMs = 5000) {
        const auto end = Clock::now() + std::chrono::milliseconds(timeoutMs);
        while (Clock::now() < end) {
            if (findPopup(out))
                return true;
            sleepMs(20);
        }
        return false;
    }
    bool findPopup(Geometry* out) {
        ::Window root = 0, parent = 0, *children = nullptr;
        unsigned count = 0;
        bool found = false;
        if (!XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count))
            return false;
        // The topmost one: an open sub-menu lies above its menu.
        for (unsigned i = count; i-- > 0 && !found;) {
            XWindowAttributes a;
            if (XGetWindowAttributes(display, children[i], &a) && a.override_redirect &&
                a.map_state == IsViewable) {
                *out = {a.x, a.y, a.width, a.height};
                found = true;
            }
        }
        if (children)
            XFree(children);
        return found;
    }

    Display* display;
};

// The host keeps idling while the user acts from another thread (the editor may be inside a
// tracking loop or a pop-up menu meanwhile).
void idleWhileActing(const std::function<void()>& idleOnce, const std::function<void(User&)>& act) {
    std::atomic<bool> done{false};
    std::thread user([&] {
        User u;
        act(u);
        done = true;
    });
    const auto limit = Clock::now() + std::chrono::seconds(20);
    while (!done && Clock::now() < limit) {
        idleOnce();
        sleepMs(10);
    }
    user.join();
}

class X11EditorTest : public ::testing::Test {
  protected:
    void SetUp() override {
        display = openDisplay();
        if (!display)
            GTEST_SKIP() << "no X server";
        int event = 0, error = 0, major = 0, minor = 0;
        if (!XTestQueryExtension(display, &event, &error, &major, &minor))
            GTEST_SKIP() << "no XTest extension";
        { HostCalls::heard().clear(); }
        top = makeHostWindow();
        library = std::make_unique<PluginLoader>(gPluginPath);
        ASSERT_TRUE(library->loaded()) << library->error();
        VstPluginMainProc entry = library->entry("VSTPluginMain");
        ASSERT_NE(entry, nullptr);
        effect = entry(recordingHost);
        ASSERT_NE(effect, nullptr);
        dispatch(effSetSampleRate, 0, 0, nullptr, 44100.0f);
        dispatch(effSetBlockSize, 0, 512);
        dispatch(effMainsChanged, 0, 1);

        soft::resetInput();
        referenceHost = soft::createHostWindow(kEditorWidth, kEditorHeight);
        reference = new Bleepifier(recordingHost);
        referenceEditor = new BleepifierEditor(reference);  // owned by the plug-in
        ASSERT_TRUE(referenceEditor->open(referenceHost));
        soft::paintWindow(referenceEditor->getFrame()->getPlatformWindow());
    }

    void TearDown() override {
        if (effect) {
            dispatch(effEditClose);
            dispatch(effClose);
        }
        delete reference;
        if (referenceHost)
            soft::destroyHostWindow(referenceHost);
        library.reset();
        if (display) {
            if (top)
                XDestroyWindow(display, top);
            XCloseDisplay(display);
        }
    }

    ::Window makeHostWindow() {
        XSetWindowAttributes a{};
        a.background_pixel = BlackPixel(display, DefaultScreen(display));
        a.event_mask = StructureNotifyMask;
        ::Window w = XCreateWindow(display, DefaultRootWindow(display), kHostX, kHostY,
                                   kEditorWidth + 20, kEditorHeight + 20, 0, CopyFromParent,
                                   InputOutput, CopyFromParent, CWBackPixel | CWEventMask, &a);
        XMapWindow(display, w);
        XEvent e;
        do
            XNextEvent(display, &e);
        while (e.type != MapNotify);
        XSync(display, False);
        return w;
    }

    intptr_t dispatch(int32_t opcode, int32_t index = 0, intptr_t value = 0, void* ptr = nullptr,
                      float opt = 0.0f) {
        return effect->dispatcher(effect, opcode, index, value, ptr, opt);
    }
    bool openEditor(::Window parent) {
        return dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(std::uintptr_t(parent))) == 1;
    }
    // The host's idle calls for a while.
    void idle(int ms = 250) {
        const auto end = Clock::now() + std::chrono::milliseconds(ms);
        do {
            dispatch(effEditIdle);
            sleepMs(10);
        } while (Clock::now() < end);
    }
    void idleWhile(const std::function<void(User&)>& act) {
        idleWhileActing([this] { dispatch(effEditIdle); }, act);
        idle(200);
    }

    ::Window editorWindow() const {
        ::Window root = 0, parent = 0, *children = nullptr;
        unsigned count = 0;
        ::Window child = 0;
        if (XQueryTree(display, top, &root, &parent, &children, &count) && count == 1)
            child = children[0];
        if (children)
            XFree(children);
        return child;
    }

    // A point of the editor in screen coordinates.
    void toScreen(int x, int y, int* sx, int* sy) const {
        ::Window child = 0;
        XTranslateCoordinates(display, editorWindow(), DefaultRootWindow(display), x, y, sx, sy,
                              &child);
    }
    tanuvo::gui::CRect controlRect(int32_t tag) const {
        return referenceEditor->controlForTag(tag)->getViewSize();
    }
    void centreOf(const tanuvo::gui::CRect& r, int* sx, int* sy) const {
        toScreen((r.left + r.right) / 2, (r.top + r.bottom) / 2, sx, sy);
    }

    // The editor window's pixels as red | green << 8 | blue << 16.
    std::vector<std::uint32_t> shownPixels() const {
        return tanuvo::sound::testing::windowPixels(display, editorWindow());
    }

    // The headless editor with the shared object's current parameters.
    std::vector<std::uint32_t> headlessPixels() {
        for (int32_t i = 0; i < kNumParams; ++i)
            reference->setParameter(i, effect->getParameter(effect, i));
        referenceEditor->idle();
        int w = 0, h = 0;
        const std::vector<std::uint8_t> rgba =
            soft::windowPixels(referenceEditor->getFrame()->getPlatformWindow(), &w, &h);
        return tanuvo::sound::testing::packedPixels(rgba);
    }

    void expectShowsHeadlessRender() {
        const std::vector<std::uint32_t> shown = shownPixels();
        const std::vector<std::uint32_t> expected = headlessPixels();
        ASSERT_EQ(shown.size(), std::size_t(kEditorWidth * kEditorHeight));
        ASSERT_EQ(expected.size(), shown.size());
        int differing = 0, first = -1;
        for (std::size_t i = 0; i < shown.size(); ++i)
            if (shown[i] != expected[i]) {
                if (first < 0)
                    first = int(i);
                ++differing;
            }
        EXPECT_EQ(differing, 0) << "first difference at (" << first % kEditorWidth << ", "
                                << first / kEditorWidth << ")";
    }

    std::vector<HostCall> callsFor(int32_t index) const {
        std::vector<HostCall> out;
        for (const HostCall& c : calls())
            if (c.index == index)
                out.push_back(c);
        return out;
    }
    // A gesture: begin, at least one automation, end, all for the index.
    void expectGesture(int32_t index) const {
        const std::vector<HostCall> c = callsFor(index);
        ASSERT_GE(c.size(), 3u);
        EXPECT_EQ(c.front().opcode, audioMasterBeginEdit);
        EXPECT_EQ(c.back().opcode, audioMasterEndEdit);
        for (std::size_t i = 1; i + 1 < c.size(); ++i)
            EXPECT_EQ(c[i].opcode, audioMasterAutomate);
    }

    bool processesAudio() {
        std::vector<float> in(512), left(512), right(512);
        for (std::size_t i = 0; i < in.size(); ++i)
            in[i] = 0.5f * std::sin(float(i) * 0.05f);
        float* inputs[] = {in.data()};
        float* outputs[] = {left.data(), right.data()};
        effect->processReplacing(effect, inputs, outputs, 512);
        bool finite = true, audible = false;
        for (float v : left) {
            finite = finite && std::isfinite(v);
            audible = audible || v != 0.0f;
        }
        return finite && audible;
    }

    Display* display = nullptr;
    ::Window top = 0;
    std::unique_ptr<PluginLoader> library;
    AEffect* effect = nullptr;
    void* referenceHost = nullptr;
    Bleepifier* reference = nullptr;
    BleepifierEditor* referenceEditor = nullptr;
};

TEST_F(X11EditorTest, OpensAChildOfTheHostWindowAndShowsTheHeadlessRender) {
    ASSERT_TRUE(openEditor(top));
    const ::Window child = editorWindow();
    ASSERT_NE(child, 0u);
    ::Window root = 0;
    int x = -1, y = -1;
    unsigned w = 0, h = 0, border = 0, depth = 0;
    ASSERT_TRUE(XGetGeometry(display, child, &root, &x, &y, &w, &h, &border, &depth));
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 0);
    EXPECT_EQ(w, unsigned(kEditorWidth));
    EXPECT_EQ(h, unsigned(kEditorHeight));
    idle();
    expectShowsHeadlessRender();

    // Covered and uncovered, the window shows the same pixels again.
    XUnmapWindow(display, top);
    XMapWindow(display, top);
    XSync(display, False);
    idle();
    expectShowsHeadlessRender();

    // Closing removes the child; opening again builds a new one.
    dispatch(effEditClose);
    XSync(display, False);
    EXPECT_EQ(editorWindow(), 0u);
    ASSERT_TRUE(openEditor(top));
    idle();
    expectShowsHeadlessRender();
}

TEST_F(X11EditorTest, ClickOnThePowerButtonSwitchesItAndTellsTheHost) {
    ASSERT_TRUE(openEditor(top));
    idle();
    const float before = effect->getParameter(effect, kPower);
    int sx = 0, sy = 0;
    centreOf(controlRect(kPower), &sx, &sy);
    User user;
    user.click(sx, sy);
    idle();
    const float after = effect->getParameter(effect, kPower);
    EXPECT_NE(after, before);
    expectGesture(kPower);
    EXPECT_EQ(callsFor(kPower)[1].value, after);
    expectShowsHeadlessRender();

    // Parameters set by the host show up in the window too.
    effect->setParameter(effect, kPower, before);
    effect->setParameter(effect, kVolume, 0.25f);
    idle();
    expectShowsHeadlessRender();
}

TEST_F(X11EditorTest, DragOnTheVolumeSliderFollowsThePointerUntilRelease) {
    ASSERT_TRUE(openEditor(top));
    effect->setParameter(effect, kVolume, 1.0f);
    idle();
    const tanuvo::gui::CRect slider = controlRect(kVolume);
    int sx = 0, sy = 0;
    toScreen((slider.left + slider.right) / 2, slider.top + 6, &sx, &sy);
    idleWhile([&](User& user) {
        user.moveTo(sx, sy);
        user.button(Button1, true);
        for (int step = 1; step <= 8; ++step) {
            sleepMs(60);
            user.moveTo(sx, sy + 3 * step);
        }
        sleepMs(150);
        user.button(Button1, false);
        // Moves after the release change nothing.
        sleepMs(150);
        user.moveTo(sx, sy + 40);
    });
    const float volume = effect->getParameter(effect, kVolume);
    EXPECT_LT(volume, 1.0f);
    expectGesture(kVolume);
    // The value followed the pointer during the drag: several distinct automations, falling.
    std::vector<float> values;
    for (const HostCall& c : callsFor(kVolume))
        if (c.opcode == audioMasterAutomate)
            values.push_back(c.value);
    ASSERT_GE(values.size(), 2u);
    for (std::size_t i = 1; i < values.size(); ++i)
        EXPECT_LE(values[i], values[i - 1]);
    EXPECT_EQ(values.back(), volume);
    expectShowsHeadlessRender();
}

TEST_F(X11EditorTest, WheelButtonsTurnTheKnobUnderThePointer) {
    ASSERT_TRUE(openEditor(top));
    effect->setParameter(effect, kMix, 0.5f);
    idle();
    int sx = 0, sy = 0;
    centreOf(controlRect(kMix), &sx, &sy);
    User user;
    user.click(sx, sy, Button4);  // one notch up
    idle();
    const float up = effect->getParameter(effect, kMix);
    EXPECT_NEAR(up, 0.5f + referenceEditor->controlForTag(kMix)->getWheelInc(), 1e-5f);
    expectGesture(kMix);
    user.click(sx, sy, Button5);
    user.click(sx, sy, Button5);
    idle();
    EXPECT_NEAR(effect->getParameter(effect, kMix),
                up - 2 * referenceEditor->controlForTag(kMix)->getWheelInc(), 1e-5f);
    expectShowsHeadlessRender();

    // A wheel turn outside any control changes nothing.
    const auto before = calls().size();
    toScreen(2, 2, &sx, &sy);
    user.click(sx, sy, Button4);
    idle();
    EXPECT_EQ(calls().size(), before);
}

// The cursor image the server shows now, as raw bytes with its size and hot spot.
std::vector<unsigned long> cursorImage(Display* display) {
    std::vector<unsigned long> out;
    if (XFixesCursorImage* image = XFixesGetCursorImage(display)) {
        out = {image->width, image->height, image->xhot, image->yhot};
        out.insert(out.end(), image->pixels, image->pixels + image->width * image->height);
        XFree(image);
    }
    return out;
}

TEST_F(X11EditorTest, HandCursorOverControlsOnlyWhileThePointerIsThere) {
    int event = 0, error = 0;
    if (!XFixesQueryExtension(display, &event, &error))
        GTEST_SKIP() << "no XFixes extension";
    ASSERT_TRUE(openEditor(top));
    idle();
    User user;
    int sx = 0, sy = 0;
    toScreen(kEditorWidth + 10, 5, &sx, &sy);  // the host's own window, beside the editor
    user.moveTo(sx, sy);
    idle(100);
    const std::vector<unsigned long> host = cursorImage(display);
    centreOf(controlRect(kPower), &sx, &sy);
    user.moveTo(sx, sy);
    idle(100);
    const std::vector<unsigned long> overControl = cursorImage(display);
    toScreen(3, 3, &sx, &sy);
    user.moveTo(sx, sy);
    idle(100);
    const std::vector<unsigned long> overBackground = cursorImage(display);
    ASSERT_FALSE(host.empty());
    EXPECT_NE(overControl, host);
    EXPECT_EQ(overBackground, host);
}

TEST_F(X11EditorTest, WaveformMenuOpensOverTheControlAndTakesAClick) {
    ASSERT_TRUE(openEditor(top));
    idle();
    const tanuvo::gui::CRect menu = controlRect(kEffect);
    int mx = 0, my = 0, cornerX = 0, cornerY = 0;
    centreOf(menu, &mx, &my);
    toScreen(menu.left, menu.top, &cornerX, &cornerY);
    Geometry popup;
    bool opened = false;
    idleWhile([&](User& user) {
        user.click(mx, my);
        opened = user.waitForPopup(&popup);
        if (!opened)
            return;
        sleepMs(100);
        // The third entry: "Triangle Wave".
        user.click(popup.x + popup.width / 2, popup.y + 1 + 2 * kPopupItemHeight + 10);
    });
    ASSERT_TRUE(opened);
    EXPECT_EQ(popup.x, cornerX);
    EXPECT_EQ(popup.y, cornerY);
    EXPECT_GE(popup.height, 6 * kPopupItemHeight);
    User check;
    EXPECT_FALSE(check.findPopup(&popup)) << "the pop-up stays open";
    EXPECT_NEAR(effect->getParameter(effect, kEffect), 2.0f / 6.0f, 1e-6f);
    expectGesture(kEffect);
    expectShowsHeadlessRender();
}

TEST_F(X11EditorTest, WaveformMenuTakesTheKeyboardAndEscapeChangesNothing) {
    ASSERT_TRUE(openEditor(top));
    idle();
    int mx = 0, my = 0;
    centreOf(controlRect(kEffect), &mx, &my);
    bool opened = false;
    idleWhile([&](User& user) {
        Geometry popup;
        user.click(mx, my);
        opened = user.waitForPopup(&popup);
        sleepMs(100);
        user.key(XK_Down);  // "Sine Wave"
        user.key(XK_Down);  // "Square Wave"
        user.key(XK_Down);  // "Triangle Wave"
        user.key(XK_Up);
        user.key(XK_Return);
    });
    ASSERT_TRUE(opened);
    EXPECT_NEAR(effect->getParameter(effect, kEffect), 1.0f / 6.0f, 1e-6f);
    expectShowsHeadlessRender();

    const float chosen = effect->getParameter(effect, kEffect);
    idleWhile([&](User& user) {
        Geometry popup;
        user.click(mx, my);
        opened = user.waitForPopup(&popup);
        sleepMs(100);
        user.key(XK_Down);
        user.key(XK_Escape);
    });
    ASSERT_TRUE(opened);
    EXPECT_EQ(effect->getParameter(effect, kEffect), chosen);
    User check;
    Geometry gone;
    EXPECT_FALSE(check.findPopup(&gone));
}

TEST_F(X11EditorTest, TwoEditorsOpenAtOnceEachTakeTheirOwnClicks) {
    AEffect* second = library->entry("VSTPluginMain")(recordingHost);
    ASSERT_NE(second, nullptr);
    const ::Window secondTop = makeHostWindow();
    XMoveWindow(display, secondTop, kHostX + 400, kHostY);
    XSync(display, False);
    ASSERT_TRUE(openEditor(top));
    ASSERT_EQ(second->dispatcher(second, effEditOpen, 0, 0,
                                 reinterpret_cast<void*>(std::uintptr_t(secondTop)), 0.0f),
              1);
    auto idleBoth = [&] {
        const auto end = Clock::now() + std::chrono::milliseconds(300);
        do {
            dispatch(effEditIdle);
            second->dispatcher(second, effEditIdle, 0, 0, nullptr, 0.0f);
            sleepMs(10);
        } while (Clock::now() < end);
    };
    idleBoth();
    const float firstPower = effect->getParameter(effect, kPower);
    const float secondPower = second->getParameter(second, kPower);
    const tanuvo::gui::CRect power = controlRect(kPower);
    int sx = 0, sy = 0;
    ::Window child = 0;
    XTranslateCoordinates(display, secondTop, DefaultRootWindow(display),
                          (power.left + power.right) / 2, (power.top + power.bottom) / 2, &sx, &sy,
                          &child);
    User user;
    user.click(sx, sy);
    idleBoth();
    EXPECT_EQ(effect->getParameter(effect, kPower), firstPower);
    EXPECT_NE(second->getParameter(second, kPower), secondPower);
    expectShowsHeadlessRender();
    second->dispatcher(second, effEditClose, 0, 0, nullptr, 0.0f);
    second->dispatcher(second, effClose, 0, 0, nullptr, 0.0f);
    XDestroyWindow(display, secondTop);
    // The first editor is untouched by the second one's closing.
    centreOf(power, &sx, &sy);
    user.click(sx, sy);
    idle();
    EXPECT_NE(effect->getParameter(effect, kPower), firstPower);
    expectShowsHeadlessRender();
}

TEST_F(X11EditorTest, BadWindowIdsAnswerFalseAndThePluginKeepsWorking) {
    EXPECT_FALSE(openEditor(::Window(0x1FFFFF0)));       // no such window
    EXPECT_FALSE(openEditor(::Window(0xDEADBEEF0ull)));  // not a window id at all
    EXPECT_EQ(dispatch(effEditOpen, 0, 0, nullptr), 0);
    dispatch(effEditIdle);
    EXPECT_TRUE(processesAudio());
    // The X connection is still sound: a real window opens afterwards.
    ASSERT_TRUE(openEditor(top));
    idle();
    expectShowsHeadlessRender();
}

TEST_F(X11EditorTest, WithoutADisplayOpenAnswersFalse) {
    const char* previous = std::getenv("DISPLAY");
    const std::string saved = previous ? previous : "";
    unsetenv("DISPLAY");
    const bool opened = openEditor(top);
    dispatch(effEditIdle);
    setenv("DISPLAY", saved.c_str(), 1);
    EXPECT_FALSE(opened);
    EXPECT_TRUE(processesAudio());
    ASSERT_TRUE(openEditor(top));
}

TEST_F(X11EditorTest, HostDestroyingItsWindowFirstLeavesThePluginWorking) {
    ASSERT_TRUE(openEditor(top));
    idle();
    XDestroyWindow(display, top);
    XSync(display, False);
    top = 0;
    idle();
    effect->setParameter(effect, kVolume, 0.3f);  // redraws would go to a window that is gone
    idle();
    EXPECT_TRUE(processesAudio());
    dispatch(effEditClose);
    top = makeHostWindow();
    ASSERT_TRUE(openEditor(top));
    idle();
    expectShowsHeadlessRender();
}

TEST_F(X11EditorTest, NothingWaitsForAHostThatNeverIdles) {
    ASSERT_TRUE(openEditor(top));
    const float power = effect->getParameter(effect, kPower);
    int sx = 0, sy = 0;
    centreOf(controlRect(kPower), &sx, &sy);
    User user;
    for (int i = 0; i < 200; ++i)
        user.click(sx, sy);
    EXPECT_TRUE(processesAudio());
    // Input is only read on idle, so nothing reached the controls.
    EXPECT_EQ(effect->getParameter(effect, kPower), power);
    const auto start = Clock::now();
    dispatch(effEditClose);
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(2));
}

// The toolkit's own frame in an X window, with a menu that has everything a pop-up can show:
// a greyed entry, a separator, a sub-menu and a column break.
class X11ToolkitMenuTest : public ::testing::Test, public tanuvo::gui::CControlListener {
  protected:
    void SetUp() override {
        display = openDisplay();
        if (!display)
            GTEST_SKIP() << "no X server";
        top = XCreateSimpleWindow(display, DefaultRootWindow(display), 10, 10, 200, 60, 0, 0, 0);
        XMapWindow(display, top);
        XSync(display, False);
        frame = new tanuvo::gui::CFrame(tanuvo::gui::CRect(0, 0, 200, 60),
                                        reinterpret_cast<void*>(std::uintptr_t(top)), nullptr);
        ASSERT_TRUE(frame->isOpen());
        menu = new tanuvo::gui::COptionMenu(tanuvo::gui::CRect(10, 10, 110, 30), this, 0);
        sub = new tanuvo::gui::COptionMenu(tanuvo::gui::CRect(0, 0, 10, 10), this, 1);
        sub->addEntry("Deep A");
        sub->addEntry("Deep B");
        menu->addEntry("One");
        menu->addEntry("-GGrey");
        menu->addEntry("-");
        menu->addEntry(sub, "More");
        menu->addEntry("Two");
        menu->setNbItemsPerColumn(3);
        sub->forget();
        frame->addView(menu);
    }
    void TearDown() override {
        if (frame)
            frame->forget();
        if (display) {
            XDestroyWindow(display, top);
            XCloseDisplay(display);
        }
    }
    void valueChanged(tanuvo::gui::CDrawContext*, tanuvo::gui::CControl* control) override {
        changed.push_back({control, control->getValue()});
    }
    void idleWhile(const std::function<void(User&)>& act) {
        idleWhileActing([this] { frame->idle(); }, act);
    }
    void clickMenu(User& user) {
        int sx = 0, sy = 0;
        ::Window child = 0;
        XTranslateCoordinates(user.display, top, DefaultRootWindow(user.display), 50, 20, &sx, &sy,
                              &child);
        user.click(sx, sy);
    }

    Display* display = nullptr;
    ::Window top = 0;
    tanuvo::gui::CFrame* frame = nullptr;
    tanuvo::gui::COptionMenu* menu = nullptr;
    tanuvo::gui::COptionMenu* sub = nullptr;
    std::vector<std::pair<tanuvo::gui::CControl*, float>> changed;
};

TEST_F(X11ToolkitMenuTest, KeysSkipWhatCannotBeChosenAndReachTheSubMenu) {
    Geometry popup, second;
    bool opened = false, subOpened = false;
    idleWhile([&](User& user) {
        clickMenu(user);
        opened = user.waitForPopup(&popup);
        sleepMs(100);
        user.key(XK_Down);   // "One"
        user.key(XK_Down);   // past "Grey" and the separator to "More"
        user.key(XK_Right);  // opens the sub-menu
        sleepMs(200);
        subOpened = user.findPopup(&second);
        user.key(XK_Down);
        user.key(XK_Down);
        user.key(XK_Return);  // "Deep B"
    });
    ASSERT_TRUE(opened);
    ASSERT_TRUE(subOpened);
    // Three entries in the first column (one of them a separator), two in the second.
    EXPECT_EQ(popup.height, 2 + 2 * kPopupItemHeight + 8);
    EXPECT_GT(second.x, popup.x);
    ASSERT_EQ(changed.size(), 1u);
    EXPECT_EQ(changed[0].first, sub);
    EXPECT_EQ(sub->getCurrent(), 1);
    EXPECT_EQ(menu->getCurrent(), 0);
}

TEST_F(X11ToolkitMenuTest, ClickOutsideClosesWithoutAChoiceAndGreyEntriesIgnoreClicks) {
    bool opened = false;
    idleWhile([&](User& user) {
        Geometry popup;
        clickMenu(user);
        opened = user.waitForPopup(&popup);
        sleepMs(100);
        // "Grey" is the second entry of the first column.
        user.click(popup.x + 30, popup.y + 1 + kPopupItemHeight + 10);
        sleepMs(100);
        user.click(popup.x + popup.width + 50, popup.y + popup.height + 50);
    });
    ASSERT_TRUE(opened);
    EXPECT_TRUE(changed.empty());
    User check;
    Geometry gone;
    EXPECT_FALSE(check.findPopup(&gone));

    idleWhile([&](User& user) {
        Geometry popup;
        clickMenu(user);
        opened = user.waitForPopup(&popup);
        sleepMs(100);
        // "Two", in the second column.
        user.click(popup.x + popup.width - 30, popup.y + 1 + kPopupItemHeight + 10);
    });
    ASSERT_TRUE(opened);
    ASSERT_EQ(changed.size(), 1u);
    EXPECT_EQ(changed[0].first, menu);
    EXPECT_EQ(menu->getCurrent(), 4);
}

}  // namespace

int main(int argc, char** argv) {
    return tanuvo::testing::runTestsWithPaths(argc, argv, "PLUGIN", {&gPluginPath});
}
