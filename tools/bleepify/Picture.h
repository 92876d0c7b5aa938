#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tanuvo::bleepify {

struct Colour {
    uint8_t red, green, blue;
};

// An RGB canvas with the few drawing operations the demo's pictures need.
class Picture {
  public:
    Picture(int width, int height, Colour background);

    int width() const { return width_; }
    int height() const { return height_; }

    // Points outside the canvas are ignored.
    void set(int x, int y, Colour colour);
    Colour get(int x, int y) const;
    void fillRectangle(int left, int top, int right, int bottom, Colour colour);
    void verticalLine(int x, int top, int bottom, Colour colour);
    void horizontalLine(int left, int right, int y, Colour colour);
    // Text in a small built-in capital-letter font, `scale` pixels per font dot.
    void text(int x, int y, const std::string& text, Colour colour, int scale = 1);

    // Writes an 8-bit RGB PNG through a temporary file; throws ToolError on failure.
    void writePng(const std::string& path) const;

  private:
    int width_;
    int height_;
    std::vector<uint8_t> pixels_;
};

}  // namespace tanuvo::bleepify
