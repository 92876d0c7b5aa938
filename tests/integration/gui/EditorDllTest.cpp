// The editor through the real plug-in DLL, as a Win32 host drives it under Wine: bad parents,
// two editors sharing the window class, painting from the DLL's own bitmaps, wheel and keys
// reaching the host as automation, the hand cursor, and closing in every order.
// Usage: editor_dll_test <path to the plug-in DLL>

#include <windows.h>

#include "HostWindow.h"
#include "MiniCheck.h"
#include "plugin/VstAbi.h"
#include "tests/support/Hosts.h"

#include <cstdio>
#include <memory>
#include <vector>

namespace {

using tanuvo::sound::vst::testing::HostCalls;
using tanuvo::sound::vst::testing::recordingHost;

// The parameter indices the plug-in automated since the last clear.
std::vector<int32_t> automated() {
    std::vector<int32_t> out;
    for (const auto& call : HostCalls::heard().copy())
        if (call.opcode == audioMasterAutomate)
            out.push_back(call.index);
    return out;
}

struct Plugin {
    AEffect* effect = nullptr;
    intptr_t call(int32_t opcode, int32_t index = 0, intptr_t value = 0, void* ptr = nullptr,
                  float opt = 0.0f) {
        return effect->dispatcher(effect, opcode, index, value, ptr, opt);
    }
};

COLORREF bitmapPixel(HMODULE dll, int id, int x, int y) {
    HBITMAP bitmap = LoadBitmapA(dll, MAKEINTRESOURCEA(id));
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    COLORREF c = GetPixel(memory, x, y);
    SelectObject(memory, previous);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    DeleteObject(bitmap);
    return c;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::printf("usage: %s <plug-in dll>\n", argv[0]);
        return 2;
    }
    HMODULE dll = LoadLibraryA(argv[1]);
    CHECK(dll != nullptr);
    if (!dll)
        return 1;
    auto entry = reinterpret_cast<VstPluginMainProc>(
        reinterpret_cast<void*>(GetProcAddress(dll, "VSTPluginMain")));
    CHECK(entry != nullptr);
    if (!entry)
        return 1;
    char className[64];
    std::snprintf(className, sizeof className, "Plugin%p", static_cast<void*>(dll));
    WNDCLASSA info;

    Plugin a{entry(recordingHost)}, b{entry(recordingHost)};
    CHECK(a.effect && b.effect);
    if (!a.effect || !b.effect)
        return 1;
    a.call(effOpen);
    b.call(effOpen);

    ERect* rect = nullptr;
    CHECK(a.call(effEditGetRect, 0, 0, &rect) == 1 && rect);
    const int width = rect ? rect->right - rect->left : 240;
    const int height = rect ? rect->bottom - rect->top : 320;

    // Bad parents answer 0 and leave the plug-in working.
    CHECK(a.call(effEditOpen, 0, 0, nullptr) == 0);
    CHECK(a.call(effEditOpen, 0, 0, reinterpret_cast<void*>(0x1234)) == 0);
    a.call(effEditIdle);
    CHECK(!GetClassInfoA(dll, className, &info));

    auto windowA = std::make_unique<HostWindow>(width, height);
    auto windowB = std::make_unique<HostWindow>(width, height);
    HWND hostA = static_cast<HWND>(windowA->parent());
    HWND hostB = static_cast<HWND>(windowB->parent());
    CHECK(a.call(effEditOpen, 0, 0, hostA) == 1);
    CHECK(b.call(effEditOpen, 0, 0, hostB) == 1);
    HWND child = FindWindowExA(hostA, nullptr, className, nullptr);
    CHECK(child != nullptr);
    CHECK(FindWindowExA(hostB, nullptr, className, nullptr) != nullptr);
    CHECK(GetClassInfoA(dll, className, &info));

    // Painting shows the skin from the DLL's own resources.
    UpdateWindow(child);
    HDC dc = GetDC(child);
    const COLORREF painted = GetPixel(dc, 120, 3);
    ReleaseDC(child, dc);
    CHECK(painted == bitmapPixel(dll, 128, 120, 3));

    // The wheel over the mix knob and the arrow keys on the focused control automate parameters.
    POINT overMix{49, 74};
    ClientToScreen(child, &overMix);
    HostCalls::heard().clear();
    SendMessageA(child, WM_MOUSEWHEEL, MAKEWPARAM(0, WORD(-120)), MAKELPARAM(overMix.x, overMix.y));
    SendMessageA(child, WM_MOUSEWHEEL, MAKEWPARAM(0, 120), MAKELPARAM(overMix.x, overMix.y));
    CHECK(!automated().empty() && automated().front() == 3);
    HostCalls::heard().clear();
    CHECK(a.call(effEditKeyDown, 0, VKEY_TAB, nullptr, 0.0f) == 1);
    a.call(effEditKeyDown, 0, VKEY_DOWN, nullptr, 0.0f);
    a.call(effEditKeyDown, 0, VKEY_UP, nullptr, 0.0f);
    CHECK(!automated().empty());
    CHECK(a.call(effEditKeyDown, 'x', 0, nullptr, 0.0f) == 0);

    // Over a control, idle shows the hand cursor.
    SetCursorPos(overMix.x, overMix.y);
    a.call(effEditIdle);
    CHECK(GetCursor() == LoadCursor(nullptr, IDC_HAND));

    // Closing one editor keeps the class for the other; closing twice and idling closed is safe.
    a.call(effEditClose);
    CHECK(!IsWindow(child));
    CHECK(GetClassInfoA(dll, className, &info));
    a.call(effEditClose);
    a.call(effEditIdle);
    // The second plug-in is deleted with its editor still open: window and class go with it.
    HWND childB = FindWindowExA(hostB, nullptr, className, nullptr);
    b.call(effClose);
    CHECK(!IsWindow(childB));
    CHECK(!GetClassInfoA(dll, className, &info));
    // The first plug-in still opens again.
    CHECK(a.call(effEditOpen, 0, 0, hostA) == 1);
    a.call(effEditIdle);
    a.call(effEditClose);
    a.call(effClose);

    windowA.reset();
    windowB.reset();
    FreeLibrary(dll);
    return minicheck::summary();
}
