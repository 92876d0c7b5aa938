#pragma once
// Pieces shared by the X11 window system and its pop-up menus: error trapping on the plug-in's
// own connections, the visual the surfaces are shown with, and surface-to-image conversion.
// Private to gui/platform/x11.

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdint>

namespace tanuvo::gui {
namespace platform {
namespace x11 {

// While any trap is alive, protocol errors of the plug-in's connections are recorded instead of
// ending the process; errors of other connections (the host's) go to the handler that was
// installed before. The outermost trap restores that handler.
class ErrorTrap {
  public:
    explicit ErrorTrap(Display* display);
    ~ErrorTrap();
    ErrorTrap(const ErrorTrap&) = delete;
    ErrorTrap& operator=(const ErrorTrap&) = delete;

    // Waits for the server to process everything sent; true when an error came back since the
    // trap was made. failedResource() names the resource of the last error.
    bool sync();
    unsigned long failedResource() const;
    // Closes the display inside the trap, so errors reported while closing are caught too.
    void closeDisplay();

  private:
    Display* display;
    unsigned errorsAtStart;
};

// Makes the display's errors trappable; forget it before its pointer becomes invalid.
void adoptDisplay(Display* display);
void forgetDisplay(Display* display);

// A true-colour visual for the surfaces: 24 bits when the screen has one, else the default
// visual when that is true colour. The colormap is created for the visual and must be freed.
struct VisualChoice {
    Visual* visual = nullptr;
    int depth = 0;
    Colormap colormap = 0;
};
bool chooseVisual(Display* display, int screen, VisualChoice* out);

// A client-side image of one size that takes surface pixels (red | green << 8 | blue << 16).
class SurfaceImage {
  public:
    SurfaceImage() = default;
    ~SurfaceImage();
    SurfaceImage(const SurfaceImage&) = delete;
    SurfaceImage& operator=(const SurfaceImage&) = delete;

    bool resize(Display* display, const VisualChoice& visual, int width, int height);
    // Converts the pixels (rows of `width`, at most the image's size) and puts them on the
    // drawable at its origin.
    void put(Display* display, Drawable target, GC gc, const std::uint32_t* pixels, int width,
             int height);
    void release();

  private:
    XImage* image = nullptr;
    int shifts[3] = {0, 0, 0};
    int bits[3] = {8, 8, 8};
    bool fast = false;  // 32-bit pixels with 8-bit channels in host order
};

}  // namespace x11
}  // namespace platform
}  // namespace tanuvo::gui
