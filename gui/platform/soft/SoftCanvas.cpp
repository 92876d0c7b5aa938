// Device contexts, drawing objects, lines, fills and blits on the software canvas. The pixel
// rules follow GDI's: rectangles exclude their right and bottom edges, a line leaves out its end
// point, monochrome bitmaps convert through the background and text colours.

#include "gui/platform/soft/NativeWindowSystem.h"
#include "gui/platform/soft/SoftObjects.h"

#include <algorithm>
#include <cstdlib>

namespace tanuvo::gui {
namespace platform {

namespace {

constexpr std::uint32_t kRgbMask = 0x00FFFFFF;
constexpr std::uint32_t kOpaque = 0xFF000000;

PenObject gStockBlackPen{kPenSolid, 1, 0, true};
PenObject gStockNullPen{kPenNull, 1, 0, true};
BrushObject gStockWhiteBrush{0xFFFFFF, true};
FontObject gStockFont{{-16, 400, false, false, 0, 0, 0, "Arial"}, true};

BitmapObject* stockBitmap() {
    static BitmapObject bitmap{Surface(1, 1, true, 0), true};
    return &bitmap;
}

IntRect intersect(const IntRect& a, const IntRect& b) {
    IntRect r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
              std::min(a.bottom, b.bottom)};
    if (r.right < r.left)
        r.right = r.left;
    if (r.bottom < r.top)
        r.bottom = r.top;
    return r;
}

bool inside(const IntRect& r, int x, int y) {
    return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

}  // namespace

Surface::Surface(int w, int h, bool mono, std::uint32_t fill)
    : width(std::max(0, w)),
      height(std::max(0, h)),
      monochrome(mono),
      pixels(std::size_t(width) * std::size_t(height), fill) {}

std::uint32_t toPixel(ColorRef color) {
    return (color & kRgbMask) | kOpaque;
}
ColorRef toColorRef(std::uint32_t pixel) {
    return pixel & kRgbMask;
}

Surface* DCObject::target() const {
    if (window)
        return windowSurface(window);
    return bitmap ? &bitmap->surface : nullptr;
}

IntRect DCObject::drawable() const {
    Surface* s = target();
    IntRect bounds{0, 0, s ? s->width : 0, s ? s->height : 0};
    return hasClip ? intersect(bounds, clip) : bounds;
}

void putPixel(DCObject* dc, int x, int y, ColorRef color) {
    Surface* s = dc->target();
    if (!s || !inside(dc->drawable(), x, y))
        return;
    std::uint32_t& p = s->at(x, y);
    if (s->monochrome) {
        // A monochrome target keeps 1 for white, 0 for anything else.
        std::uint32_t bit = (color & kRgbMask) == kRgbMask ? 1 : 0;
        switch (dc->rop2) {
            case 7:
                p ^= bit;
                break;
            case 6:
                p ^= 1;
                break;
            default:
                p = bit;
                break;
        }
        return;
    }
    switch (dc->rop2) {
        case 1:
            p = kOpaque;
            break;  // black
        case 6:
            p = (~p & kRgbMask) | kOpaque;
            break;  // not destination
        case 7:
            p = ((p ^ color) & kRgbMask) | kOpaque;
            break;  // xor pen
        case 16:
            p = kRgbMask | kOpaque;
            break;  // white
        default:
            p = toPixel(color);
            break;  // copy pen
    }
}

// ---- objects ----

Pen createPen(int style, int width, ColorRef color) {
    return new PenObject{style, std::max(1, width), color & kRgbMask, false};
}
Pen nullPen() {
    return &gStockNullPen;
}
Brush createSolidBrush(ColorRef color) {
    return new BrushObject{color & kRgbMask, false};
}
Font createFont(const FontRequest& request) {
    return new FontObject{request, false};
}

namespace {
// Stock objects belong to the system and outlive every call.
template <typename Object>
void deleteUnlessStock(Object* object) {
    if (object && !object->stock)
        delete object;
}
}  // namespace

void deletePen(Pen pen) {
    deleteUnlessStock(pen);
}
void deleteBrush(Brush brush) {
    deleteUnlessStock(brush);
}
void deleteFont(Font font) {
    deleteUnlessStock(font);
}
void deleteBitmap(Bitmap bitmap) {
    deleteUnlessStock(bitmap);
}

// ---- device contexts ----

namespace {
DC newDC() {
    DC dc = new DCObject;
    dc->pen = &gStockBlackPen;
    dc->brush = &gStockWhiteBrush;
    dc->font = &gStockFont;
    return dc;
}
}  // namespace

DC getWindowDC(Window window) {
    if (!window)
        return nullptr;
    DC dc = newDC();
    dc->window = window;
    return dc;
}

void releaseWindowDC(Window window, DC dc) {
    delete dc;
    // What was drawn reaches the screen when the drawing ends, as it would on a real window.
    if (windowSurface(window) && window->native)
        nativeWindowSystem()->present(window);
}

DC createCompatibleDC(DC) {
    DC dc = newDC();
    dc->bitmap = stockBitmap();
    return dc;
}

void deleteDC(DC dc) {
    delete dc;
}

namespace {
// Puts object in the context's slot and answers the one it replaces; null when there is no
// context or no object.
template <typename Object>
Object* select(DC dc, Object* DCObject::*slot, Object* object) {
    if (!dc || !object)
        return nullptr;
    std::swap(dc->*slot, object);
    return object;
}
}  // namespace

Pen selectPen(DC dc, Pen pen) {
    return select(dc, &DCObject::pen, pen);
}
Brush selectBrush(DC dc, Brush brush) {
    return select(dc, &DCObject::brush, brush);
}
Font selectFont(DC dc, Font font) {
    return select(dc, &DCObject::font, font);
}
Bitmap selectBitmap(DC dc, Bitmap bitmap) {
    // A window's context draws on the window, never on a bitmap.
    return dc && dc->window ? nullptr : select(dc, &DCObject::bitmap, bitmap);
}

ColorRef setBkColor(DC dc, ColorRef color) {
    if (!dc)
        return 0;
    std::swap(dc->bkColor, color);
    return color;
}
ColorRef setTextColor(DC dc, ColorRef color) {
    if (!dc)
        return 0;
    std::swap(dc->textColor, color);
    return color;
}
void setBkModeOpaque(DC dc, bool opaque) {
    if (dc)
        dc->bkOpaque = opaque;
}
void setRop2(DC dc, int mode) {
    if (dc)
        dc->rop2 = mode;
}
void setClipRect(DC dc, const IntRect& rect) {
    if (!dc)
        return;
    dc->hasClip = true;
    dc->clip = rect;
}

// ---- lines and fills ----

void moveTo(DC dc, int x, int y) {
    if (!dc)
        return;
    dc->curX = x;
    dc->curY = y;
}

namespace {

// Dash patterns in pixels (on, off, on, off ...).
bool penPatternOn(int style, int step) {
    switch (style) {
        case kPenDash:
            return step % 24 < 18;
        case kPenDot:
            return step % 6 < 3;
        default:
            return true;
    }
}

void plot(DC dc, const PenObject& pen, int x, int y) {
    if (pen.width <= 1) {
        putPixel(dc, x, y, pen.color);
        return;
    }
    int half = pen.width / 2;
    for (int j = y - half; j < y - half + pen.width; ++j)
        for (int i = x - half; i < x - half + pen.width; ++i)
            putPixel(dc, i, j, pen.color);
}

}  // namespace

void lineTo(DC dc, int x, int y) {
    if (!dc)
        return;
    const PenObject& pen = *dc->pen;
    int x0 = dc->curX, y0 = dc->curY;
    dc->curX = x;
    dc->curY = y;
    if (pen.style == kPenNull)
        return;
    int dx = x - x0, dy = y - y0;
    int adx = std::abs(dx), ady = std::abs(dy);
    int sx = dx < 0 ? -1 : 1, sy = dy < 0 ? -1 : 1;
    bool xMajor = adx >= ady;
    int steps = xMajor ? adx : ady;
    int major = xMajor ? adx : ady, minor = xMajor ? ady : adx;
    // Ties round toward the start's minor coordinate when moving in the negative direction;
    // this matches GDI on every octant of our pixel comparison scene.
    int bias = (xMajor ? sy : sx) < 0 ? 0 : 1;
    for (int i = 0; i < steps; ++i) {
        int m = major ? (2 * i * minor + major - bias) / (2 * major) : 0;
        int px = xMajor ? x0 + i * sx : x0 + m * sx;
        int py = xMajor ? y0 + m * sy : y0 + i * sy;
        if (penPatternOn(pen.style, i))
            plot(dc, pen, px, py);
    }
}

void fillRect(DC dc, const IntRect& rect, Brush brush) {
    if (!dc || !brush)
        return;
    IntRect r = intersect(rect, dc->drawable());
    int saved = dc->rop2;
    dc->rop2 = 13;  // FillRect ignores the mix mode
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x)
            putPixel(dc, x, y, brush->color);
    dc->rop2 = saved;
}

// ---- bitmaps and blits ----

Bitmap createCompatibleBitmap(DC dc, int width, int height) {
    // A memory device context still holding its stock bitmap makes monochrome bitmaps, as GDI.
    bool mono = dc && !dc->window && dc->bitmap && dc->bitmap->surface.monochrome;
    return new BitmapObject{Surface(width, height, mono, mono ? 0 : kOpaque), false};
}

Bitmap createMonochromeBitmap(int width, int height) {
    return new BitmapObject{Surface(width, height, true, 0), false};
}

Bitmap createBitmapFromRGBA(int width, int height, const std::uint8_t* rgba) {
    if (width <= 0 || height <= 0 || !rgba)
        return nullptr;
    auto* b = new BitmapObject{Surface(width, height, false, kOpaque), false};
    for (std::size_t i = 0; i < b->surface.pixels.size(); ++i)
        b->surface.pixels[i] = toPixel(makeColorRef(rgba[4 * i], rgba[4 * i + 1], rgba[4 * i + 2]));
    return b;
}

bool getBitmapSize(Bitmap bitmap, int* width, int* height) {
    if (!bitmap)
        return false;
    if (width)
        *width = bitmap->surface.width;
    if (height)
        *height = bitmap->surface.height;
    return true;
}

namespace {

// Source pixel as seen by a destination of the given kind.
std::uint32_t convert(DC src, DC dst, const Surface& s, const Surface& d, std::uint32_t p) {
    if (s.monochrome == d.monochrome)
        return p;
    if (d.monochrome)
        return toColorRef(p) == (src->bkColor & kRgbMask) ? 1 : 0;
    return toPixel(p ? dst->bkColor : dst->textColor);
}

// Copies a source rectangle (clamped to the source) so that overlapping blits read old pixels.
template <typename Combine>
void blit(DC dst, int x, int y, int w, int h, DC src, int sx, int sy, int sw, int sh,
          Combine combine) {
    if (!dst || !src || w <= 0 || h <= 0 || sw <= 0 || sh <= 0)
        return;
    Surface* d = dst->target();
    Surface* s = src->target();
    if (!d || !s)
        return;
    std::vector<std::uint32_t> copy(std::size_t(sw) * std::size_t(sh), 0);
    std::vector<char> valid(copy.size(), 0);
    for (int j = 0; j < sh; ++j)
        for (int i = 0; i < sw; ++i)
            if (s->contains(sx + i, sy + j)) {
                copy[std::size_t(j) * sw + i] = convert(src, dst, *s, *d, s->at(sx + i, sy + j));
                valid[std::size_t(j) * sw + i] = 1;
            }
    IntRect area = dst->drawable();
    for (int j = 0; j < h; ++j) {
        for (int i = 0; i < w; ++i) {
            if (!inside(area, x + i, y + j))
                continue;
            // Nearest source pixel when stretching.
            std::size_t k = std::size_t(j * sh / h) * sw + std::size_t(i * sw / w);
            if (!valid[k])
                continue;
            std::uint32_t& out = d->at(x + i, y + j);
            out = combine(out, copy[k], d->monochrome);
        }
    }
}

std::uint32_t finish(std::uint32_t v, bool mono) {
    return mono ? (v & 1) : ((v & kRgbMask) | kOpaque);
}

}  // namespace

void bitBlt(DC dst, int x, int y, int w, int h, DC src, int sx, int sy, RasterOp op) {
    blit(dst, x, y, w, h, src, sx, sy, w, h, [op](std::uint32_t d, std::uint32_t s, bool mono) {
        switch (op) {
            case kSrcInvert:
                return finish(d ^ s, mono);
            case kSrcAnd:
                return finish(d & s, mono);
            default:
                return finish(s, mono);
        }
    });
}

namespace {
int gBlendLibraryCount = 0;
}

bool loadBlendLibrary() {
    ++gBlendLibraryCount;
    return true;
}
void freeBlendLibrary() {
    if (gBlendLibraryCount > 0)
        --gBlendLibraryCount;
}
bool hasTransparentBlt() {
    return gBlendLibraryCount > 0;
}
bool hasAlphaBlend() {
    return gBlendLibraryCount > 0;
}
bool alphaBlendNeedsOriginCopy() {
    return false;
}

bool transparentBlt(DC dst, int x, int y, int w, int h, DC src, int sx, int sy, int sw, int sh,
                    ColorRef transparent) {
    if (!hasTransparentBlt())
        return false;
    std::uint32_t key = transparent & kRgbMask;
    blit(dst, x, y, w, h, src, sx, sy, sw, sh, [key](std::uint32_t d, std::uint32_t s, bool mono) {
        return (s & kRgbMask) == key ? d : finish(s, mono);
    });
    return true;
}

bool alphaBlend(DC dst, int x, int y, int w, int h, DC src, int sx, int sy, int sw, int sh,
                std::uint8_t alpha) {
    if (!hasAlphaBlend())
        return false;
    const std::uint32_t a = alpha;
    blit(dst, x, y, w, h, src, sx, sy, sw, sh, [a](std::uint32_t d, std::uint32_t s, bool mono) {
        if (mono)
            return s & 1;
        std::uint32_t out = kOpaque;
        for (int shift = 0; shift < 24; shift += 8) {
            std::uint32_t sc = (s >> shift) & 0xFF, dc = (d >> shift) & 0xFF;
            out |= ((sc * a + dc * (255 - a) + 127) / 255) << shift;
        }
        return out;
    });
    return true;
}

bool readPixels(DC dc, int x, int y, int w, int h, std::uint8_t* rgba) {
    Surface* s = dc ? dc->target() : nullptr;
    if (!s || !rgba || w <= 0 || h <= 0)
        return false;
    for (int j = 0; j < h; ++j) {
        for (int i = 0; i < w; ++i) {
            std::uint32_t p = s->contains(x + i, y + j) ? s->at(x + i, y + j) : 0;
            if (s->monochrome)
                p = p ? kRgbMask : 0;
            std::uint8_t* o = rgba + 4 * (std::size_t(j) * w + i);
            o[0] = p & 0xFF;
            o[1] = (p >> 8) & 0xFF;
            o[2] = (p >> 16) & 0xFF;
            o[3] = 255;
        }
    }
    return true;
}

}  // namespace platform
}  // namespace tanuvo::gui
