#pragma once
// The pop-up menu of the X11 window system. Private to gui/platform/x11.

#include "gui/platform/Platform.h"

#include <X11/Xlib.h>

namespace tanuvo::gui {
namespace platform {
namespace x11 {

// Shows the menu as an override-redirect window with its top-left corner at the screen point and
// waits for a choice by mouse or keyboard, as a system pop-up menu does. Answers the chosen
// command id, or -1 when the menu was dismissed.
int runPopupMenu(Display* display, int screen, Menu menu, int x, int y);

}  // namespace x11
}  // namespace platform
}  // namespace tanuvo::gui
