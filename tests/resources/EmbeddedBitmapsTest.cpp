// The embedded skin as the software platform sees it: every bitmap the editor loads is there with
// the size and stacking its layout relies on, and the pixels that other drawing depends on (the
// transparent key of the slider handle, the flat caption fields, the knob's turning dot) are right.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>

#include "gui/platform/ResourceLookup.h"

namespace {

struct Pixel {
    int r, g, b;
    bool operator==(const Pixel& o) const { return r == o.r && g == o.g && b == o.b; }
};

std::ostream& operator<<(std::ostream& out, const Pixel& p) {
    return out << "(" << p.r << ", " << p.g << ", " << p.b << ")";
}

uint32_t read32(const unsigned char* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
uint16_t read16(const unsigned char* p) {
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

// A 24-bit bottom-up BMP file, checked while it is read.
class Bitmap {
  public:
    explicit Bitmap(int id) {
        data_ = tanuvo::gui::platform::findEmbeddedBitmap(id, &size_);
        if (data_ == nullptr || size_ < 54) {
            return;
        }
        width_ = static_cast<int32_t>(read32(data_ + 18));
        height_ = static_cast<int32_t>(read32(data_ + 22));
        offset_ = read32(data_ + 10);
        bits_ = read16(data_ + 28);
        compression_ = read32(data_ + 30);
        rowBytes_ = (static_cast<size_t>(width_) * 3 + 3) & ~static_cast<size_t>(3);
    }

    bool valid() const {
        return data_ != nullptr && data_[0] == 'B' && data_[1] == 'M' &&
               read32(data_ + 2) == size_ && bits_ == 24 && compression_ == 0 && width_ > 0 &&
               height_ > 0 && offset_ + rowBytes_ * height_ == size_;
    }
    int width() const { return width_; }
    int height() const { return height_; }

    Pixel at(int x, int y) const {
        const unsigned char* p = data_ + offset_ + rowBytes_ * (height_ - 1 - y) + 3 * x;
        return Pixel{p[2], p[1], p[0]};
    }

  private:
    const unsigned char* data_ = nullptr;
    std::size_t size_ = 0;
    int width_ = 0, height_ = 0;
    size_t offset_ = 0, rowBytes_ = 0;
    int bits_ = 0;
    uint32_t compression_ = 0;
};

const Pixel kTransparent{255, 255, 255};
const Pixel kPanelRed{110, 0, 5};
const Pixel kCaptionGrey{232, 231, 232};

TEST(EmbeddedBitmaps, EveryIdOfTheSkinHasItsSize) {
    struct Expected {
        int id, width, height;
    };
    const Expected skin[] = {{128, 240, 320}, {129, 160, 28}, {130, 160, 28}, {131, 160, 28},
                             {132, 160, 28},  {140, 160, 28}, {141, 160, 28}, {134, 68, 79},
                             {133, 68, 31},   {135, 27, 52},  {136, 29, 52},  {139, 32, 1952},
                             {142, 204, 48},  {143, 221, 16}};
    for (const Expected& e : skin) {
        const Bitmap bitmap(e.id);
        ASSERT_TRUE(bitmap.valid()) << "bitmap " << e.id;
        EXPECT_EQ(bitmap.width(), e.width) << "bitmap " << e.id;
        EXPECT_EQ(bitmap.height(), e.height) << "bitmap " << e.id;
    }
}

TEST(EmbeddedBitmaps, UnknownIdsAreAbsent) {
    for (int id : {-1, 0, 2, 127, 137, 138, 144, 1000}) {
        std::size_t size = 12345;
        EXPECT_EQ(tanuvo::gui::platform::findEmbeddedBitmap(id, &size), nullptr) << id;
        EXPECT_EQ(size, 0u) << id;
    }
    EXPECT_NE(tanuvo::gui::platform::findEmbeddedBitmap(128, nullptr), nullptr);
}

TEST(EmbeddedBitmaps, SliderHandleIsKeyedOnWhiteAroundAnOpaqueBody) {
    const Bitmap handle(133);
    ASSERT_TRUE(handle.valid());
    // Corners and side margins show the plate through; the body itself never uses the key.
    for (int y : {0, handle.height() - 1}) {
        for (int x = 0; x < handle.width(); ++x) {
            EXPECT_EQ(handle.at(x, y), kTransparent) << x << ", " << y;
        }
    }
    for (int y = 0; y < handle.height(); ++y) {
        EXPECT_EQ(handle.at(0, y), kTransparent);
        EXPECT_EQ(handle.at(handle.width() - 1, y), kTransparent);
    }
    const int mid = handle.width() / 2;
    for (int y = 2; y < handle.height() - 2; ++y) {
        for (int x = mid - 12; x < mid + 12; ++x) {
            EXPECT_FALSE(handle.at(x, y) == kTransparent) << x << ", " << y;
        }
    }
}

TEST(EmbeddedBitmaps, CaptionFieldsMatchTheCaptionColours) {
    // The knob captions fill (110, 0, 5) boxes on the knob panel at y 46..56 (panel rows 2..12),
    // the knobs sit at panel rows 14..45, and the panel's flat field must agree with both.
    const Bitmap panel(142);
    ASSERT_TRUE(panel.valid());
    for (int y = 2; y < 46; ++y) {
        for (int x = 2; x < panel.width() - 2; ++x) {
            ASSERT_EQ(panel.at(x, y), kPanelRed) << x << ", " << y;
        }
    }
    // The "VOL" caption box (110, 260)-(132, 270) sits on a flat plate of its own colour.
    const Bitmap background(128);
    ASSERT_TRUE(background.valid());
    for (int y = 260; y < 270; ++y) {
        for (int x = 108; x < 134; ++x) {
            ASSERT_EQ(background.at(x, y), kCaptionGrey) << x << ", " << y;
        }
    }
}

// Centre of the indicator dot (the near-white pixels) of one knob image, relative to the centre.
void dotOf(const Bitmap& strip, int image, double* dx, double* dy) {
    double sx = 0, sy = 0, n = 0;
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            const Pixel p = strip.at(x, image * 32 + y);
            if (p.r > 240 && p.g > 240 && p.b > 240) {
                sx += x + 0.5;
                sy += y + 0.5;
                n += 1;
            }
        }
    }
    ASSERT_GT(n, 0) << "image " << image;
    *dx = sx / n - 16.0;
    *dy = 16.0 - sy / n;  // upward positive
}

TEST(EmbeddedBitmaps, KnobDotTurnsClockwiseFromLowerLeftOverTheTopToLowerRight) {
    const Bitmap strip(139);
    ASSERT_TRUE(strip.valid());
    const double kDegrees = 180.0 / 3.14159265358979323846;
    double previous = 0;
    for (int image = 0; image < 61; ++image) {
        double dx = 0, dy = 0;
        dotOf(strip, image, &dx, &dy);
        // Angle measured clockwise from the lower-left end of the travel, in -45 .. 315.
        double angle = std::fmod(225.0 - std::atan2(dy, dx) * kDegrees + 720.0, 360.0);
        if (angle > 315.0) {
            angle -= 360.0;
        }
        EXPECT_NEAR(angle, 270.0 * image / 60.0, 6.0) << "image " << image;
        if (image > 0) {
            EXPECT_GT(angle, previous) << "image " << image;
        }
        previous = angle;
        // Each image keeps the panel's ground in its corners, so the knobs blend into the panel.
        EXPECT_EQ(strip.at(0, image * 32), kPanelRed);
        EXPECT_EQ(strip.at(31, image * 32 + 31), kPanelRed);
    }
}

TEST(EmbeddedBitmaps, TwoStateButtonsDifferBetweenTheirHalves) {
    for (int id : {135, 136}) {
        const Bitmap button(id);
        ASSERT_TRUE(button.valid());
        const int half = button.height() / 2;
        int differing = 0;
        for (int y = 0; y < half; ++y) {
            for (int x = 0; x < button.width(); ++x) {
                differing += button.at(x, y) == button.at(x, y + half) ? 0 : 1;
            }
        }
        EXPECT_GT(differing, button.width() * half / 4) << "bitmap " << id;
    }
}

}  // namespace
