// A small proportional pixel font: capitals, parentheses and the few small letters the skin
// writes. Glyphs are 7 rows above the baseline plus 2 descender rows.
#pragma once

#include <string>

#include "tools/skingen/Canvas.h"

namespace skingen {

class PixelFont {
  public:
    static constexpr int kRows = 9;
    static constexpr int kCapHeight = 7;

    // Width in screen pixels of the text drawn at the given scale, with one font pixel between
    // glyphs; bold widens every stroke by one screen pixel.
    static int textWidth(const std::string& text, int scale, bool bold = false);
    // Draws the text with its top-left corner (top of the capitals) at x, y.
    static void draw(Canvas& canvas, const std::string& text, int x, int y, int scale, Rgb colour,
                     bool bold = false);
};

}  // namespace skingen
