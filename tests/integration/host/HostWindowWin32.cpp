#include <windows.h>

#include "HostWindow.h"

struct HostWindow::Native {
    HWND window = nullptr;
};

bool HostWindow::available(std::string*) {
    return true;
}

HostWindow::HostWindow(int width, int height) : native(new Native) {
    static bool registered = false;
    if (!registered) {
        WNDCLASSA c{};
        c.lpfnWndProc = DefWindowProcA;
        c.hInstance = GetModuleHandleA(nullptr);
        c.lpszClassName = "TestHostWindow";
        RegisterClassA(&c);
        registered = true;
    }
    RECT r{0, 0, width, height};
    AdjustWindowRect(&r, WS_OVERLAPPEDWINDOW, FALSE);
    native->window = CreateWindowExA(0, "TestHostWindow", "host", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                     30, 30, r.right - r.left, r.bottom - r.top, nullptr, nullptr,
                                     GetModuleHandleA(nullptr), nullptr);
}

HostWindow::~HostWindow() {
    if (native->window && IsWindow(native->window)) {  // the test may have destroyed it
        DestroyWindow(native->window);
    }
    delete native;
}

bool HostWindow::ok() const {
    return native->window != nullptr;
}

void* HostWindow::parent() const {
    return native->window;
}

void HostWindow::pump() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}
