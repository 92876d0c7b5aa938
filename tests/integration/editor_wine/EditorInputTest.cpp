// Opens the real plug-in DLL's editor in a host window and works it with synthesised input, as
// a user would: mouse drags, clicks with modifiers and the waveform pop-up, all through
// SendInput. What reaches the host is recorded by the host callback.
#include <windows.h>

#include <cmath>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "plugin/VstAbi.h"
#include "tests/integration/host/MiniCheck.h"
#include "tests/support/Hosts.h"

namespace {

// ---- a recording host ------------------------------------------------------------------------

using tanuvo::sound::vst::testing::HostCall;
using tanuvo::sound::vst::testing::HostCalls;
std::vector<HostCall>& gCalls = HostCalls::heard().calls;

std::vector<float> automated(int32_t index) {
    return HostCalls::heard().automated(index);
}

using minicheck::check;

std::string show(float v) {
    char text[32];
    std::snprintf(text, sizeof text, "%.9g", double(v));
    return text;
}

// ---- synthesised input ------------------------------------------------------------------------

// One step of a user's action; the input thread plays them with pauses in between, while the
// host thread runs the editor (and the controls' own tracking loops).
struct Action {
    enum Kind { kMove, kDown, kUp, kKeyDown, kKeyUp, kShiftDown, kShiftUp, kPause } kind;
    int x = 0;  // frame coordinates for moves; virtual key for keys; ms for pauses
    int y = 0;
};

HWND gFrame = nullptr;
DWORD gHostThread = 0;
constexpr UINT kScriptDone = WM_APP + 1;
constexpr DWORD kStepPause = 120;  // ms, several idle periods of a tracking loop

void sendMove(int x, int y) {
    POINT p{x, y};
    ClientToScreen(gFrame, &p);
    const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = LONG((p.x * 65535 + (w - 1) / 2) / (w - 1));
    input.mi.dy = LONG((p.y * 65535 + (h - 1) / 2) / (h - 1));
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &input, sizeof input);
    // A loaded machine may deliver the move late; a press must not land where the pointer was
    // before it.
    POINT now{};
    for (const DWORD end = GetTickCount() + 3000; GetTickCount() < end; Sleep(10)) {
        if (GetCursorPos(&now) && now.x == p.x && now.y == p.y) {
            break;
        }
    }
}

void sendButton(bool down) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
    SendInput(1, &input, sizeof input);
}

void sendKey(WORD key, bool down) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.wScan = WORD(MapVirtualKeyA(key, 0));
    input.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
    SendInput(1, &input, sizeof input);
}

// Wine takes the modifier state from the X server's pointer events again at every pointer move,
// so a Shift pressed only through SendInput is let go at the first move, unlike a real keyboard,
// which holds it in the X server too. So Shift is pressed both ways: through SendInput and in the
// X server (by a helper program speaking the XTEST extension).
std::string gXKeyCommand;  // "python script", Unix paths

void holdXShift(bool down) {
    if (gXKeyCommand.empty())
        return;
    std::string command = gXKeyCommand + (down ? " down" : " up");
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                       &startup, &process)) {
        WaitForSingleObject(process.hProcess, 10000);
        CloseHandle(process.hProcess);
        CloseHandle(process.hThread);
    }
}

void holdShift(bool down) {
    if (down)
        holdXShift(true);
    sendKey(VK_SHIFT, down);
    if (!down)
        holdXShift(false);
}

DWORD WINAPI playScript(void* parameter) {
    auto* script = static_cast<std::vector<Action>*>(parameter);
    for (const Action& a : *script) {
        switch (a.kind) {
            case Action::kMove:
                sendMove(a.x, a.y);
                break;
            case Action::kDown:
                sendButton(true);
                break;
            case Action::kUp:
                sendButton(false);
                break;
            case Action::kKeyDown:
                sendKey(WORD(a.x), true);
                break;
            case Action::kKeyUp:
                sendKey(WORD(a.x), false);
                break;
            case Action::kShiftDown:
            case Action::kShiftUp:
                holdShift(a.kind == Action::kShiftDown);
                break;
            case Action::kPause:
                Sleep(DWORD(a.x));
                break;
        }
        Sleep(kStepPause);
    }
    PostThreadMessageA(gHostThread, kScriptDone, 0, 0);
    return 0;
}

// ---- the host ---------------------------------------------------------------------------------

AEffect* gEffect = nullptr;

intptr_t dispatch(int32_t opcode, int32_t index = 0, intptr_t value = 0, void* ptr = nullptr) {
    return gEffect->dispatcher(gEffect, opcode, index, value, ptr, 0.0f);
}

// Runs the host's message loop, with editor idle calls, until the script has been played and
// the editor has had a few more idle calls to redraw.
void run(std::vector<Action> script) {
    HANDLE thread = CreateThread(nullptr, 0, playScript, &script, 0, nullptr);
    bool done = false;
    // Bounds only a hang: a loaded machine (or the 32-bit build under emulation) plays slowly.
    const DWORD deadline = GetTickCount() + 180000;
    while (!done && GetTickCount() < deadline) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == kScriptDone && msg.hwnd == nullptr)
                done = true;
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        dispatch(effEditIdle);
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    WaitForSingleObject(thread, 5000);
    CloseHandle(thread);
    for (int i = 0; i < 5; ++i) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
        dispatch(effEditIdle);
        Sleep(20);
    }
    if (!done)
        check(false, "the input script finished in time");
}

std::vector<Action> drag(POINT from, std::vector<POINT> path) {
    std::vector<Action> s{{Action::kMove, int(from.x), int(from.y)}, {Action::kDown}};
    for (POINT p : path)
        s.push_back({Action::kMove, int(p.x), int(p.y)});
    s.push_back({Action::kUp});
    return s;
}
std::vector<Action> click(POINT at) {
    return drag(at, {});
}
std::vector<Action> withKey(WORD key, std::vector<Action> inner) {
    inner.insert(inner.begin(), {Action::kKeyDown, key});
    inner.push_back({Action::kKeyUp, key});
    return inner;
}
// Opens the waveform pop-up and picks entry `index` with the keyboard.
std::vector<Action> chooseWave(int index) {
    std::vector<Action> s = click({119, 115});
    for (int i = 0; i <= index; ++i) {
        s.push_back({Action::kKeyDown, VK_DOWN});
        s.push_back({Action::kKeyUp, VK_DOWN});
    }
    s.push_back({Action::kKeyDown, VK_RETURN});
    s.push_back({Action::kKeyUp, VK_RETURN});
    return s;
}

// ---- what the editor shows --------------------------------------------------------------------

struct Pixels {
    int width = 0, height = 0;
    std::vector<COLORREF> data;
    COLORREF at(int x, int y) const { return data[size_t(y) * width + x]; }
};

Pixels capture() {
    RECT r;
    GetClientRect(gFrame, &r);
    Pixels p;
    p.width = r.right;
    p.height = r.bottom;
    HDC window = GetDC(gFrame);
    HDC memory = CreateCompatibleDC(window);
    HBITMAP bitmap = CreateCompatibleBitmap(window, p.width, p.height);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, p.width, p.height, window, 0, 0, SRCCOPY);
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x)
            p.data.push_back(GetPixel(memory, x, y));
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(gFrame, window);
    return p;
}

bool sameArea(const Pixels& a, const Pixels& b, RECT area) {
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            if (a.at(x, y) != b.at(x, y))
                return false;
    return true;
}

// The knobs are black discs on a dark red ground; an empty knob place shows no black.
int darkPixels(const Pixels& p, RECT area) {
    int n = 0;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x) {
            const COLORREF c = p.at(x, y);
            n += GetRValue(c) < 40 && GetGValue(c) < 40 && GetBValue(c) < 40;
        }
    return n;
}

// Frame coordinates of the controls.
const RECT kMixKnob{33, 58, 65, 90};
const RECT kThirdKnob{127, 58, 159, 90};
const RECT kFourthKnob{174, 58, 206, 90};
const RECT kMenu{39, 101, 199, 129};
POINT knobTop(RECT k) {
    return {k.left + 16, k.top + 2};
}
POINT knobMax(RECT k) {
    return {k.left + 27, k.top + 27};
}
POINT knobMin(RECT k) {
    return {k.left + 5, k.top + 27};
}
const POINT kPower{58, 261};
const POINT kReset{183, 259};

float parameter(int32_t index) {
    return gEffect->getParameter(gEffect, index);
}

// ---- the cases --------------------------------------------------------------------------------

void mixKnobDrag() {
    gEffect->setParameter(gEffect, 3, 0.0f);
    dispatch(effEditIdle);
    const Pixels before = capture();
    gCalls.clear();
    run(drag(knobTop(kMixKnob), {{kMixKnob.left + 22, kMixKnob.top + 4}, knobMax(kMixKnob)}));
    const std::vector<float> values = automated(3);
    check(!gCalls.empty() && gCalls.front().opcode == audioMasterBeginEdit &&
              gCalls.front().index == 3,
          "mix drag: begins an edit of parameter 3 first");
    check(!gCalls.empty() && gCalls.back().opcode == audioMasterEndEdit && gCalls.back().index == 3,
          "mix drag: ends the edit last");
    check(values.size() >= 2,
          "mix drag: automates along the way (" + std::to_string(values.size()) + " values)");
    check(!values.empty() && std::fabs(values.front() - 0.5f) < 0.03f,
          "mix drag: the press at the knob's top gives about 0.5 (" +
              (values.empty() ? std::string("none") : show(values.front())) + ")");
    check(!values.empty() && values.back() == 1.0f && parameter(3) == 1.0f,
          "mix drag: the lower right end gives 1.0");
    check(!sameArea(before, capture(), kMixKnob), "mix drag: the knob's image moved");

    gCalls.clear();
    run(withKey(VK_CONTROL, click(knobMax(kMixKnob))));
    check(automated(3) == std::vector<float>{0.5f} && parameter(3) == 0.5f,
          "Ctrl+click on the mix knob restores 0.5");
}

void handCursor() {
    run({{Action::kMove, 20, 300}});
    SetCursor(LoadCursor(nullptr, IDC_ARROW));
    dispatch(effEditIdle);
    check(GetCursor() != LoadCursor(nullptr, IDC_HAND), "cursor: no hand over the bare panel");
    run({{Action::kMove, knobTop(kMixKnob).x, knobTop(kMixKnob).y}});
    dispatch(effEditIdle);
    check(GetCursor() == LoadCursor(nullptr, IDC_HAND), "cursor: a hand over the mix knob");
}

void powerButton() {
    const float start = parameter(1);
    gCalls.clear();
    run(click(kPower));
    check(automated(1) == std::vector<float>{start == 0.0f ? 1.0f : 0.0f},
          "power button: one click toggles Power");
    run(click(kPower));
    check(parameter(1) == start, "power button: a second click toggles it back");
}

void resetButton() {
    for (int32_t index : {0, 3, 4, 5, 6, 7})
        gEffect->setParameter(gEffect, index, 0.2f);
    dispatch(effEditIdle);
    const Pixels before = capture();
    gCalls.clear();
    run(click(kReset));
    std::vector<std::pair<int32_t, float>> sent;
    for (const HostCall& call : gCalls)
        if (call.opcode == audioMasterAutomate)
            sent.push_back({call.index, call.value});
    const std::vector<std::pair<int32_t, float>> six = {{0, 1.0f}, {5, 0.25f}, {3, 1.0f},
                                                        {4, 1.0f}, {6, 1.0f},  {7, 0.5f}};
    check(sent.size() >= 6 &&
              std::vector<std::pair<int32_t, float>>(sent.begin(), sent.begin() + 6) == six,
          "reset: sends its six values in order (" + std::to_string(sent.size()) + " sent)");
    bool onlySix = true;
    for (auto& [index, value] : sent)
        onlySix = onlySix && index != 1 && index != 2 && index != 9;
    check(onlySix, "reset: leaves Power and the waveform alone and never sends its own tag");
    check(parameter(0) == 1.0f && parameter(5) == 0.25f && parameter(7) == 0.5f,
          "reset: the plug-in holds the values");
    check(!sameArea(before, capture(), kMixKnob), "reset: the mix knob followed");
}

void waveMenu() {
    gEffect->setParameter(gEffect, 2, 0.0f);
    dispatch(effEditIdle);
    const Pixels sine = capture();
    check(darkPixels(sine, kThirdKnob) < 20, "sine: the third knob place is empty");
    gCalls.clear();
    run(chooseWave(2));
    check(automated(2) == std::vector<float>{float(1.0 / 6) * 2.0f},
          "menu: choosing Triangle Wave sends 2/6");
    const Pixels triangle = capture();
    check(darkPixels(triangle, kThirdKnob) > 100, "triangle: the steps knob is shown");
    check(darkPixels(triangle, kFourthKnob) < 20, "triangle: the tone knob is not");
    check(!sameArea(sine, triangle, kMenu), "triangle: the menu shows another face");

    gCalls.clear();
    run(chooseWave(5));
    check(automated(2) == std::vector<float>{1.0f} && parameter(2) == 1.0f,
          "menu: choosing Noise(Short) sends exactly 1.0");
    check(darkPixels(capture(), kThirdKnob) < 20, "noise: the third knob place is empty again");
}

void dutyKnobEnds() {
    gEffect->setParameter(gEffect, 2, 1.0f / 6);
    dispatch(effEditIdle);
    check(darkPixels(capture(), kFourthKnob) > 100, "square: the tone knob is shown");
    gCalls.clear();
    run(drag(knobTop(kThirdKnob),
             {{kThirdKnob.left + 24, kThirdKnob.top + 6}, knobMax(kThirdKnob)}));
    std::vector<float> values = automated(5);
    check(!values.empty() && values.back() == 0.99f,
          "duty knob at its upper end sends 0.99 (" +
              (values.empty() ? std::string("none") : show(values.back())) + ")");
    gCalls.clear();
    run(drag(knobTop(kThirdKnob),
             {{kThirdKnob.left + 8, kThirdKnob.top + 6}, knobMin(kThirdKnob)}));
    values = automated(5);
    check(!values.empty() && values.back() == 0.01f,
          "duty knob at its lower end sends 0.01 (" +
              (values.empty() ? std::string("none") : show(values.back())) + ")");
}

// The slider's handle is 31 pixels high and travels 47; a free click grabs it at its middle.
void sliderShift() {
    const int x = 121;
    gEffect->setParameter(gEffect, 0, 0.5f);
    dispatch(effEditIdle);
    gCalls.clear();
    run(drag({x, 214}, {{x, 204}}));
    std::vector<float> plain = automated(0);
    const float plainStep = plain.size() >= 2 ? plain.back() - plain.front() : 0.0f;

    gCalls.clear();
    // Shift is pressed after the press, so the reference is the value at the press.
    // The pauses leave the editor time to take the press, and Shift, before the pointer moves.
    std::vector<Action> fine = {
        {Action::kMove, x, 214}, {Action::kDown},       {Action::kPause, 300},
        {Action::kShiftDown},    {Action::kPause, 300}, {Action::kMove, x, 209},
        {Action::kMove, x, 204}, {Action::kUp},         {Action::kShiftUp}};
    run(fine);
    std::vector<float> shifted = automated(0);
    const float fineStep = shifted.size() >= 2 ? shifted.back() - shifted.front() : 0.0f;
    check(std::fabs(plainStep - 10.0f / 47.0f) < 0.01f,
          "slider: 10 pixels move the volume by 10/47 (" + show(plainStep) + ")");
    check(std::fabs(fineStep * 10.0f - plainStep) < 0.01f,
          "slider: with Shift the same move is ten times finer (" + show(fineStep) + ")");
}

LRESULT CALLBACK hostWindowProc(HWND window, UINT message, WPARAM w, LPARAM l) {
    return DefWindowProcA(window, message, w, l);
}

std::string nativePath(std::string path) {
    // Build trees hand over Unix paths; Wine maps the root to drive Z.
    if (!path.empty() && path[0] == '/') {
        path = "Z:" + path;
        for (char& c : path)
            c = c == '/' ? '\\' : c;
    }
    return path;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s PLUGIN.dll [PYTHON XKEY-SCRIPT]\n", argv[0]);
        return 2;
    }
    if (argc >= 4)
        gXKeyCommand = nativePath(argv[2]) + " " + argv[3];
    HMODULE library = LoadLibraryA(nativePath(argv[1]).c_str());
    auto entry = library ? reinterpret_cast<AEffect*(VST_CALL*)(audioMasterCallback)>(
                               reinterpret_cast<void*>(GetProcAddress(library, "VSTPluginMain")))
                         : nullptr;
    if (!entry) {
        std::fprintf(stderr, "cannot load %s\n", argv[1]);
        return 1;
    }
    gEffect = entry(tanuvo::sound::vst::testing::recordingHost);
    gHostThread = GetCurrentThreadId();
    dispatch(effOpen);

    ERect* rect = nullptr;
    dispatch(effEditGetRect, 0, 0, &rect);
    check(rect && rect->right == 240 && rect->bottom == 320, "the editor is 240 x 320");

    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = hostWindowProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "EditorInputTestHost";
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    RegisterClassA(&windowClass);
    RECT outer{0, 0, 240, 320};
    AdjustWindowRect(&outer, WS_OVERLAPPEDWINDOW, FALSE);
    HWND host =
        CreateWindowExA(0, "EditorInputTestHost", "Bleepifier editor test",
                        WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, outer.right - outer.left,
                        outer.bottom - outer.top, nullptr, nullptr, windowClass.hInstance, nullptr);
    SetForegroundWindow(host);
    check(dispatch(effEditOpen, 0, 0, host) == 1, "the editor opens in the host window");
    gFrame = GetWindow(host, GW_CHILD);
    check(gFrame != nullptr, "the editor made its child window");
    if (!gFrame)
        return 1;
    run({});  // shows and paints the window

    mixKnobDrag();
    handCursor();
    powerButton();
    resetButton();
    waveMenu();
    dutyKnobEnds();
    if (!gXKeyCommand.empty())
        sliderShift();
    else
        minicheck::skip("slider with Shift: no helper to hold Shift in the X server");

    dispatch(effEditClose);
    check(GetWindow(host, GW_CHILD) == nullptr, "closing the editor removes its window");
    DestroyWindow(host);
    dispatch(effClose);
    FreeLibrary(library);
    return minicheck::summary();
}
