#pragma once
// What the software canvas's handles point at. Private to gui/platform/soft.

#include "gui/platform/Platform.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tanuvo::gui {
namespace platform {

// Pixels are red | green << 8 | blue << 16 | alpha << 24; a monochrome surface holds 0 or 1.
struct Surface {
    int width = 0;
    int height = 0;
    bool monochrome = false;
    std::vector<std::uint32_t> pixels;

    Surface(int w, int h, bool mono, std::uint32_t fill);
    bool contains(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }
    std::uint32_t& at(int x, int y) { return pixels[std::size_t(y) * std::size_t(width) + x]; }
};

struct BitmapObject {
    Surface surface;
    bool stock = false;
};

struct PenObject {
    int style = kPenSolid;
    int width = 1;
    ColorRef color = 0;
    bool stock = false;
};

struct BrushObject {
    ColorRef color = 0;
    bool stock = false;
};

struct FontObject {
    FontRequest request{};
    bool stock = false;
};

struct DCObject {
    Window window = nullptr;  // set for window device contexts
    Bitmap bitmap = nullptr;  // selected bitmap (memory device contexts)
    Pen pen = nullptr;
    Brush brush = nullptr;
    Font font = nullptr;
    ColorRef bkColor = 0xFFFFFF;
    ColorRef textColor = 0;
    bool bkOpaque = true;
    int rop2 = 13;
    bool hasClip = false;
    IntRect clip{0, 0, 0, 0};
    int curX = 0;
    int curY = 0;

    Surface* target() const;
    // The clip intersected with the target's bounds.
    IntRect drawable() const;
};

struct WindowObject {
    void* parent = nullptr;
    IWindowHandler* handler = nullptr;
    Surface surface{0, 0, false, 0};
    bool hasInvalid = false;
    IntRect invalid{0, 0, 0, 0};
    int x = 0;  // position in the parent
    int y = 0;
    IDropHandler* dropHandler = nullptr;
    bool native = false;  // shown in a native window (NativeWindowSystem.h)
};

struct MenuObject {
    struct Item {
        int flags;
        int commandId;
        std::string text;
        Menu subMenu;
    };
    std::vector<Item> items;
};

// Shared by the canvas and the text renderer.
void putPixel(DCObject* dc, int x, int y, ColorRef color);
std::uint32_t toPixel(ColorRef color);
ColorRef toColorRef(std::uint32_t pixel);
Surface* windowSurface(Window window);
// Decodes a BMP file of 8, 24 or 32 bits per pixel; null when it is not one or is cut short.
Bitmap decodeBmp(const unsigned char* data, std::size_t size);

}  // namespace platform
}  // namespace tanuvo::gui
