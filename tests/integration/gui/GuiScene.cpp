#include "GuiScene.h"

#include "gui/CBitmap.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace scene {

using namespace tanuvo::gui;

namespace {

CBitmap* makeSprite() {
    // 24 x 24: a white key colour frame around a two-colour checker with a gradient.
    std::vector<std::uint8_t> rgba(24 * 24 * 4);
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 24; ++x) {
            std::uint8_t* p = &rgba[4 * (y * 24 + x)];
            const bool key = x < 3 || y < 3 || x >= 21 || y >= 21 || (x > 10 && x < 13);
            const bool checker = ((x / 4) + (y / 4)) % 2 == 0;
            p[0] = key ? 255 : std::uint8_t(checker ? 230 : 10 * x);
            p[1] = key ? 255 : std::uint8_t(checker ? 40 : 10 * y);
            p[2] = key ? 255 : std::uint8_t(checker ? 60 : 200);
            p[3] = 255;
        }
    return new CBitmap(24, 24, rgba.data());
}

bool inside(const CRect& r, int x, int y) {
    return r.pointInside(CPoint(x, y));
}

bool inText(int x, int y) {
    for (const CRect& r : kTextRects)
        if (inside(r, x, y))
            return true;
    return false;
}

CRect inkBox(const Image& image, const CRect& r) {
    CRect box(r.right, r.bottom, r.left, r.top);
    const std::uint8_t* bg = &image.rgb[3 * (std::size_t(r.top) * image.width + r.left)];
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x) {
            const std::uint8_t* p = &image.rgb[3 * (std::size_t(y) * image.width + x)];
            if (p[0] == bg[0] && p[1] == bg[1] && p[2] == bg[2])
                continue;
            box.left = std::min<CCoord>(box.left, x);
            box.top = std::min<CCoord>(box.top, y);
            box.right = std::max<CCoord>(box.right, x + 1);
            box.bottom = std::max<CCoord>(box.bottom, y + 1);
        }
    return box;
}

}  // namespace

void draw(CDrawContext* context) {
    // Background and plain fills.
    context->setFillColor(kBackground);
    context->fillRect(CRect(-1, -1, kWidth, kHeight));
    context->setFillColor(CColor{200, 40, 40, 255});
    context->fillRect(CRect(5, 5, 25, 25));
    context->setFillColor(CColor{40, 200, 40, 255});
    context->fillRect(CRect(20, 20, 41, 33));

    // Outlines, including a one-pixel and an empty rectangle.
    context->setFrameColor(CColor{250, 250, 0, 255});
    context->drawRect(CRect(45, 5, 70, 30));
    context->drawRect(CRect(50, 10, 51, 11));
    context->drawRect(CRect(60, 20, 60, 20));

    // Lines from one centre into every octant, plus steep, shallow and exact diagonals.
    context->setFrameColor(kWhiteCColor);
    const CPoint centre(100, 45);
    const CPoint ends[] = {{140, 45}, {140, 55}, {140, 85}, {130, 85}, {100, 85}, {90, 85},
                           {60, 85},  {60, 75},  {60, 45},  {60, 35},  {60, 5},   {70, 5},
                           {100, 5},  {110, 5},  {140, 5},  {140, 37}, {113, 50}, {87, 42}};
    for (const CPoint& end : ends) {
        context->moveTo(centre);
        context->lineTo(end);
    }
    context->setFrameColor(CColor{0, 220, 255, 255});
    context->moveTo(CPoint(5, 40));
    context->lineTo(CPoint(40, 47));
    context->lineTo(CPoint(12, 70));
    context->lineTo(CPoint(5, 40));

    // Clipped drawing: a fill and lines crossing the clip edges.
    context->setClipRect(CRect(10, 75, 40, 100));
    context->setFillColor(CColor{120, 60, 200, 255});
    context->fillRect(CRect(0, 70, 30, 90));
    context->setFrameColor(CColor{255, 128, 0, 255});
    context->moveTo(CPoint(0, 74));
    context->lineTo(CPoint(60, 104));
    context->drawRect(CRect(30, 80, 50, 95));
    context->setClipRect(CRect(0, 0, kWidth, kHeight));

    // Bitmaps: opaque with a source offset, transparent by emulation and by TransparentBlt,
    // and alpha blended.
    CBitmap* sprite = makeSprite();
    CRect opaque(150, 50, 170, 70);
    sprite->draw(context, opaque, CPoint(2, 2));
    CRect emulated(175, 50, 199, 74);
    sprite->drawTransparent(context, emulated);
    tanuvo::gui::platform::loadBlendLibrary();
    CRect blitted(205, 50, 229, 74);
    sprite->drawTransparent(context, blitted);
    context->setFillColor(CColor{250, 250, 250, 255});
    context->fillRect(
        CRect(kAlphaRect.left - 1, kAlphaRect.top - 1, kAlphaRect.right, kAlphaRect.top + 12));
    CRect blended(kAlphaRect.left + 4, kAlphaRect.top + 4, kAlphaRect.left + 28,
                  kAlphaRect.top + 28);
    sprite->drawAlphaBlend(context, blended, CPoint(0, 0), 100);
    tanuvo::gui::platform::freeBlendLibrary();
    sprite->forget();

    // Text in each alignment, transparent and opaque, in two fonts.
    context->setFontColor(kWhiteCColor);
    context->setFont(kNormalFont);
    context->drawString("Left", kTextRects[0], false, kLeftText);
    context->drawString("Centre", kTextRects[1], false, kCenterText);
    context->drawString("Right", kTextRects[2], false, kRightText);
    context->setFont(kSystemFont);
    context->setFillColor(CColor{90, 0, 5, 255});
    context->drawString("MIX DEPTH", kTextRects[3], true, kCenterText);
    context->setFont(kNormalFontSmall);
    context->setFontColor(CColor{0, 0, 0, 255});
    context->setFillColor(CColor{232, 231, 232, 255});
    context->drawString("VOL 0.75", kTextRects[4], true, kLeftText);
}

Image capture(COffscreenContext& context) {
    Image image;
    image.width = int(context.getWidth());
    image.height = int(context.getHeight());
    std::vector<std::uint8_t> rgba(std::size_t(image.width) * image.height * 4);
    tanuvo::gui::platform::readPixels(context.getSystemContext(), 0, 0, image.width, image.height,
                                      rgba.data());
    image.rgb.resize(std::size_t(image.width) * image.height * 3);
    for (std::size_t i = 0, j = 0; i < rgba.size(); i += 4, j += 3) {
        image.rgb[j] = rgba[i];
        image.rgb[j + 1] = rgba[i + 1];
        image.rgb[j + 2] = rgba[i + 2];
    }
    return image;
}

bool writePpm(const std::string& path, const Image& image) {
    std::ofstream out(path, std::ios::binary);
    out << "P6\n" << image.width << " " << image.height << "\n255\n";
    out.write(reinterpret_cast<const char*>(image.rgb.data()), std::streamsize(image.rgb.size()));
    return bool(out);
}

bool readPpm(const std::string& path, Image* image) {
    std::ifstream in(path, std::ios::binary);
    std::string magic;
    int maxValue = 0;
    if (!(in >> magic >> image->width >> image->height >> maxValue) || magic != "P6" ||
        maxValue != 255 || image->width <= 0 || image->height <= 0 || image->width > 4096 ||
        image->height > 4096)
        return false;
    in.get();
    image->rgb.resize(std::size_t(image->width) * image->height * 3);
    in.read(reinterpret_cast<char*>(image->rgb.data()), std::streamsize(image->rgb.size()));
    return bool(in);
}

Comparison compare(const Image& gdi, const Image& soft) {
    Comparison c;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            const std::uint8_t* a = &gdi.rgb[3 * (std::size_t(y) * kWidth + x)];
            const std::uint8_t* b = &soft.rgb[3 * (std::size_t(y) * kWidth + x)];
            int worst = 0;
            for (int k = 0; k < 3; ++k)
                worst = std::max(worst, std::abs(int(a[k]) - int(b[k])));
            if (inText(x, y)) {
                c.textPixelDifferences += worst != 0;
            } else if (inside(kAlphaRect, x, y)) {
                ++c.alphaPixels;
                c.alphaOverTolerance += worst > 1;
            } else {
                ++c.exactPixels;
                c.exactDifferences += worst != 0;
            }
        }
    for (const CRect& r : kTextRects) {
        const CRect g = inkBox(gdi, r), s = inkBox(soft, r);
        ++c.textBoxes;
        c.textBoxMaxShift =
            std::max({c.textBoxMaxShift, std::abs(g.left - s.left), std::abs(g.top - s.top),
                      std::abs(g.right - s.right), std::abs(g.bottom - s.bottom)});
    }
    return c;
}

std::string Comparison::report() const {
    std::ostringstream out;
    out << "exact regions: " << exactDifferences << " of " << exactPixels << " pixels differ; "
        << "alpha region: " << alphaOverTolerance << " of " << alphaPixels
        << " pixels more than 1 apart; text: ink boxes within " << textBoxMaxShift << " px over "
        << textBoxes << " boxes (" << textPixelDifferences << " text pixels differ)";
    return out.str();
}

}  // namespace scene
