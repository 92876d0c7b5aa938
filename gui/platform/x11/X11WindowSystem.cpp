// Shows the software platform's windows as children of a host's X11 window. Each window has its
// own display connection, opened with it and closed with it; its events are read only when the
// frame idles (the host's idle calls), so nothing waits on a host that never idles. Presses and
// the wheel go to the frame as its window procedure would route them; the held buttons and the
// pointer are read from the server so the controls' tracking loops follow the real mouse.

#include "gui/platform/soft/NativeWindowSystem.h"
#include "gui/platform/soft/SoftObjects.h"
#include "gui/platform/soft/SoftPlatform.h"
#include "gui/platform/x11/X11PopupMenu.h"
#include "gui/platform/x11/X11Support.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/cursorfont.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <memory>
#include <thread>
#include <vector>

namespace tanuvo::gui {
namespace platform {
namespace x11 {

namespace {

constexpr long kEventMask =
    ExposureMask | ButtonPressMask | ButtonReleaseMask | StructureNotifyMask;
constexpr int kCursorTypes = 10;

struct NativeWindow {
    platform::Window soft = nullptr;  // null once the frame let go while a press was routed
    Display* display = nullptr;
    int screen = 0;
    ::Window xwindow = 0;
    VisualChoice visual;
    GC gc = nullptr;
    SurfaceImage image;
    bool alive = false;   // the X window exists
    int heldButtons = 0;  // presses routed whose release has not been read (KeyBits)
    int routing = 0;      // depth of presses being routed to the frame
    int cursorType = 0;
    bool cursorSet = false;  // set since the last idle
    ::Cursor cursors[kCursorTypes] = {};
};

int buttonBit(unsigned button) {
    switch (button) {
        case Button1:
            return kKeyLeft;
        case Button2:
            return kKeyMiddle;
        case Button3:
            return kKeyRight;
        default:
            return 0;
    }
}

unsigned cursorShape(int type) {
    switch (type) {
        case 1:
            return XC_watch;
        case 2:
            return XC_sb_h_double_arrow;
        case 3:
            return XC_sb_v_double_arrow;
        case 4:
            return XC_fleur;
        case 5:
            return XC_bottom_left_corner;
        case 6:
            return XC_bottom_right_corner;
        case 8:
            return XC_X_cursor;
        case 9:
            return XC_hand2;
        default:
            return 0;  // the parent's cursor
    }
}

// Presses being routed to any frame: while a control tracks the mouse, new presses wait for the
// loop to end, as queued messages do.
int gRouting = 0;

// Takes everything but the presses that must wait; events of other windows (a closed pop-up,
// keyboard mapping notices) are taken to be dropped.
Bool selectEvent(Display*, XEvent* event, XPointer arg) {
    const auto* window = reinterpret_cast<const ::Window*>(arg);
    return event->xany.window == *window && event->type == ButtonPress && gRouting > 0 ? False
                                                                                       : True;
}

struct ReleaseSearch {
    ::Window window;
    unsigned button;
    bool found;
};

// Looks for a queued release without taking anything from the queue.
Bool findRelease(Display*, XEvent* event, XPointer arg) {
    auto* s = reinterpret_cast<ReleaseSearch*>(arg);
    if (event->type == ButtonRelease && event->xany.window == s->window &&
        event->xbutton.button == s->button)
        s->found = true;
    return False;
}

// A busy server may turn a connection away for a moment; a few quick retries ride that out
// without holding the host up for long.
Display* openDisplay() {
    for (int attempt = 0;; ++attempt) {
        errno = 0;
        if (Display* display = XOpenDisplay(nullptr))
            return display;
        if (attempt == 3 || (errno != EAGAIN && errno != ECONNRESET))
            return nullptr;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

class X11WindowSystem : public INativeWindowSystem {
  public:
    bool isValidParent(void* parent) override {
        // X resource ids use the low 29 bits; the server has the final word in attach.
        const auto id = reinterpret_cast<std::uintptr_t>(parent);
        return id != 0 && (id & ~std::uintptr_t(0x1FFFFFFF)) == 0;
    }

    bool attach(platform::Window window, void* parent) override {
        auto native = std::make_unique<NativeWindow>();
        native->soft = window;
        Display* display = openDisplay();
        if (!display)
            return false;
        adoptDisplay(display);
        native->display = display;
        ErrorTrap trap(display);
        const auto parentId = ::Window(reinterpret_cast<std::uintptr_t>(parent));
        XWindowAttributes parentAttributes;
        if (!XGetWindowAttributes(display, parentId, &parentAttributes) || trap.sync()) {
            trap.closeDisplay();
            return false;
        }
        native->screen = XScreenNumberOfScreen(parentAttributes.screen);
        if (!chooseVisual(display, native->screen, &native->visual)) {
            trap.closeDisplay();
            return false;
        }
        XSetWindowAttributes attributes{};
        attributes.colormap = native->visual.colormap;
        attributes.border_pixel = 0;
        attributes.background_pixmap = None;
        attributes.bit_gravity = NorthWestGravity;
        attributes.event_mask = kEventMask;
        const Surface& surface = window->surface;
        native->xwindow = XCreateWindow(
            display, parentId, 0, 0, unsigned(std::max(1, surface.width)),
            unsigned(std::max(1, surface.height)), 0, native->visual.depth, InputOutput,
            native->visual.visual,
            CWColormap | CWBorderPixel | CWBackPixmap | CWBitGravity | CWEventMask, &attributes);
        native->gc = XCreateGC(display, native->xwindow, 0, nullptr);
        XMapWindow(display, native->xwindow);
        if (trap.sync() ||
            !native->image.resize(display, native->visual, surface.width, surface.height)) {
            // The parent vanished meanwhile, or the server refused: nothing of ours remains.
            native->image.release();
            trap.closeDisplay();
            return false;
        }
        native->alive = true;
        windows.push_back(std::move(native));
        return true;
    }

    void detach(platform::Window window) override {
        NativeWindow* native = find(window);
        if (!native)
            return;
        native->soft = nullptr;
        // A press being routed still stands on this window; it finishes the closing.
        if (native->routing == 0)
            close(native);
    }

    void resized(platform::Window window) override {
        requestTrapped(window, [&](NativeWindow& native) {
            const Surface& surface = window->surface;
            XResizeWindow(native.display, native.xwindow, unsigned(std::max(1, surface.width)),
                          unsigned(std::max(1, surface.height)));
            native.image.resize(native.display, native.visual, surface.width, surface.height);
        });
    }

    void present(platform::Window window) override {
        requestTrapped(window, [&](NativeWindow& native) {
            const Surface& surface = window->surface;
            native.image.put(native.display, native.xwindow, native.gc, surface.pixels.data(),
                             surface.width, surface.height);
        });
    }

    void processEvents(platform::Window window) override {
        NativeWindow* native = live(window);
        if (!native)
            return;
        bool exposed = false;
        {
            ErrorTrap trap(native->display);
            ::Window xwindow = native->xwindow;
            XEvent event;
            while (native->alive && native->soft &&
                   XCheckIfEvent(native->display, &event, selectEvent,
                                 reinterpret_cast<XPointer>(&xwindow))) {
                if (event.xany.window != xwindow)
                    continue;
                exposed |= event.type == Expose;
                handle(native, event);
            }
            checkLost(native, trap);
        }
        if (!native->soft) {
            if (native->routing == 0)
                close(native);
            return;
        }
        // A cursor lasts while the editor keeps setting it, as a window's class cursor returns
        // on the next mouse move once an application stops.
        if (!native->cursorSet)
            defineCursor(native, 0);
        native->cursorSet = false;
        // Pending invalid areas are painted now, as the message loop would deliver the paint;
        // the surface keeps the pixels, so an exposure alone only shows them again.
        if (native->alive && !soft::paintWindow(window) && exposed)
            present(window);
    }

    bool screenOrigin(platform::Window window, int* x, int* y) override {
        bool ok = false;
        NativeWindow* native = requestTrapped(window, [&](NativeWindow& open) {
            ::Window child = 0;
            ok = XTranslateCoordinates(open.display, open.xwindow,
                                       RootWindow(open.display, open.screen), 0, 0, x, y, &child);
        });
        return native && ok && native->alive;
    }

    std::uintptr_t nativeId(platform::Window window) override {
        NativeWindow* native = live(window);
        return native ? std::uintptr_t(native->xwindow) : 0;
    }

    bool pointerState(int* x, int* y, int* keyBits) override {
        NativeWindow* native = current();
        if (!native)
            return false;
        ErrorTrap trap(native->display);
        ::Window root = 0, child = 0;
        int windowX = 0, windowY = 0;
        unsigned mask = 0;
        XQueryPointer(native->display, RootWindow(native->display, native->screen), &root, &child,
                      x, y, &windowX, &windowY, &mask);
        static constexpr struct {
            unsigned mask;
            int bit;
        } kKeys[] = {{Button1Mask, kKeyLeft}, {Button2Mask, kKeyMiddle}, {Button3Mask, kKeyRight},
                     {ShiftMask, kKeyShift},  {ControlMask, kKeyCtrl},   {Mod1Mask, kKeyAlt}};
        int keys = 0;
        for (const auto& key : kKeys)
            if (mask & key.mask)
                keys |= key.bit;
        // A routed press counts as held until its release has been read, however quick the
        // click was; a release that can no longer arrive (the server's button is up and none is
        // queued) lets it go, so no tracking loop waits forever.
        for (unsigned button : {unsigned(Button1), unsigned(Button2), unsigned(Button3)}) {
            const int bit = buttonBit(button);
            if (!(native->heldButtons & bit) || (keys & bit))
                continue;
            ReleaseSearch search{native->xwindow, button, false};
            XEvent unused;
            XCheckIfEvent(native->display, &unused, findRelease,
                          reinterpret_cast<XPointer>(&search));
            if (search.found)
                keys |= bit;
            else
                native->heldButtons &= ~bit;
        }
        *keyBits = keys;
        return true;
    }

    void setCursor(int type) override {
        for (auto& native : windows) {
            native->cursorSet = true;
            defineCursor(native.get(), type);
        }
    }

    int trackPopupMenu(Menu menu, bool, int x, int y, platform::Window owner) override {
        NativeWindow* native = live(owner);
        if (!native)
            return -1;
        // The control may have drawn into its context before the pop-up opens.
        present(owner);
        return runPopupMenu(native->display, native->screen, menu, x, y);
    }

  private:
    NativeWindow* find(platform::Window window) {
        for (auto& native : windows)
            if (window && native->soft == window)
                return native.get();
        return nullptr;
    }

    NativeWindow* live(platform::Window window) {
        NativeWindow* native = find(window);
        return native && native->alive ? native : nullptr;
    }

    // The window whose press is being routed, else the newest open one.
    NativeWindow* current() {
        for (auto& native : windows)
            if (native->alive && native->routing > 0)
                return native.get();
        for (auto it = windows.rbegin(); it != windows.rend(); ++it)
            if ((*it)->alive && (*it)->soft)
                return it->get();
        return nullptr;
    }

    void defineCursor(NativeWindow* native, int type) {
        if (type < 0 || type >= kCursorTypes)
            type = 0;
        if (!native->alive || native->cursorType == type)
            return;
        ErrorTrap trap(native->display);
        const unsigned shape = cursorShape(type);
        if (shape && !native->cursors[type])
            native->cursors[type] = XCreateFontCursor(native->display, shape);
        if (shape)
            XDefineCursor(native->display, native->xwindow, native->cursors[type]);
        else
            XUndefineCursor(native->display, native->xwindow);
        native->cursorType = type;
        checkLost(native, trap);
    }

    void handle(NativeWindow* native, const XEvent& event) {
        switch (event.type) {
            case ButtonPress:
                press(native, event.xbutton);
                break;
            case ButtonRelease:
                native->heldButtons &= ~buttonBit(event.xbutton.button);
                break;
            case DestroyNotify:
                if (event.xdestroywindow.window == native->xwindow)
                    lost(native);
                break;
            default:
                break;
        }
    }

    void press(NativeWindow* native, const XButtonEvent& event) {
        IWindowHandler* handler = soft::windowHandler(native->soft);
        if (!handler)
            return;
        ++native->routing;
        ++gRouting;
        if (event.button == Button4 || event.button == Button5) {
            handler->onWheel(event.x, event.y, event.button == Button4 ? 1.0f : -1.0f);
        } else if (const int bit = buttonBit(event.button)) {
            native->heldButtons |= bit;
            handler->onMouseDown(event.x, event.y);
        }
        --gRouting;
        --native->routing;
    }

    // The host destroyed its window (and ours with it): the frame closes, the editor stays.
    void lost(NativeWindow* native) {
        if (!native->alive)
            return;
        native->alive = false;
        native->heldButtons = 0;
        if (native->soft)
            if (IWindowHandler* handler = soft::windowHandler(native->soft))
                handler->onDestroy();
    }

    void checkLost(NativeWindow* native, ErrorTrap& trap) {
        if (trap.sync() && trap.failedResource() == native->xwindow)
            lost(native);
    }

    // Runs request on the window's native side with protocol errors trapped, and takes an error
    // about the X window itself as the host having destroyed it. Answers the native side, or null
    // (and runs nothing) when the window is not live.
    template <typename Request>
    NativeWindow* requestTrapped(platform::Window window, Request request) {
        NativeWindow* native = live(window);
        if (!native)
            return nullptr;
        ErrorTrap trap(native->display);
        request(*native);
        checkLost(native, trap);
        return native;
    }

    void close(NativeWindow* native) {
        {
            ErrorTrap trap(native->display);
            if (native->alive)
                XDestroyWindow(native->display, native->xwindow);
            for (::Cursor cursor : native->cursors)
                if (cursor)
                    XFreeCursor(native->display, cursor);
            if (native->gc)
                XFreeGC(native->display, native->gc);
            if (native->visual.colormap)
                XFreeColormap(native->display, native->visual.colormap);
            native->image.release();
            trap.closeDisplay();
        }
        windows.erase(std::remove_if(windows.begin(), windows.end(),
                                     [native](const std::unique_ptr<NativeWindow>& w) {
                                         return w.get() == native;
                                     }),
                      windows.end());
    }

    std::vector<std::unique_ptr<NativeWindow>> windows;
};

}  // namespace

}  // namespace x11

INativeWindowSystem* nativeWindowSystem() {
    static x11::X11WindowSystem system;
    return &system;
}

}  // namespace platform
}  // namespace tanuvo::gui
