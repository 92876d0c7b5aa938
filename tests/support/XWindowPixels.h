#pragma once
// A window's pixels as the X server shows them, and the headless editor's in the same packing.

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdint>
#include <vector>

namespace tanuvo::sound::testing {

// The window's pixels as red | green << 8 | blue << 16, row by row; empty if it cannot be read.
inline std::vector<std::uint32_t> windowPixels(Display* display, ::Window window) {
    std::vector<std::uint32_t> out;
    XWindowAttributes a;
    if (!window || !XGetWindowAttributes(display, window, &a))
        return out;
    XImage* image =
        XGetImage(display, window, 0, 0, unsigned(a.width), unsigned(a.height), AllPlanes, ZPixmap);
    if (!image)
        return out;
    auto channel = [](unsigned long pixel, unsigned long mask) {
        int shift = 0;
        while (mask && !(mask & 1)) {
            mask >>= 1;
            ++shift;
        }
        return std::uint32_t((pixel >> shift) & mask);
    };
    for (int y = 0; y < a.height; ++y)
        for (int x = 0; x < a.width; ++x) {
            const unsigned long p = XGetPixel(image, x, y);
            out.push_back(channel(p, a.visual->red_mask) | channel(p, a.visual->green_mask) << 8 |
                          channel(p, a.visual->blue_mask) << 16);
        }
    XDestroyImage(image);
    return out;
}

// RGBA bytes (as the software canvas holds them) in the same packing, for comparison.
inline std::vector<std::uint32_t> packedPixels(const std::vector<std::uint8_t>& rgba) {
    std::vector<std::uint32_t> out;
    for (std::size_t i = 0; i + 3 < rgba.size(); i += 4)
        out.push_back(rgba[i] | rgba[i + 1] << 8 | rgba[i + 2] << 16);
    return out;
}

}  // namespace tanuvo::sound::testing
