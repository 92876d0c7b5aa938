#include <X11/Xlib.h>

#include <cstdint>
#include <cstdlib>

#include "HostWindow.h"

struct HostWindow::Native {
    Display* display = nullptr;
    ::Window window = 0;
};

bool HostWindow::available(std::string* why) {
    Display* display = std::getenv("DISPLAY") ? XOpenDisplay(nullptr) : nullptr;
    if (!display) {
        *why = "no X display (run under xvfb-run)";
        return false;
    }
    XCloseDisplay(display);
    return true;
}

HostWindow::HostWindow(int width, int height) : native(new Native) {
    native->display = XOpenDisplay(nullptr);
    if (!native->display) {
        return;
    }
    native->window = XCreateSimpleWindow(native->display, DefaultRootWindow(native->display), 30,
                                         30, width, height, 0, 0, 0);
    XMapWindow(native->display, native->window);
    XSync(native->display, False);
}

HostWindow::~HostWindow() {
    if (native->display) {
        if (native->window) {
            XDestroyWindow(native->display, native->window);
        }
        XCloseDisplay(native->display);
    }
    delete native;
}

bool HostWindow::ok() const {
    return native->window != 0;
}

void* HostWindow::parent() const {
    return reinterpret_cast<void*>(static_cast<uintptr_t>(native->window));
}

void HostWindow::pump() {
    while (native->display && XPending(native->display)) {
        XEvent event;
        XNextEvent(native->display, &event);
    }
}
