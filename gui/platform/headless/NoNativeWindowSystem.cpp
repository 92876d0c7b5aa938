// Builds without a native window system keep the software platform headless.

#include "gui/platform/soft/NativeWindowSystem.h"

namespace tanuvo::gui {
namespace platform {

INativeWindowSystem* nativeWindowSystem() {
    return nullptr;
}

}  // namespace platform
}  // namespace tanuvo::gui
