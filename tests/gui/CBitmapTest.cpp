#include "gui/CBitmap.h"

#include "gui/CFrame.h"
#include "gui/platform/soft/SoftObjects.h"
#include "gui/platform/soft/SoftPlatform.h"
#include "tests/gui/GuiTestSupport.h"

#include <gtest/gtest.h>

#include <vector>

namespace tanuvo::gui {
namespace {

using testing::inkBox;
using testing::makeBitmap;
using testing::pixelAt;
using testing::pixelsOf;

constexpr CColor kRed{255, 0, 0, 255};
constexpr CColor kBlue{0, 0, 255, 255};
constexpr CColor kKey{255, 255, 255, 255};

// 8 x 8: a white (transparent) border around a quartered red/blue core.
CBitmap* makeSprite() {
    return makeBitmap(8, 8, [](int x, int y) {
        if (x == 0 || y == 0 || x == 7 || y == 7)
            return kKey;
        return x < 4 ? kRed : kBlue;
    });
}

TEST(CBitmap, OpaqueDrawCopiesTheSourceRectangleFromTheOffset) {
    CBitmap* sprite = makeSprite();
    COffscreenContext context(nullptr, 20, 20, kBlackCColor);
    context.offset = CPoint(2, 0);
    CRect where(5, 5, 8, 7);
    sprite->draw(&context, where, CPoint(3, 2));
    EXPECT_EQ(inkBox(context, kBlackCColor), CRect(7, 5, 10, 7));
    EXPECT_EQ(pixelAt(context, 7, 5), kRed);   // source (3, 2)
    EXPECT_EQ(pixelAt(context, 8, 5), kBlue);  // source (4, 2)
    sprite->forget();
}

TEST(CBitmap, TransparentDrawLeavesTheKeyColourOutWithEitherStrategy) {
    auto drawWith = [](bool blendLibrary) {
        if (blendLibrary)
            platform::loadBlendLibrary();
        CBitmap* sprite = makeSprite();
        sprite->setTransparentColor(kKey);
        COffscreenContext context(nullptr, 10, 10, kBlackCColor);
        EXPECT_EQ(platform::hasTransparentBlt(), blendLibrary);
        CRect where(1, 1, 9, 9);
        sprite->drawTransparent(&context, where);
        sprite->forget();
        if (blendLibrary)
            platform::freeBlendLibrary();
        return pixelsOf(context);
    };
    const auto masked = drawWith(false);
    const auto blitted = drawWith(true);
    EXPECT_EQ(masked, blitted);
    // Border pixels stayed black; the core landed.
    EXPECT_EQ(masked[1 * 10 + 1], kBlackCColor);
    EXPECT_EQ(masked[2 * 10 + 2], kRed);
    EXPECT_EQ(masked[2 * 10 + 6], kBlue);
    int black = 0;
    for (const CColor& c : masked)
        black += c == kBlackCColor;
    EXPECT_EQ(black, 100 - 36);
}

TEST(CBitmap, TransparentDrawKeepsTheDestinationColoursOfTheContext) {
    CBitmap* sprite = makeSprite();
    COffscreenContext context(nullptr, 10, 10, kBlackCColor);
    context.setFillColor(kBlue);
    context.setFontColor(kRed);
    CRect where(0, 0, 8, 8);
    sprite->drawTransparent(&context, where);
    // The emulation borrowed the background and text colours; text drawn after uses ours again.
    context.drawString("I", CRect(0, 0, 10, 10), true);
    EXPECT_GT(inkBox(context, kBlackCColor).width(), 0);
    sprite->forget();
}

TEST(CBitmap, AlphaBlendMixesWithTheDestination) {
    platform::loadBlendLibrary();
    CBitmap* white = makeBitmap(4, 4, [](int, int) { return kWhiteCColor; });
    COffscreenContext context(nullptr, 4, 4, kBlackCColor);
    CRect where(0, 0, 4, 4);
    white->drawAlphaBlend(&context, where, CPoint(0, 0), 128);
    EXPECT_EQ(pixelAt(context, 2, 2), (CColor{128, 128, 128, 255}));
    white->forget();
    platform::freeBlendLibrary();
    // Without the blend library nothing is drawn.
    CBitmap* again = makeBitmap(4, 4, [](int, int) { return kWhiteCColor; });
    COffscreenContext untouched(nullptr, 4, 4, kBlackCColor);
    again->drawAlphaBlend(&untouched, where, CPoint(0, 0), 255);
    EXPECT_EQ(pixelAt(untouched, 2, 2), kBlackCColor);
    again->forget();
}

TEST(COffscreenContext, DrawsIntoAnExistingBitmapAndHoldsItMeanwhile) {
    CBitmap* sprite = makeSprite();
    {
        COffscreenContext context(nullptr, sprite);
        EXPECT_EQ(sprite->getNbReference(), 2);
        EXPECT_EQ(context.getWidth(), 8);
        context.setFillColor(kBlue);
        context.fillRect(CRect(-1, -1, 8, 8));
    }
    EXPECT_EQ(sprite->getNbReference(), 1);
    COffscreenContext target(nullptr, 8, 8, kBlackCColor);
    CRect where(0, 0, 8, 8);
    sprite->draw(&target, where);
    EXPECT_EQ(pixelAt(target, 0, 0), kBlue);
    EXPECT_EQ(pixelAt(target, 7, 7), kBlue);
    sprite->forget();
}

TEST(CBitmap, MissingResourceHasNoSizeAndDrawsNothing) {
    CBitmap missing(4242);
    EXPECT_FALSE(missing.isLoaded());
    EXPECT_EQ(missing.getWidth(), 0);
    EXPECT_EQ(missing.getHeight(), 0);
    COffscreenContext context(nullptr, 10, 10, kBlackCColor);
    CRect where(0, 0, 10, 10);
    missing.draw(&context, where);
    missing.drawTransparent(&context, where);
    EXPECT_TRUE(inkBox(context, kBlackCColor).isEmpty());
    EXPECT_FALSE(missing.loadFromPath("anything.bmp"));
}

TEST(CBitmap, SkinResourcesLoadWithTheirSizes) {
    CBitmap background(128);
    ASSERT_TRUE(background.isLoaded());
    EXPECT_EQ(background.getWidth(), 240);
    EXPECT_EQ(background.getHeight(), 320);
    CBitmap strip(139);
    EXPECT_EQ(strip.getWidth(), 32);
    EXPECT_EQ(strip.getHeight(), 1952);
    // Reloading another id replaces the image.
    EXPECT_TRUE(strip.loadFromResource(135));
    EXPECT_EQ(strip.getHeight(), 52);
}

TEST(BmpDecoder, RejectsFilesWhoseSizesOverrunTheirBytes) {
    // A 2 x 1 24-bit file: 54-byte header + one padded row of 8 bytes.
    std::vector<unsigned char> file(62, 0);
    file[0] = 'B';
    file[1] = 'M';
    file[10] = 54;
    file[14] = 40;
    file[18] = 2;
    file[22] = 1;
    file[26] = 1;
    file[28] = 24;
    file[54] = 0x10;  // blue
    file[55] = 0x20;  // green
    file[56] = 0x30;  // red
    platform::Bitmap ok = platform::decodeBmp(file.data(), file.size());
    ASSERT_NE(ok, nullptr);
    EXPECT_EQ(ok->surface.at(0, 0), platform::toPixel(platform::makeColorRef(0x30, 0x20, 0x10)));
    platform::deleteBitmap(ok);

    EXPECT_EQ(platform::decodeBmp(file.data(), file.size() - 1), nullptr);
    file[22] = 100;  // height now claims more rows than the file holds
    EXPECT_EQ(platform::decodeBmp(file.data(), file.size()), nullptr);
    file[22] = 1;
    file[28] = 16;  // unsupported depth
    EXPECT_EQ(platform::decodeBmp(file.data(), file.size()), nullptr);
    EXPECT_EQ(platform::decodeBmp(nullptr, 0), nullptr);
}

}  // namespace
}  // namespace tanuvo::gui
