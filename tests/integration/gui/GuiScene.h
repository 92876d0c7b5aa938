#pragma once
// The pixel-comparison scene: fills, outlines, lines in every direction, clipped drawing, opaque,
// transparent and alpha blits and text in each alignment, drawn through the toolkit. The same
// code runs on GDI under Wine and on the software canvas; the comparison rules per region live
// here too so both sides agree on them.

#include "gui/CDrawContext.h"

#include <cstdint>
#include <string>
#include <vector>

namespace scene {

constexpr int kWidth = 240;
constexpr int kHeight = 160;
constexpr tanuvo::gui::CColor kBackground{16, 32, 48, 255};

// Regions where exact equality is not required.
constexpr tanuvo::gui::CRect kAlphaRect(150, 10, 182, 42);
constexpr tanuvo::gui::CRect kTextRects[] = {
    tanuvo::gui::CRect(10, 110, 80, 130),   tanuvo::gui::CRect(85, 110, 155, 130),
    tanuvo::gui::CRect(160, 110, 230, 130), tanuvo::gui::CRect(10, 135, 120, 155),
    tanuvo::gui::CRect(125, 135, 230, 155),
};

// Draws the whole scene into a context of kWidth x kHeight.
void draw(tanuvo::gui::CDrawContext* context);

struct Image {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb;  // 3 bytes a pixel, rows top first
};

Image capture(tanuvo::gui::COffscreenContext& context);
bool writePpm(const std::string& path, const Image& image);
bool readPpm(const std::string& path, Image* image);

struct Comparison {
    int exactPixels = 0;       // pixels compared for equality
    int exactDifferences = 0;  // of those, how many differ
    int alphaPixels = 0;
    int alphaOverTolerance = 0;  // more than 1 apart in a channel
    int textBoxes = 0;
    int textBoxMaxShift = 0;       // largest edge difference of the ink boxes, pixels
    int textPixelDifferences = 0;  // informational: text is not compared pixel for pixel
    std::string report() const;
};

Comparison compare(const Image& gdi, const Image& soft);

}  // namespace scene
