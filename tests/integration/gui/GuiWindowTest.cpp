// Frames in real Win32 windows, run under Wine: class registration shared by live frames, the
// child window in a host window, painting, mouse, wheel and key routing, cursors, resizing with
// a host that accepts or refuses, and a host that destroys its window first.

#include <windows.h>
#include <ole2.h>

#include "HostWindow.h"
#include "MiniCheck.h"
#include "gui/CControl.h"
#include "gui/CDrawContext.h"
#include "gui/CFrame.h"
#include "gui/platform/Platform.h"

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

using namespace tanuvo::gui;

namespace {

// Gives the host window the client size a frame of w x h needs.
void fitHostWindow(HWND host, int w, int h) {
    RECT r{0, 0, w, h};
    AdjustWindowRect(&r, WS_OVERLAPPEDWINDOW, FALSE);
    SetWindowPos(host, nullptr, 0, 0, r.right - r.left, r.bottom - r.top,
                 SWP_NOMOVE | SWP_NOZORDER);
}

struct Editor : IFrameEditor {
    void doIdleStuff() override {}
    void beginEdit(std::int32_t) override {}
    void endEdit(std::int32_t) override {}
    bool canHostSizeWindow() override { return canSize; }
    // An accepting host resizes its window to fit, as hosts do.
    bool hostSizeWindow(std::int32_t w, std::int32_t h) override {
        if (sizes && host)
            fitHostWindow(host, w, h);
        return sizes;
    }
    std::int32_t getKnobMode() const override { return 0; }
    bool canSize = false;
    bool sizes = false;
    HWND host = nullptr;
};

constexpr CColor kFace{200, 100, 50, 255};

struct Probe : CControl {
    explicit Probe(const CRect& r) : CControl(r) {}
    void draw(CDrawContext* context) override {
        context->setFillColor(kFace);
        context->fillRect(CRect(size.left - 1, size.top - 1, size.right, size.bottom));
        ++draws;
        setDirty(false);
    }
    void mouse(CDrawContext*, CPoint& where, long) override {
        ++presses;
        lastWhere = where;
    }
    bool onWheel(CDrawContext*, const CPoint&, float distance) override {
        wheel += distance;
        return true;
    }
    int draws = 0;
    int presses = 0;
    CPoint lastWhere{-1, -1};
    float wheel = 0.0f;
};

void pumpMessages() {
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageA(&m);
}

bool classRegistered() {
    WNDCLASSA info;
    HMODULE module = nullptr;
    GetModuleHandleExA(
        GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
        reinterpret_cast<LPCSTR>(&pumpMessages), &module);
    return GetClassInfoA(module, platform::frameClassName(), &info) != 0;
}

HWND frameWindow(CFrame* frame) {
    return static_cast<HWND>(platform::nativeWindowHandle(frame->getPlatformWindow()));
}

void classIsSharedByLiveFrames(HWND host) {
    Editor editor;
    CHECK(!classRegistered());
    auto* a = new CFrame(CRect(0, 0, 100, 80), host, &editor);
    auto* b = new CFrame(CRect(0, 0, 100, 80), host, &editor);
    CHECK(a->isOpen() && b->isOpen());
    CHECK(CFrame::windowClassUsers() == 2);
    CHECK(classRegistered());
    CHECK(GetParent(frameWindow(a)) == host);
    char name[64] = {};
    GetClassNameA(frameWindow(a), name, sizeof name);
    CHECK(std::string(name).rfind("Plugin", 0) == 0);
    a->forget();
    CHECK(classRegistered());
    b->forget();
    CHECK(!classRegistered());
    CHECK(CFrame::windowClassUsers() == 0);
}

void badParentsLeaveTheFrameClosed() {
    CFrame noParent(CRect(0, 0, 10, 10), nullptr, nullptr);
    CHECK(!noParent.isOpen());
    CFrame bogus(CRect(0, 0, 10, 10), reinterpret_cast<void*>(0x1234), nullptr);
    CHECK(!bogus.isOpen());
    CHECK(CFrame::windowClassUsers() == 0);
    CHECK(!bogus.setSize(20, 20));
    bogus.idle();
}

void paintingAndRouting(HWND host) {
    Editor editor;
    auto* frame = new CFrame(CRect(0, 0, 120, 90), host, &editor);
    frame->setBackgroundColor(CColor{10, 20, 30, 255});
    auto* under = new Probe(CRect(0, 0, 60, 60));
    auto* over = new Probe(CRect(40, 40, 100, 80));
    frame->addView(under);
    frame->addView(over);
    HWND window = frameWindow(frame);

    frame->idle();
    CHECK(over->draws == 0);  // no idle drawing before the first paint
    InvalidateRect(window, nullptr, FALSE);
    UpdateWindow(window);
    CHECK(!frame->isFirstDraw());
    CHECK(under->draws == 1 && over->draws == 1);
    // Read the painted pixels back through a window device context.
    HDC dc = GetDC(window);
    std::uint8_t px[4] = {};
    platform::readPixels(reinterpret_cast<platform::DC>(dc), 50, 50, 1, 1, px);
    ReleaseDC(window, dc);
    CHECK(px[0] == kFace.red && px[1] == kFace.green && px[2] == kFace.blue);
    over->setValue(0.5f);
    frame->idle();
    CHECK(over->draws == 2 && under->draws == 1);

    SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(50, 50));
    CHECK(over->presses == 1 && under->presses == 0);
    CHECK(over->lastWhere == CPoint(50, 50));
    SendMessageA(window, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(10, 10));
    CHECK(under->presses == 1);

    POINT screen{10, 10};
    ClientToScreen(window, &screen);
    SendMessageA(window, WM_MOUSEWHEEL, MAKEWPARAM(0, 120), MAKELPARAM(screen.x, screen.y));
    CHECK(under->wheel == 1.0f);
    SendMessageA(window, WM_MOUSEWHEEL, MAKEWPARAM(0, WORD(-240)), MAKELPARAM(screen.x, screen.y));
    CHECK(under->wheel == -1.0f);

    under->setWantsFocus(true);
    over->setWantsFocus(true);
    KeyCode tab{0, VirtualKey::tab, 0};
    CHECK(frame->onKeyDown(tab) == 1 && frame->getFocusView() == under);
    CHECK(frame->onKeyDown(tab) == 1 && frame->getFocusView() == over);
    KeyCode letter{'q', VirtualKey::none, 0};
    CHECK(frame->onKeyDown(letter) == -1);

    CCoord x = -1, y = -1;
    CHECK(frame->getPosition(x, y) && x == 0 && y == 0);

    // The frame's window carries our drop target: a second registration is refused.
    CHECK(frame->isDropActive());
    CHECK(RegisterDragDrop(window, nullptr) != S_OK);
    CHECK(frame->setDropActive(false));
    CHECK(RevokeDragDrop(window) != S_OK);  // nothing left to revoke
    frame->forget();
}

void cursors(HWND host) {
    auto* frame = new CFrame(CRect(0, 0, 50, 50), host, nullptr);
    HCURSOR before = GetCursor();
    frame->setCursor(kCursorHand);
    CHECK(GetCursor() == LoadCursor(nullptr, IDC_HAND));
    frame->setCursor(kCursorNotAllowed);
    CHECK(GetCursor() == LoadCursor(nullptr, IDC_NO));
    frame->setCursor(kCursorCopy);  // no cursor of its own: the default
    CHECK(GetCursor() == before);
    frame->setCursor(kCursorWait);
    frame->forget();  // closing restores the default
    CHECK(GetCursor() == before);
}

void resizing(HWND host) {
    Editor editor;
    editor.host = host;
    fitHostWindow(host, 100, 80);
    auto* frame = new CFrame(CRect(0, 0, 100, 80), host, &editor);
    HWND window = frameWindow(frame);
    RECT r, client;
    CHECK(!frame->setSize(100, 80));

    editor.canSize = true;
    editor.sizes = true;
    CHECK(frame->setSize(150, 100));
    GetClientRect(window, &r);
    CHECK(r.right == 150 && r.bottom == 100);
    GetClientRect(host, &client);
    CHECK(client.right == 150 && client.bottom == 100);

    editor.sizes = false;  // refused: the frame grows the host window by itself
    CHECK(frame->setSize(200, 120));
    GetClientRect(window, &r);
    CHECK(r.right == 200 && r.bottom == 120);
    GetClientRect(host, &client);
    CHECK(client.right == 200 && client.bottom == 120);

    // A host window much larger than the frame is not a frame around it: left alone.
    fitHostWindow(host, 400, 300);
    CHECK(frame->setSize(210, 130));
    GetClientRect(host, &client);
    CHECK(client.right == 400 && client.bottom == 300);
    GetClientRect(window, &r);
    CHECK(r.right == 210 && r.bottom == 130);
    frame->forget();
}

void hostDestroysItsWindowFirst() {
    HostWindow window(400, 400);
    HWND host = static_cast<HWND>(window.parent());
    auto* frame = new CFrame(CRect(0, 0, 50, 50), host, nullptr);
    CHECK(frame->isOpen());
    DestroyWindow(host);
    CHECK(!frame->isOpen());
    frame->idle();
    frame->forget();
    CHECK(!classRegistered());
}

}  // namespace

int main() {
    platform::oleInitialize();
    auto window = std::make_unique<HostWindow>(400, 400);
    HWND host = static_cast<HWND>(window->parent());
    CHECK(host != nullptr);
    classIsSharedByLiveFrames(host);
    badParentsLeaveTheFrameClosed();
    paintingAndRouting(host);
    cursors(host);
    resizing(host);
    window.reset();
    hostDestroysItsWindowFirst();
    pumpMessages();
    platform::oleUninitialize();
    return minicheck::summary();
}
