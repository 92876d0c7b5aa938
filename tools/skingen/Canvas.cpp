#include "tools/skingen/Canvas.h"

#include <algorithm>
#include <cmath>

namespace skingen {

namespace {

uint8_t toByte(double v) {
    return static_cast<uint8_t>(std::clamp(std::lround(v), 0L, 255L));
}

}  // namespace

Rgb mix(Rgb a, Rgb b, double t) {
    return Rgb{toByte(a.r + (b.r - a.r) * t), toByte(a.g + (b.g - a.g) * t),
               toByte(a.b + (b.b - a.b) * t)};
}

Rgb shade(Rgb c, int amount) {
    return Rgb{toByte(c.r + amount), toByte(c.g + amount), toByte(c.b + amount)};
}

Shape circle(double cx, double cy, double radius) {
    return [=](double x, double y) { return std::hypot(x - cx, y - cy) - radius; };
}

Shape roundRect(double left, double top, double right, double bottom, double radius) {
    const double cx = (left + right) / 2, cy = (top + bottom) / 2;
    const double hx = (right - left) / 2 - radius, hy = (bottom - top) / 2 - radius;
    return [=](double x, double y) {
        const double qx = std::abs(x - cx) - hx, qy = std::abs(y - cy) - hy;
        const double outside = std::hypot(std::max(qx, 0.0), std::max(qy, 0.0));
        return outside + std::min(std::max(qx, qy), 0.0) - radius;
    };
}

Shape segment(double x0, double y0, double x1, double y1, double halfWidth) {
    return [=](double x, double y) {
        const double dx = x1 - x0, dy = y1 - y0;
        const double len2 = dx * dx + dy * dy;
        const double t =
            len2 > 0 ? std::clamp(((x - x0) * dx + (y - y0) * dy) / len2, 0.0, 1.0) : 0;
        return std::hypot(x - (x0 + t * dx), y - (y0 + t * dy)) - halfWidth;
    };
}

Shape triangle(double x0, double y0, double x1, double y1, double x2, double y2) {
    const Shape edges[3] = {segment(x0, y0, x1, y1, 0), segment(x1, y1, x2, y2, 0),
                            segment(x2, y2, x0, y0, 0)};
    const double orientation = (x1 - x0) * (y2 - y0) - (y1 - y0) * (x2 - x0);
    return [=](double x, double y) {
        double d = std::min({edges[0](x, y), edges[1](x, y), edges[2](x, y)});
        auto side = [&](double ax, double ay, double bx, double by) {
            return ((bx - ax) * (y - ay) - (by - ay) * (x - ax)) * orientation >= 0;
        };
        const bool inside = side(x0, y0, x1, y1) && side(x1, y1, x2, y2) && side(x2, y2, x0, y0);
        return inside ? -d : d;
    };
}

Shape unite(Shape a, Shape b) {
    return [=](double x, double y) { return std::min(a(x, y), b(x, y)); };
}

Shape subtract(Shape a, Shape b) {
    return [=](double x, double y) { return std::max(a(x, y), -b(x, y)); };
}

Shape outline(Shape a, double halfWidth) {
    return [=](double x, double y) { return std::abs(a(x, y)) - halfWidth; };
}

Shape translate(Shape a, double dx, double dy) {
    return [=](double x, double y) { return a(x - dx, y - dy); };
}

Canvas::Canvas(int width, int height, Rgb fill)
    : width_(width), height_(height), pixels_(static_cast<size_t>(width) * height, fill) {}

Rgb Canvas::get(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) {
        return Rgb{};
    }
    return pixels_[static_cast<size_t>(y) * width_ + x];
}

void Canvas::set(int x, int y, Rgb c) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) {
        return;
    }
    pixels_[static_cast<size_t>(y) * width_ + x] = c;
}

void Canvas::blend(int x, int y, Rgb c, double alpha) {
    if (alpha <= 0) {
        return;
    }
    set(x, y, alpha >= 1 ? c : mix(get(x, y), c, alpha));
}

void Canvas::fillRect(int left, int top, int right, int bottom, Rgb c) {
    for (int y = top; y < bottom; ++y) {
        for (int x = left; x < right; ++x) {
            set(x, y, c);
        }
    }
}

void Canvas::fill(const Shape& shape, const Paint& paint, double opacity, bool hardEdges) {
    for (int y = 0; y < height_; ++y) {
        for (int x = 0; x < width_; ++x) {
            const double cx = x + 0.5, cy = y + 0.5;
            const double d = shape(cx, cy);
            // Distance to the edge measured from the pixel centre approximates the covered area.
            double coverage = hardEdges ? (d <= 0 ? 1.0 : 0.0) : std::clamp(0.5 - d, 0.0, 1.0);
            blend(x, y, paint(cx, cy), coverage * opacity);
        }
    }
}

void Canvas::fill(const Shape& shape, Rgb c, double opacity, bool hardEdges) {
    fill(
        shape, [c](double, double) { return c; }, opacity, hardEdges);
}

Canvas Canvas::crop(int left, int top, int width, int height) const {
    Canvas out(width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            out.set(x, y, get(left + x, top + y));
        }
    }
    return out;
}

void Canvas::paste(const Canvas& source, int x, int y) {
    for (int sy = 0; sy < source.height(); ++sy) {
        for (int sx = 0; sx < source.width(); ++sx) {
            set(x + sx, y + sy, source.get(sx, sy));
        }
    }
}

}  // namespace skingen
