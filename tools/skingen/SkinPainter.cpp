#include "tools/skingen/SkinPainter.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>

#include "tools/skingen/PixelFont.h"

namespace skingen {

namespace {

constexpr double kPi = 3.14159265358979323846;

// Colours shared with the editor: captions fill their boxes with these exact values, so the
// pictures under them must match.
constexpr Rgb kMetal{232, 231, 232};
constexpr Rgb kPanelRed{110, 0, 5};
// The slider draws its handle with pure white left out.
constexpr Rgb kTransparent{255, 255, 255};

constexpr Rgb kEdgeRed{48, 0, 3};
constexpr Rgb kWindowDark{22, 23, 27};
constexpr Rgb kFontBlue{26, 62, 190};
constexpr Rgb kEngraving{92, 92, 98};

// Where the editor places each picture (left, top, width, height).
struct Place {
    int x, y, w, h;
};
constexpr Place kEditor{0, 0, 240, 320};
constexpr Place kMenu{39, 101, 160, 28};
constexpr Place kSlider{87, 175, 68, 79};
constexpr Place kHandle{87, 175, 68, 31};
constexpr Place kPower{45, 249, 27, 26};
constexpr Place kReset{169, 247, 29, 26};
constexpr Place kKnob{33, 58, 32, 32};
constexpr Place kKnobPanel{18, 44, 204, 48};
constexpr Place kBottomStrip{10, 292, 221, 16};
constexpr int kKnobImages = 61;

// Deterministic pseudo-random numbers for the brushed texture (same sequence everywhere).
class Random {
  public:
    explicit Random(uint32_t seed) : state_(seed) {}
    double next() {  // -1 .. 1
        state_ = state_ * 1664525u + 1013904223u;
        return static_cast<double>(state_ >> 8) / 8388608.0 - 1.0;
    }

  private:
    uint32_t state_;
};

Paint vertical(Rgb top, Rgb bottom, double y0, double y1) {
    return [=](double, double y) {
        return mix(top, bottom, std::clamp((y - y0) / (y1 - y0), 0.0, 1.0));
    };
}

Shape rectShape(const Place& p, double inset, double radius) {
    return roundRect(p.x + inset, p.y + inset, p.x + p.w - inset, p.y + p.h - inset, radius);
}

// A raised part: a soft shadow below and a thin light rim above.
void dropShadow(Canvas& c, const Shape& shape) {
    c.fill(translate(shape, 0, 2), Rgb{120, 118, 122}, 0.25);
    c.fill(translate(shape, 0, 1), Rgb{90, 88, 92}, 0.35);
    c.fill(translate(shape, 0, -1), Rgb{255, 255, 255}, 0.6);
}

// A recessed part: shadow along the upper edge, light along the lower edge, then the floor.
void recess(Canvas& c, const Shape& shape, const Paint& floor) {
    c.fill(translate(shape, 0, 1), Rgb{255, 255, 255}, 0.9);
    c.fill(translate(shape, 0, -1), Rgb{110, 108, 112}, 0.8);
    c.fill(shape, floor);
    c.fill(subtract(shape, translate(shape, 0, 1.5)), Rgb{0, 0, 0}, 0.25);
}

void brushedMetal(Canvas& c) {
    Random random(0x42656570u);
    const int streak = 41;
    std::vector<double> row(c.width() + streak);
    for (int y = 0; y < c.height(); ++y) {
        for (double& v : row) {
            v = random.next();
        }
        const double rowTone = random.next() * 1.4;
        double window = 0;
        for (int i = 0; i < streak; ++i) {
            window += row[i];
        }
        // A long running mean along each row gives the horizontal grain of brushed metal.
        for (int x = 0; x < c.width(); ++x) {
            const double grain = window / std::sqrt(static_cast<double>(streak)) * 3.2;
            window += row[x + streak] - row[x];
            const double light = 4.0 - 8.0 * y / (c.height() - 1);
            const int amount = static_cast<int>(std::lround(grain + rowTone + light));
            c.set(x, y, shade(kMetal, amount));
        }
    }
}

void screw(Canvas& c, double cx, double cy) {
    c.fill(circle(cx, cy + 1, 4.2), Rgb{255, 255, 255}, 0.7);
    c.fill(circle(cx, cy, 4.2), Rgb{120, 119, 124});
    c.fill(circle(cx, cy, 3.4),
           vertical(Rgb{236, 236, 240}, Rgb{160, 159, 164}, cy - 3.4, cy + 3.4));
    c.fill(segment(cx - 2.2, cy + 1.3, cx + 2.2, cy - 1.3, 0.55), Rgb{90, 89, 94});
}

void engrave(Canvas& c, const std::string& text, double centreX, int y) {
    const int x = static_cast<int>(std::lround(centreX - PixelFont::textWidth(text, 1) / 2.0));
    PixelFont::draw(c, text, x, y + 1, 1, Rgb{252, 252, 252});
    PixelFont::draw(c, text, x, y, 1, kEngraving);
}

Canvas paintBackground() {
    Canvas c(kEditor.w, kEditor.h);
    brushedMetal(c);

    // Bevelled plate edge.
    c.fill(subtract(roundRect(0, 0, 240, 320, 0), roundRect(1, 1, 239, 319, 0)),
           Rgb{120, 118, 124});
    c.fill(segment(1.5, 1.5, 238.5, 1.5, 0.5), Rgb{255, 255, 255}, 0.7);
    c.fill(segment(1.5, 1.5, 1.5, 318.5, 0.5), Rgb{255, 255, 255}, 0.5);
    c.fill(segment(1.5, 318.5, 238.5, 318.5, 0.5), Rgb{150, 148, 154}, 0.8);
    c.fill(segment(238.5, 1.5, 238.5, 318.5, 0.5), Rgb{150, 148, 154}, 0.8);

    // Contact stripes along the top edge.
    const Shape band = roundRect(20, 5, 220, 33, 3);
    recess(c, band, vertical(Rgb{170, 169, 174}, Rgb{196, 195, 200}, 5, 33));
    for (int i = 0; i < 32; ++i) {
        const double left = 23.5 + i * 6.0;
        const Shape stripe = roundRect(left, 7, left + 3.5, 30, 1.5);
        c.fill(translate(stripe, 0.8, 0.8), Rgb{90, 88, 94}, 0.5);
        c.fill(stripe, [&](double x, double y) {
            const Rgb base = mix(Rgb{214, 212, 218}, Rgb{140, 138, 146}, (y - 7) / 23.0);
            return x < left + 1.2 ? shade(base, 26) : base;
        });
    }
    screw(c, 10.5, 10.5);
    screw(c, 229.5, 10.5);
    screw(c, 10.5, 280.5);
    screw(c, 229.5, 280.5);

    // The knob row sits on a raised dark red panel (its own bitmap; its shadow is painted here).
    dropShadow(c, rectShape(kKnobPanel, 0, 4));
    c.fill(rectShape(kKnobPanel, 0, 4), kPanelRed);

    // The dark window that holds the waveform menu, with pointers at both sides of the plate.
    const Shape window = roundRect(18, 96, 222, 134, 5);
    recess(c, window, vertical(Rgb{16, 17, 20}, Rgb{40, 41, 47}, 96, 134));
    c.fill(subtract(roundRect(19, 97, 221, 133, 4), roundRect(20, 98, 220, 132, 3)),
           Rgb{60, 61, 68}, 0.6);
    const double midY = kMenu.y + kMenu.h / 2.0;
    c.fill(triangle(27, midY - 5, 27, midY + 5, 34, midY), Rgb{220, 36, 36});
    c.fill(triangle(213, midY - 5, 213, midY + 5, 206, midY), Rgb{220, 36, 36});
    c.fill(rectShape(kMenu, 0, 3), Rgb{250, 250, 250});

    // The slot of the volume slider and its caption plate.
    recess(c, roundRect(82, 170, 160, 259, 4),
           vertical(Rgb{150, 149, 154}, Rgb{176, 175, 180}, 170, 259));
    c.fill(roundRect(104, 258.5, 138, 271.5, 2), Rgb{170, 169, 174});
    c.fill(roundRect(105, 259.5, 137, 270.5, 1.5), kMetal);
    c.fillRect(110, 260, 132, 270, kMetal);  // the caption box itself is flat

    // Fields of the power and reset buttons with their engraved names.
    const Shape powerField = roundRect(41, 245, 76, 279, 5);
    const Shape resetField = roundRect(165, 243, 202, 277, 5);
    recess(c, powerField, vertical(Rgb{150, 149, 154}, Rgb{176, 175, 180}, 245, 279));
    recess(c, resetField, vertical(Rgb{150, 149, 154}, Rgb{176, 175, 180}, 243, 277));
    engrave(c, "POWER", kPower.x + kPower.w / 2.0, 235);
    engrave(c, "RESET", kReset.x + kReset.w / 2.0, 233);

    dropShadow(c, rectShape(kBottomStrip, 0, 3));
    return c;
}

Canvas cut(const Canvas& background, const Place& p) {
    return background.crop(p.x, p.y, p.w, p.h);
}

Canvas paintMenuFace(const Canvas& background, const std::string& name) {
    Canvas c = cut(background, kMenu);
    c.fill(roundRect(0, 0, kMenu.w, kMenu.h, 3), Rgb{132, 134, 142});
    c.fill(roundRect(1, 1, kMenu.w - 1, kMenu.h - 1, 2),
           vertical(Rgb{255, 255, 255}, Rgb{232, 234, 238}, 1, kMenu.h - 1));
    c.fill(segment(3, kMenu.h - 2.5, kMenu.w - 3, kMenu.h - 2.5, 0.5), Rgb{210, 212, 218});
    const int scale = 2;
    const int x = (kMenu.w - PixelFont::textWidth(name, scale)) / 2;
    const int y = (kMenu.h - PixelFont::kCapHeight * scale) / 2;
    PixelFont::draw(c, name, x + 1, y + 1, scale, Rgb{178, 196, 236});
    PixelFont::draw(c, name, x, y, scale, kFontBlue);
    return c;
}

Canvas paintKnobPanel(const Canvas& background) {
    Canvas c = cut(background, kKnobPanel);
    const double w = kKnobPanel.w, h = kKnobPanel.h;
    c.fill(roundRect(0, 0, w, h, 4), kEdgeRed);
    c.fill(roundRect(1, 1, w - 1, h - 1, 3), Rgb{74, 0, 4});
    c.fill(roundRect(1, 1, w - 2, h - 2, 3), Rgb{156, 34, 38});
    // Captions and knobs sit on this flat field and fill their boxes with the same colour.
    c.fillRect(2, 2, kKnobPanel.w - 2, kKnobPanel.h - 2, kPanelRed);
    return c;
}

Canvas paintKnobImage(double turn) {
    Canvas c(kKnob.w, kKnob.h, kPanelRed);
    const double cx = kKnob.w / 2.0, cy = kKnob.h / 2.0;
    c.fill(circle(cx, cy + 1.2, 15.6), Rgb{40, 0, 2}, 0.55);
    c.fill(circle(cx, cy, 15.2), vertical(Rgb{206, 205, 210}, Rgb{96, 95, 100}, 1, 31));
    c.fill(circle(cx, cy, 13.4), vertical(Rgb{120, 119, 124}, Rgb{182, 181, 186}, 3, 29));
    c.fill(circle(cx, cy, 12.4), Rgb{6, 6, 8});
    c.fill(circle(cx, cy, 11.6), [&](double x, double y) {
        const double t = std::clamp(((x - cx) + (y - cy)) / 24.0 + 0.5, 0.0, 1.0);
        return mix(Rgb{64, 64, 70}, Rgb{10, 10, 12}, t);
    });
    c.fill(circle(cx - 3, cy - 4, 5.0), Rgb{255, 255, 255}, 0.05);
    // The indicator turns clockwise through 270 degrees, from lower left over the top to lower
    // right; angles are counted counter-clockwise from the right, y pointing up.
    const double angle = (225.0 - 270.0 * turn) * kPi / 180.0;
    const double r = 8.0;
    const double dx = cx + std::cos(angle) * r, dy = cy - std::sin(angle) * r;
    c.fill(circle(dx, dy + 0.6, 2.4), Rgb{0, 0, 0}, 0.6);
    c.fill(circle(dx, dy, 2.2), Rgb{255, 255, 255});
    return c;
}

Canvas paintKnobStrip() {
    Canvas strip(kKnob.w, kKnob.h * kKnobImages);
    for (int i = 0; i < kKnobImages; ++i) {
        strip.paste(paintKnobImage(static_cast<double>(i) / (kKnobImages - 1)), 0, i * kKnob.h);
    }
    return strip;
}

Canvas paintSliderPlate(const Canvas& background) {
    Canvas c = cut(background, kSlider);
    const double w = kSlider.w, h = kSlider.h;
    c.fill(roundRect(0, 0, w, h, 3), Rgb{96, 96, 102});
    c.fill(roundRect(1, 1, w - 1, h - 1, 2),
           vertical(Rgb{255, 255, 255}, Rgb{236, 236, 240}, 1, h - 1));
    // The groove spans the travel of the handle's centre line (rows 15 to 62).
    const double mid = w / 2.0;
    c.fill(roundRect(mid - 3, 9, mid + 3, h - 9, 3), Rgb{214, 214, 220});
    c.fill(roundRect(mid - 2.5, 9.5, mid + 2.5, h - 9.5, 2.5), Rgb{8, 8, 10});
    for (int k = 0; k <= 10; ++k) {
        const int y = 15 + static_cast<int>(std::lround(4.7 * k));
        const int length = (k % 5 == 0) ? 10 : 6;
        c.fillRect(16 - length, y, 16, y + 1, Rgb{40, 40, 46});
        c.fillRect(kSlider.w - 16, y, kSlider.w - 16 + length, y + 1, Rgb{40, 40, 46});
    }
    return c;
}

Canvas paintSliderHandle() {
    Canvas c(kHandle.w, kHandle.h, kTransparent);
    const double left = 18, right = kHandle.w - 18, top = 1, bottom = kHandle.h - 1;
    // Hard edges: every pixel is either the transparent key or the handle itself.
    c.fill(roundRect(left, top, right, bottom, 4), kEdgeRed, 1.0, true);
    c.fill(roundRect(left + 1, top + 1, right - 1, bottom - 1, 3),
           vertical(Rgb{160, 30, 34}, Rgb{88, 2, 8}, top, bottom), 1.0, true);
    c.fillRect(static_cast<int>(left) + 3, 2, static_cast<int>(right) - 3, 3, Rgb{196, 86, 88});
    for (int y : {6, 9, 20, 23}) {
        c.fillRect(static_cast<int>(left) + 4, y, static_cast<int>(right) - 4, y + 1,
                   Rgb{62, 0, 4});
        c.fillRect(static_cast<int>(left) + 4, y + 1, static_cast<int>(right) - 4, y + 2,
                   Rgb{170, 58, 60});
    }
    // The centre row marks the value on the plate's scale.
    c.fillRect(static_cast<int>(left) + 2, 15, static_cast<int>(right) - 2, 16, Rgb{250, 232, 226});
    return c;
}

Shape powerSymbol(double cx, double cy) {
    const Shape ring = outline(circle(cx, cy, 5.6), 0.9);
    const Shape gap = triangle(cx, cy, cx - 6, cy - 9, cx + 6, cy - 9);
    return unite(subtract(ring, gap), segment(cx, cy - 7.2, cx, cy - 1.2, 0.9));
}

Shape resetSymbol(double cx, double cy) {
    const double r = 5.4;
    const Shape ring = outline(circle(cx, cy, r), 0.9);
    const Shape gap = triangle(cx, cy, cx + 1, cy - 12, cx + 12, cy - 3);
    // Arrow head at the upper end of the arc, pointing clockwise.
    const double a = 95.0 * kPi / 180.0;
    const double px = cx + std::cos(a) * r, py = cy - std::sin(a) * r;
    const double tx = std::sin(a), ty = std::cos(a);
    const double nx = std::cos(a), ny = -std::sin(a);
    const Shape head = triangle(px + tx * 4.0, py + ty * 4.0, px + nx * 3.2, py + ny * 3.2,
                                px - nx * 3.2, py - ny * 3.2);
    return unite(subtract(ring, gap), head);
}

// A two-state button: released (or off) above, pressed (or on) below.
Canvas paintButton(const Canvas& background, const Place& place, Shape (*symbol)(double, double),
                   bool lights) {
    Canvas strip(place.w, place.h * 2);
    for (int state = 0; state < 2; ++state) {
        Canvas c = cut(background, place);
        const double w = place.w, h = place.h;
        const bool down = state == 1;
        c.fill(roundRect(0, 0, w, h, 5), kEdgeRed);
        if (down) {
            c.fill(roundRect(1, 1, w - 1, h - 1, 4),
                   vertical(Rgb{64, 0, 4}, Rgb{122, 16, 20}, 1, h - 1));
            c.fill(roundRect(1, 2.5, w - 1, h - 1, 4),
                   vertical(Rgb{92, 2, 8}, Rgb{118, 12, 16}, 2, h - 1));
        } else {
            c.fill(roundRect(1, 1, w - 1, h - 1, 4),
                   vertical(Rgb{196, 70, 72}, Rgb{70, 0, 4}, 1, h - 1));
            c.fill(roundRect(1.5, 1.8, w - 1.5, h - 2, 3.5),
                   vertical(Rgb{150, 22, 28}, Rgb{96, 4, 10}, 2, h - 2));
        }
        const double cx = w / 2.0, cy = h / 2.0 + (down ? 1.0 : 0.0) + 1.0;
        const Shape mark = symbol(cx, cy);
        if (down && lights) {
            c.fill(circle(cx, cy - 1, 9), Rgb{255, 70, 30}, 0.18);
            c.fill(translate(mark, 0, 0), Rgb{255, 120, 60}, 0.5);
            c.fill(outline(mark, 0.8), Rgb{255, 90, 40}, 0.35);
            c.fill(mark, Rgb{255, 196, 150});
        } else {
            c.fill(translate(mark, 0, 1), Rgb{50, 0, 2}, 0.6);
            c.fill(mark, down ? Rgb{214, 170, 166} : Rgb{236, 204, 200});
        }
        strip.paste(c, 0, state * place.h);
    }
    return strip;
}

Canvas paintBottomStrip(const Canvas& background) {
    Canvas c = cut(background, kBottomStrip);
    const double w = kBottomStrip.w, h = kBottomStrip.h;
    c.fill(roundRect(0, 0, w, h, 3), kEdgeRed);
    c.fill(roundRect(1, 1, w - 1, h - 1, 2), vertical(Rgb{150, 26, 30}, Rgb{84, 0, 6}, 1, h - 1));
    c.fill(roundRect(1, 2, w - 1, h - 1, 2), vertical(Rgb{128, 12, 18}, Rgb{92, 2, 8}, 2, h - 1));
    const std::string name = "Bleepifier";
    const int textWidth = PixelFont::textWidth(name, 1, true);
    const int x = (kBottomStrip.w - textWidth) / 2;
    const int y = 4;
    PixelFont::draw(c, name, x, y + 1, 1, Rgb{50, 0, 4}, true);
    PixelFont::draw(c, name, x, y, 1, Rgb{250, 236, 230}, true);
    // Thin rules lead the eye to the name.
    const double ruleY = y + 3.5;
    c.fill(segment(8, ruleY, x - 8, ruleY, 0.5), Rgb{206, 120, 116}, 0.8);
    c.fill(segment(x + textWidth + 8, ruleY, w - 8, ruleY, 0.5), Rgb{206, 120, 116}, 0.8);
    return c;
}

}  // namespace

std::vector<SkinBitmap> paintSkin() {
    const Canvas background = paintBackground();
    std::vector<SkinBitmap> skin;
    skin.push_back({128, background});
    skin.push_back({129, paintMenuFace(background, "SINE WAVE")});
    skin.push_back({130, paintMenuFace(background, "SQUARE WAVE")});
    skin.push_back({131, paintMenuFace(background, "TRIANGLE WAVE")});
    skin.push_back({132, paintMenuFace(background, "SAW WAVE")});
    skin.push_back({133, paintSliderHandle()});
    skin.push_back({134, paintSliderPlate(background)});
    skin.push_back({135, paintButton(background, kPower, powerSymbol, true)});
    skin.push_back({136, paintButton(background, kReset, resetSymbol, false)});
    skin.push_back({139, paintKnobStrip()});
    skin.push_back({140, paintMenuFace(background, "NOISE(LONG)")});
    skin.push_back({141, paintMenuFace(background, "NOISE(SHORT)")});
    skin.push_back({142, paintKnobPanel(background)});
    skin.push_back({143, paintBottomStrip(background)});
    return skin;
}

}  // namespace skingen
