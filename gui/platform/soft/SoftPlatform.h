#pragma once
// Controls of the software platform for headless use: stand-in host windows, injected input and
// read-back of what was drawn. Tests use these where a real system would have a user.

#include "gui/platform/Platform.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace tanuvo::gui {
namespace platform {
namespace soft {

// A top-level window of a pretend host, usable as the parent handed to an editor.
void* createHostWindow(int width, int height);
void destroyHostWindow(void* host);
bool hostWindowSize(void* host, int* width, int* height);
std::vector<Window> childWindows(void* host);

// The frame class: how often it was registered and whether it is registered now.
int frameClassRegistrations();
bool frameClassRegistered();

// Reads a window's pixels (red, green, blue, alpha per pixel, rows top first).
std::vector<std::uint8_t> windowPixels(Window window, int* width, int* height);
// Delivers the pending paint of one window, as the message loop would; false when none pending.
bool paintWindow(Window window);
void sendMouseDown(Window window, int x, int y);
void sendWheel(Window window, int x, int y, int units);
IWindowHandler* windowHandler(Window window);
IDropHandler* dropHandler(Window window);

// Input as the system would report it. A provider, when set, is asked on every poll, which lets
// a test release a button while a control tracks the mouse.
void setAsyncKeyState(int keyBits);
void setAsyncKeyStateProvider(std::function<int()> provider);
void setButtonsSwapped(bool swapped);
void setCursorScreenPos(int x, int y);

// Cursor type of a cursor handle (0 for the arrow).
int cursorType(Cursor cursor);

// Pop-up menus: the command the next tracking answers (-1: dismissed) and what was shown.
struct MenuItemRecord {
    int flags;
    int commandId;
    std::string text;
    bool hasSubMenu;
};
void setNextMenuChoice(int commandId);
std::vector<MenuItemRecord> lastShownMenu();

// OLE as a thread sees it: whether initialisation is refused (a thread already in another
// apartment), and successful initialisations minus uninitialisations so far.
void setOleRefuses(bool refuses);
int oleDepth();

// Resets every setting above to its start value.
void resetInput();

}  // namespace soft
}  // namespace platform
}  // namespace tanuvo::gui
