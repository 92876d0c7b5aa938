#pragma once
// Geometry and colour of the toolkit: points, rectangles (right and bottom exclusive) and RGBA
// colours, with the named colours the views use as defaults.

#include <algorithm>
#include <cstdint>

namespace tanuvo::gui {

using CCoord = std::int32_t;

// Stores value in field; true when that changed the field.
template <typename T>
bool assignIfChanged(T& field, const T& value) {
    if (field == value)
        return false;
    field = value;
    return true;
}

struct CPoint {
    CCoord h = 0;
    CCoord v = 0;

    constexpr CPoint() = default;
    constexpr CPoint(CCoord x, CCoord y) : h(x), v(y) {}
    CPoint& offset(CCoord x, CCoord y) {
        h += x;
        v += y;
        return *this;
    }
    constexpr bool operator==(const CPoint& o) const { return h == o.h && v == o.v; }
    constexpr bool operator!=(const CPoint& o) const { return !(*this == o); }
};

struct CRect {
    CCoord left = 0;
    CCoord top = 0;
    CCoord right = 0;
    CCoord bottom = 0;

    constexpr CRect() = default;
    constexpr CRect(CCoord l, CCoord t, CCoord r, CCoord b)
        : left(l), top(t), right(r), bottom(b) {}

    constexpr CCoord width() const { return right - left; }
    constexpr CCoord height() const { return bottom - top; }
    CCoord getWidth() const { return width(); }
    CCoord getHeight() const { return height(); }
    CRect& offset(CCoord x, CCoord y) {
        left += x;
        right += x;
        top += y;
        bottom += y;
        return *this;
    }
    CRect& moveTo(CCoord x, CCoord y) { return offset(x - left, y - top); }
    CRect& inset(CCoord dx, CCoord dy) {
        left += dx;
        right -= dx;
        top += dy;
        bottom -= dy;
        return *this;
    }
    CRect& setWidth(CCoord w) {
        right = left + w;
        return *this;
    }
    CRect& setHeight(CCoord h) {
        bottom = top + h;
        return *this;
    }
    // Edges included on the left and top only.
    constexpr bool pointInside(const CPoint& p) const {
        return p.h >= left && p.h < right && p.v >= top && p.v < bottom;
    }
    constexpr bool isEmpty() const { return right <= left || bottom <= top; }
    constexpr bool rectOverlap(const CRect& r) const {
        return right > r.left && left < r.right && bottom > r.top && top < r.bottom;
    }
    // Shrinks this rectangle to its overlap with r (possibly empty).
    CRect& bound(const CRect& r) {
        left = std::max(left, r.left);
        top = std::max(top, r.top);
        right = std::max(left, std::min(right, r.right));
        bottom = std::max(top, std::min(bottom, r.bottom));
        return *this;
    }
    constexpr bool operator==(const CRect& o) const {
        return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
    }
    constexpr bool operator!=(const CRect& o) const { return !(*this == o); }
};

struct CColor {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    std::uint8_t alpha = 255;

    constexpr bool operator==(const CColor& o) const {
        return red == o.red && green == o.green && blue == o.blue && alpha == o.alpha;
    }
    constexpr bool operator!=(const CColor& o) const { return !(*this == o); }
};

constexpr CColor kWhiteCColor{255, 255, 255, 255};
constexpr CColor kBlackCColor{0, 0, 0, 255};
constexpr CColor kGreyCColor{127, 127, 127, 255};
constexpr CColor kRedCColor{255, 0, 0, 255};

// The Win32 form of a colour: red | green << 8 | blue << 16, alpha dropped.
constexpr std::uint32_t toColorRef(const CColor& c) {
    return std::uint32_t(c.red) | (std::uint32_t(c.green) << 8) | (std::uint32_t(c.blue) << 16);
}

// Mouse buttons and modifiers, as reported by CDrawContext::getMouseButtons.
enum CButton {
    kLButton = 1 << 0,
    kMButton = 1 << 1,
    kRButton = 1 << 2,
    kShift = 1 << 3,
    kControl = 1 << 4,
    kAlt = 1 << 5,
    kApple = 1 << 6,
};

}  // namespace tanuvo::gui
