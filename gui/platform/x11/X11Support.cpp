#include "gui/platform/x11/X11Support.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace tanuvo::gui {
namespace platform {
namespace x11 {

namespace {

struct DisplayErrors {
    Display* display;
    unsigned count;
    unsigned long resource;
};

// All on the host's user-interface thread, as every editor call is.
std::vector<DisplayErrors> gDisplays;
XErrorHandler gPrevious = nullptr;
int gTrapDepth = 0;

DisplayErrors* findDisplay(Display* display) {
    for (auto& d : gDisplays)
        if (d.display == display)
            return &d;
    return nullptr;
}

int onError(Display* display, XErrorEvent* event) {
    if (DisplayErrors* d = findDisplay(display)) {
        ++d->count;
        d->resource = event->resourceid;
        return 0;
    }
    return gPrevious ? gPrevious(display, event) : 0;
}

int channelShift(unsigned long mask) {
    int shift = 0;
    while (mask && !(mask & 1)) {
        mask >>= 1;
        ++shift;
    }
    return shift;
}

int channelBits(unsigned long mask) {
    mask >>= channelShift(mask);
    int bits = 0;
    while (mask & 1) {
        mask >>= 1;
        ++bits;
    }
    return bits;
}

bool hostIsLittleEndian() {
    const std::uint16_t probe = 1;
    unsigned char first = 0;
    std::memcpy(&first, &probe, 1);
    return first == 1;
}

}  // namespace

void adoptDisplay(Display* display) {
    if (display && !findDisplay(display))
        gDisplays.push_back({display, 0, 0});
}

void forgetDisplay(Display* display) {
    gDisplays.erase(
        std::remove_if(gDisplays.begin(), gDisplays.end(),
                       [display](const DisplayErrors& d) { return d.display == display; }),
        gDisplays.end());
}

ErrorTrap::ErrorTrap(Display* display) : display(display) {
    if (gTrapDepth++ == 0)
        gPrevious = XSetErrorHandler(onError);
    DisplayErrors* d = findDisplay(display);
    errorsAtStart = d ? d->count : 0;
}

ErrorTrap::~ErrorTrap() {
    if (display)
        XSync(display, False);
    if (--gTrapDepth == 0) {
        // Leave a handler that someone installed meanwhile in place.
        XErrorHandler current = XSetErrorHandler(gPrevious);
        if (current != onError)
            XSetErrorHandler(current);
        gPrevious = nullptr;
    }
}

bool ErrorTrap::sync() {
    if (!display)
        return true;
    XSync(display, False);
    DisplayErrors* d = findDisplay(display);
    return d && d->count != errorsAtStart;
}

unsigned long ErrorTrap::failedResource() const {
    DisplayErrors* d = findDisplay(display);
    return d ? d->resource : 0;
}

void ErrorTrap::closeDisplay() {
    if (!display)
        return;
    XCloseDisplay(display);
    forgetDisplay(display);
    display = nullptr;
}

bool chooseVisual(Display* display, int screen, VisualChoice* out) {
    XVisualInfo info;
    Visual* visual = nullptr;
    int depth = 0;
    if (XMatchVisualInfo(display, screen, 24, TrueColor, &info)) {
        visual = info.visual;
        depth = info.depth;
    } else {
        Visual* fallback = DefaultVisual(display, screen);
        XVisualInfo pattern;
        pattern.visualid = XVisualIDFromVisual(fallback);
        int count = 0;
        XVisualInfo* found = XGetVisualInfo(display, VisualIDMask, &pattern, &count);
        if (found && count > 0 && found[0].c_class == TrueColor) {
            visual = fallback;
            depth = found[0].depth;
        }
        if (found)
            XFree(found);
    }
    if (!visual)
        return false;
    out->visual = visual;
    out->depth = depth;
    out->colormap = XCreateColormap(display, RootWindow(display, screen), visual, AllocNone);
    return true;
}

SurfaceImage::~SurfaceImage() {
    release();
}

void SurfaceImage::release() {
    if (image)
        XDestroyImage(image);  // frees the pixel buffer too
    image = nullptr;
}

bool SurfaceImage::resize(Display* display, const VisualChoice& visual, int width, int height) {
    release();
    width = std::max(1, width);
    height = std::max(1, height);
    image = XCreateImage(display, visual.visual, unsigned(visual.depth), ZPixmap, 0, nullptr,
                         unsigned(width), unsigned(height), 32, 0);
    if (!image)
        return false;
    image->data = static_cast<char*>(std::calloc(std::size_t(image->bytes_per_line), height));
    if (!image->data) {
        XDestroyImage(image);
        image = nullptr;
        return false;
    }
    const unsigned long masks[3] = {visual.visual->red_mask, visual.visual->green_mask,
                                    visual.visual->blue_mask};
    for (int c = 0; c < 3; ++c) {
        shifts[c] = channelShift(masks[c]);
        bits[c] = channelBits(masks[c]);
    }
    fast = image->bits_per_pixel == 32 && bits[0] == 8 && bits[1] == 8 && bits[2] == 8 &&
           (image->byte_order == LSBFirst) == hostIsLittleEndian();
    return true;
}

void SurfaceImage::put(Display* display, Drawable target, GC gc, const std::uint32_t* pixels,
                       int width, int height) {
    if (!image || !pixels)
        return;
    const int w = std::min(width, image->width);
    const int h = std::min(height, image->height);
    for (int y = 0; y < h; ++y) {
        const std::uint32_t* row = pixels + std::size_t(y) * std::size_t(width);
        if (fast) {
            auto* out = reinterpret_cast<std::uint32_t*>(image->data +
                                                         std::size_t(y) * image->bytes_per_line);
            for (int x = 0; x < w; ++x) {
                const std::uint32_t p = row[x];
                out[x] = ((p & 0xFF) << shifts[0]) | (((p >> 8) & 0xFF) << shifts[1]) |
                         (((p >> 16) & 0xFF) << shifts[2]);
            }
            continue;
        }
        for (int x = 0; x < w; ++x) {
            const std::uint32_t p = row[x];
            unsigned long value = 0;
            for (int c = 0; c < 3; ++c) {
                const unsigned long channel = (p >> (8 * c)) & 0xFF;
                const unsigned long scaled =
                    bits[c] >= 8 ? channel << (bits[c] - 8) : channel >> (8 - bits[c]);
                value |= scaled << shifts[c];
            }
            XPutPixel(image, x, y, value);
        }
    }
    XPutImage(display, target, gc, image, 0, 0, 0, 0, unsigned(w), unsigned(h));
}

}  // namespace x11
}  // namespace platform
}  // namespace tanuvo::gui
