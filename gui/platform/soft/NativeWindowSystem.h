#pragma once
// A real window system that shows the software platform's windows inside a host's native
// window. Where one is linked in, frames whose parent is a native window get a native child that
// presents the software surface and feeds input back; without one the platform stays headless.

#include <cstdint>

#include "gui/platform/Platform.h"

namespace tanuvo::gui {
namespace platform {

class INativeWindowSystem {
  public:
    virtual ~INativeWindowSystem() = default;
    virtual bool isValidParent(void* parent) = 0;
    // Creates the native child for a software window; false when the parent or system refuses.
    virtual bool attach(Window window, void* parent) = 0;
    virtual void detach(Window window) = 0;
    virtual void resized(Window window) = 0;
    // Shows the window's surface on screen.
    virtual void present(Window window) = 0;
    // Delivers the window's pending events: exposure, presses, wheel, destruction.
    virtual void processEvents(Window window) = 0;
    virtual bool screenOrigin(Window window, int* x, int* y) = 0;
    // The native child's id as the window system names it (an X window id), 0 without one; for
    // hosts that take the editor's own window.
    virtual std::uintptr_t nativeId(Window window) = 0;
    // Pointer position on screen and held buttons and modifiers (KeyBits); false when no
    // native window is open.
    virtual bool pointerState(int* x, int* y, int* keyBits) = 0;
    virtual void setCursor(int type) = 0;
    virtual int trackPopupMenu(Menu menu, bool rightButton, int x, int y, Window owner) = 0;
};

// The linked window system, or null when the build has none.
INativeWindowSystem* nativeWindowSystem();

}  // namespace platform
}  // namespace tanuvo::gui
