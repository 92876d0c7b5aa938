// An RGB raster with the few anti-aliased drawing operations the skin needs.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

namespace skingen {

struct Rgb {
    uint8_t r = 0, g = 0, b = 0;
    bool operator==(const Rgb& o) const { return r == o.r && g == o.g && b == o.b; }
    bool operator!=(const Rgb& o) const { return !(*this == o); }
};

// Linear mix of two colours, t = 0 gives a, t = 1 gives b.
Rgb mix(Rgb a, Rgb b, double t);
// Brightens (amount > 0) or darkens (amount < 0) a colour by adding to every channel.
Rgb shade(Rgb c, int amount);

// Shapes are signed-distance functions in pixel units: negative inside, positive outside.
using Shape = std::function<double(double x, double y)>;
using Paint = std::function<Rgb(double x, double y)>;

Shape circle(double cx, double cy, double radius);
Shape roundRect(double left, double top, double right, double bottom, double radius);
Shape segment(double x0, double y0, double x1, double y1, double halfWidth);
Shape triangle(double x0, double y0, double x1, double y1, double x2, double y2);
Shape unite(Shape a, Shape b);
Shape subtract(Shape a, Shape b);
Shape outline(Shape a, double halfWidth);
Shape translate(Shape a, double dx, double dy);

class Canvas {
  public:
    Canvas(int width, int height, Rgb fill = Rgb{});

    int width() const { return width_; }
    int height() const { return height_; }
    Rgb get(int x, int y) const;
    // Writes outside the raster are ignored, so shapes may overhang the edges.
    void set(int x, int y, Rgb c);
    void blend(int x, int y, Rgb c, double alpha);

    void fillRect(int left, int top, int right, int bottom, Rgb c);
    // Fills a shape with anti-aliased edges (or hard edges, for colour-keyed bitmaps whose edge
    // pixels must be either fully the key colour or fully the shape).
    void fill(const Shape& shape, const Paint& paint, double opacity = 1.0, bool hardEdges = false);
    void fill(const Shape& shape, Rgb c, double opacity = 1.0, bool hardEdges = false);

    Canvas crop(int left, int top, int width, int height) const;
    void paste(const Canvas& source, int x, int y);

    const std::vector<Rgb>& pixels() const { return pixels_; }

  private:
    int width_, height_;
    std::vector<Rgb> pixels_;
};

}  // namespace skingen
