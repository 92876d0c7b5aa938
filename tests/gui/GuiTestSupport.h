#pragma once
// Helpers for drawing tests on the software canvas: offscreen pixels and bitmaps made in code.

#include "gui/CBitmap.h"
#include "gui/CDrawContext.h"
#include "gui/platform/Platform.h"

#include <cstdint>
#include <vector>

namespace tanuvo::gui {
namespace testing {

// Reads an offscreen context's pixels as colours; row-major, width * height entries.
inline std::vector<CColor> pixelsOf(COffscreenContext& context) {
    const int w = int(context.getWidth()), h = int(context.getHeight());
    std::vector<std::uint8_t> rgba(std::size_t(w) * h * 4);
    platform::readPixels(context.getSystemContext(), 0, 0, w, h, rgba.data());
    std::vector<CColor> out(std::size_t(w) * h);
    for (std::size_t i = 0; i < out.size(); ++i)
        out[i] = CColor{rgba[4 * i], rgba[4 * i + 1], rgba[4 * i + 2], 255};
    return out;
}

inline CColor pixelAt(COffscreenContext& context, int x, int y) {
    std::uint8_t rgba[4] = {};
    platform::readPixels(context.getSystemContext(), x, y, 1, 1, rgba);
    return CColor{rgba[0], rgba[1], rgba[2], 255};
}

// A bitmap whose pixel (x, y) is given by a function.
template <typename F>
CBitmap* makeBitmap(int width, int height, F colorAt) {
    std::vector<std::uint8_t> rgba(std::size_t(width) * height * 4);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            CColor c = colorAt(x, y);
            std::uint8_t* p = &rgba[4 * (std::size_t(y) * width + x)];
            p[0] = c.red;
            p[1] = c.green;
            p[2] = c.blue;
            p[3] = 255;
        }
    return new CBitmap(width, height, rgba.data());
}

// Bounding box of the pixels that differ from the background; empty when none do.
inline CRect inkBox(COffscreenContext& context, const CColor& background) {
    const auto px = pixelsOf(context);
    const int w = int(context.getWidth()), h = int(context.getHeight());
    CRect box(w, h, 0, 0);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (px[std::size_t(y) * w + x] != background) {
                box.left = std::min<CCoord>(box.left, x);
                box.top = std::min<CCoord>(box.top, y);
                box.right = std::max<CCoord>(box.right, x + 1);
                box.bottom = std::max<CCoord>(box.bottom, y + 1);
            }
    return box.right > box.left ? box : CRect();
}

}  // namespace testing
}  // namespace tanuvo::gui
