// The editor worked with real (synthesised) mouse input, as a user works it: every
// audioMasterBeginEdit and audioMasterEndEdit the host hears names a parameter (0 to 7) and is
// paired, around the reset button too; and a host that closes the editor from audioMasterIdle or
// audioMasterAutomate in the middle of a drag or a click gets its gesture ended, not a crash.
#include <windows.h>

#include <vector>

#include "HostWindow.h"
#include "Validator.h"

namespace validator {
namespace {

struct Step {
    enum Kind { kMove, kDown, kUp, kKey } kind;
    int x = 0;  // editor coordinates; the virtual key of kKey
    int y = 0;
};

HWND gEditor = nullptr;
DWORD gHostThread = 0;
constexpr UINT kPlayed = WM_APP + 7;

DWORD WINAPI play(void* parameter) {
    for (const Step& step : *static_cast<std::vector<Step>*>(parameter)) {
        INPUT input{};
        input.type = INPUT_MOUSE;
        if (step.kind == Step::kKey) {
            INPUT key[2] = {};
            for (INPUT& k : key) {
                k.type = INPUT_KEYBOARD;
                k.ki.wVk = WORD(step.x);
                k.ki.wScan = WORD(MapVirtualKeyA(UINT(step.x), 0));
            }
            key[1].ki.dwFlags = KEYEVENTF_KEYUP;
            SendInput(2, key, sizeof(INPUT));
            Sleep(120);
            continue;
        }
        if (step.kind == Step::kMove) {
            POINT p{step.x, step.y};
            ClientToScreen(gEditor, &p);
            const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
            input.mi.dx = LONG((p.x * 65535 + (w - 1) / 2) / (w - 1));
            input.mi.dy = LONG((p.y * 65535 + (h - 1) / 2) / (h - 1));
            input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
        } else {
            input.mi.dwFlags = step.kind == Step::kDown ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
        }
        SendInput(1, &input, sizeof input);
        if (step.kind == Step::kMove) {
            // A loaded machine may deliver the move late; a press must not land where the
            // pointer was before it.
            POINT target{step.x, step.y}, now{};
            ClientToScreen(gEditor, &target);
            for (const DWORD end = GetTickCount() + 3000; GetTickCount() < end; Sleep(10)) {
                if (GetCursorPos(&now) && now.x == target.x && now.y == target.y) {
                    break;
                }
            }
        }
        Sleep(120);  // several idle periods of a tracking loop
    }
    PostThreadMessageA(gHostThread, kPlayed, 0, 0);
    return 0;
}

// The host's message loop with editor idles while the steps are played on another thread.
void run(Plugin& p, HostWindow& window, std::vector<Step> steps) {
    HANDLE thread = CreateThread(nullptr, 0, play, &steps, 0, nullptr);
    bool played = false;
    for (const DWORD end = GetTickCount() + 20000; !played && GetTickCount() < end;) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            played = played || (message.message == kPlayed && message.hwnd == nullptr);
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        p.call(effEditIdle);
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    WaitForSingleObject(thread, 5000);
    CloseHandle(thread);
    for (int i = 0; i < 5; ++i) {
        window.pump();
        p.call(effEditIdle);
        Sleep(20);
    }
}

std::vector<Step> drag(POINT from, POINT to) {
    return {{Step::kMove, int(from.x), int(from.y)},
            {Step::kDown},
            {Step::kMove, (from.x + to.x) / 2, (from.y + to.y) / 2},
            {Step::kMove, int(to.x), int(to.y)},
            {Step::kUp}};
}
std::vector<Step> click(POINT at) {
    return {{Step::kMove, int(at.x), int(at.y)}, {Step::kDown}, {Step::kUp}};
}

// The mix knob from its top to its upper end, the volume slider's handle, the reset and power
// buttons, and the waveform pop-up's fourth entry chosen with the keyboard.
const std::vector<Step> kKnobDrag = drag({49, 60}, {60, 85});
const std::vector<Step> kSliderDrag = drag({121, 190}, {121, 210});
const std::vector<Step> kResetClick = click({183, 259});
const std::vector<Step> kPowerClick = click({58, 261});
std::vector<Step> menuChoice() {
    std::vector<Step> steps = click({119, 115});
    for (int i = 0; i < 4; ++i) {
        steps.push_back({Step::kKey, VK_DOWN});
    }
    steps.push_back({Step::kKey, VK_RETURN});
    return steps;
}

int32_t gCloseOn = -1;
bool gClosed = false;

void closeInCallback(AEffect* effect, int32_t opcode) {
    if (opcode != gCloseOn) {
        return;
    }
    gCloseOn = -1;
    gClosed = true;
    effect->dispatcher(effect, effEditClose, 0, 0, nullptr, 0.0f);
}

// The gesture calls the host recorded from `from` on: how many, and whether each names a
// parameter, ends before the next begins and holds automation of its own parameter only.
bool paired(size_t from, int* count) {
    const std::vector<HostCall>& calls = TestHost::instance().calls;
    int32_t open = -1;
    bool ok = true;
    *count = 0;
    for (size_t i = from; i < calls.size(); ++i) {
        const HostCall& call = calls[i];
        const bool gesture =
            call.opcode == audioMasterBeginEdit || call.opcode == audioMasterEndEdit;
        if (!gesture && call.opcode != audioMasterAutomate) {
            continue;
        }
        *count += gesture ? 1 : 0;
        ok = ok && call.index >= 0 && call.index < kParameterCount;
        if (call.opcode == audioMasterBeginEdit) {
            ok = ok && open == -1;
            open = call.index;
        } else if (call.opcode == audioMasterEndEdit) {
            ok = ok && open == call.index;
            open = -1;
        } else {
            ok = ok && open == call.index;
        }
    }
    return ok && open == -1;
}

bool openEditor(Plugin& p, HostWindow& window) {
    if (p.call(effEditOpen, 0, 0, window.parent()) != 1) {
        return false;
    }
    gEditor = GetWindow(static_cast<HWND>(window.parent()), GW_CHILD);
    SetForegroundWindow(static_cast<HWND>(window.parent()));
    run(p, window, {});  // shown and painted
    return gEditor != nullptr;
}

}  // namespace

CHECK_GROUP("gestures",
            "editor gestures name parameters 0-7 and pair up; the host may close the "
            "editor from idle or automate inside a gesture") {
    Plugin p;
    HostWindow window(240, 320);
    gHostThread = GetCurrentThreadId();
    if (!check(p.ok() && window.ok() && openEditor(p, window), "editor open in a host window")) {
        return;
    }
    TestHost::instance().onCall = closeInCallback;

    int count = 0;
    p.set(kMix, 0.0f);
    size_t from = TestHost::instance().calls.size();
    run(p, window, kKnobDrag);
    bool ok = paired(from, &count);
    check(ok && count >= 2, format("knob drag: %d begin/end calls, indices 0-7, paired", count));
    for (int32_t index : {kVolume, kMix, kDepth, kDutyRatio, kTone, kSteps}) {
        p.set(index, 0.2f);
    }
    from = TestHost::instance().calls.size();
    run(p, window, kResetClick);
    ok = paired(from, &count);
    check(
        ok && count >= 12,
        format("reset: %d begin/end calls, each change in a gesture of its own parameter", count));

    struct Case {
        const char* what;
        std::vector<Step> steps;
        bool idles;  // whether the gesture calls the host's idle (a menu choice does not)
    };
    const Case cases[] = {{"knob drag", kKnobDrag, true},
                          {"slider drag", kSliderDrag, true},
                          {"reset click", kResetClick, true},
                          {"power click", kPowerClick, false},
                          {"menu choice", menuChoice(), false}};
    for (int32_t closeOn : {int32_t(audioMasterIdle), int32_t(audioMasterAutomate)}) {
        for (const Case& c : cases) {
            if (closeOn == audioMasterIdle && !c.idles) {
                continue;
            }
            const char* caller = closeOn == audioMasterIdle ? "idle" : "automate";
            p.set(kMix, 0.0f);
            p.set(kVolume, 0.5f);
            p.call(effEditIdle);
            from = TestHost::instance().calls.size();
            gClosed = false;
            gCloseOn = closeOn;
            run(p, window, c.steps);
            gCloseOn = -1;
            const bool gone = GetWindow(static_cast<HWND>(window.parent()), GW_CHILD) == nullptr;
            ok = paired(from, &count);
            check(gClosed && gone && ok,
                  format("%s, editor closed from %s: window gone, %d begin/end calls paired",
                         c.what, caller, count));
            if (!check(openEditor(p, window), format("editor opens again after the %s", c.what))) {
                break;
            }
        }
    }
    TestHost::instance().onCall = nullptr;
    p.call(effEditClose);
}

}  // namespace validator
