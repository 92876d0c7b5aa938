#include "gui/CDrawContext.h"

#include "gui/CFrame.h"
#include "gui/platform/soft/SoftPlatform.h"
#include "tests/gui/GuiTestSupport.h"

#include <gtest/gtest.h>

namespace tanuvo::gui {
namespace {

using testing::inkBox;
using testing::pixelAt;
using testing::pixelsOf;

constexpr CColor kBlue{0, 0, 255, 255};
constexpr CColor kGreen{0, 200, 0, 255};

int countColor(COffscreenContext& context, const CColor& color) {
    int n = 0;
    for (const CColor& c : pixelsOf(context))
        n += c == color;
    return n;
}

TEST(CDrawContext, InitialStateMatchesTheDefaults) {
    COffscreenContext context(nullptr, 20, 20, kBlackCColor);
    EXPECT_EQ(context.getFrameColor(), kBlackCColor);  // the constructor outlines in background
    CDrawContext plain(nullptr, nullptr, nullptr);
    EXPECT_EQ(plain.getFrameColor(), kWhiteCColor);
    EXPECT_EQ(plain.getFillColor(), kBlackCColor);
    EXPECT_EQ(plain.getFontColor(), kWhiteCColor);
    EXPECT_EQ(plain.getLineWidth(), 1);
    EXPECT_EQ(plain.getLineStyle(), kLineSolid);
    EXPECT_EQ(plain.getFont(), kSystemFont);
    EXPECT_EQ(plain.getFontSize(), 12);
    CRect clip;
    EXPECT_EQ(plain.getClipRect(clip), CRect(0, 0, 1000, 1000));
}

TEST(CDrawContext, FillRectLeavesOutTheLeftAndTopEdges) {
    COffscreenContext context(nullptr, 12, 12, kBlackCColor);
    context.setFillColor(kBlue);
    context.fillRect(CRect(0, 0, 10, 10));
    EXPECT_EQ(countColor(context, kBlue), 81);
    EXPECT_EQ(inkBox(context, kBlackCColor), CRect(1, 1, 10, 10));
}

TEST(CDrawContext, DrawRectOutlinesTheLastPixelsInside) {
    COffscreenContext context(nullptr, 12, 12, kBlackCColor);
    context.setFrameColor(kGreen);
    context.drawRect(CRect(2, 3, 8, 9));
    EXPECT_EQ(inkBox(context, kBlackCColor), CRect(2, 3, 8, 9));
    EXPECT_EQ(countColor(context, kGreen), 2 * 6 + 2 * 4);
    EXPECT_EQ(pixelAt(context, 7, 8), kGreen);        // far corner drawn
    EXPECT_EQ(pixelAt(context, 4, 5), kBlackCColor);  // inside left alone
}

TEST(CDrawContext, LinesLeaveOutTheirEndPointAndFollowTheOffset) {
    COffscreenContext context(nullptr, 20, 20, kBlackCColor);
    context.setFrameColor(kWhiteCColor);
    context.offset = CPoint(5, 5);
    context.moveTo(CPoint(0, 0));
    context.lineTo(CPoint(4, 0));
    EXPECT_EQ(countColor(context, kWhiteCColor), 4);
    EXPECT_EQ(pixelAt(context, 5, 5), kWhiteCColor);
    EXPECT_EQ(pixelAt(context, 8, 5), kWhiteCColor);
    EXPECT_EQ(pixelAt(context, 9, 5), kBlackCColor);
}

TEST(CDrawContext, ClipRectConfinesDrawingAndIsReportedInContextCoordinates) {
    COffscreenContext context(nullptr, 20, 20, kBlackCColor);
    context.offset = CPoint(2, 2);
    context.setClipRect(CRect(0, 0, 5, 5));
    CRect clip;
    EXPECT_EQ(context.getClipRect(clip), CRect(0, 0, 5, 5));
    context.setFillColor(kBlue);
    context.fillRect(CRect(-5, -5, 30, 30));
    EXPECT_EQ(inkBox(context, kBlackCColor), CRect(2, 2, 7, 7));
}

TEST(CDrawContext, FontIndexOutsideTheTableSelectsTheBoldSystemFont) {
    CDrawContext context(nullptr, nullptr, nullptr);
    context.setFont(kNormalFontVeryBig);
    EXPECT_EQ(context.getFontSize(), 18);
    context.setFont(CFont(9), 40, 0);
    EXPECT_EQ(context.getFont(), kSystemFont);
    EXPECT_EQ(context.getFontSize(), 12);
    context.setFont(CFont(-3));
    EXPECT_EQ(context.getFont(), kSystemFont);
    context.setFont(kSymbolFont);
    EXPECT_EQ(context.getFontSize(), 13);
}

TEST(CDrawContext, StringAlignmentPlacesTextAgainstTheRequestedEdge) {
    const CRect box(0, 0, 100, 20);
    auto inkOf = [&](CHoriTxtAlign align) {
        COffscreenContext context(nullptr, 100, 20, kBlackCColor);
        context.setFontColor(kWhiteCColor);
        context.setFont(kNormalFont);
        context.drawString("Wide", box, false, align);
        return inkBox(context, kBlackCColor);
    };
    const CRect left = inkOf(kLeftText), center = inkOf(kCenterText), right = inkOf(kRightText);
    ASSERT_FALSE(left.isEmpty());
    EXPECT_EQ(left.width(), right.width());
    EXPECT_EQ(left.top, right.top);
    // Left-aligned text starts one pixel in; the first glyph's bearing adds at most a pixel or two.
    EXPECT_GE(left.left, 1);
    EXPECT_LE(left.left, 3);
    EXPECT_GE(right.right, 97);
    EXPECT_LE(right.right, 100);
    EXPECT_NEAR((center.left + center.right) / 2.0, 50.0, 2.0);
    // Vertically centred: the ink sits in the middle rows.
    EXPECT_GE(left.top, 3);
    EXPECT_LE(left.bottom, 17);
}

TEST(CDrawContext, OpaqueStringsFillTheTextCellWithTheFillColour) {
    COffscreenContext context(nullptr, 60, 20, kBlackCColor);
    context.setFillColor(kBlue);
    context.setFontColor(kWhiteCColor);
    context.drawString("Hi", CRect(0, 0, 60, 20), true, kCenterText);
    EXPECT_GT(countColor(context, kBlue), 0);
    COffscreenContext clear(nullptr, 60, 20, kBlackCColor);
    clear.setFillColor(kBlue);
    clear.drawString("Hi", CRect(0, 0, 60, 20), false, kCenterText);
    EXPECT_EQ(countColor(clear, kBlue), 0);
}

TEST(CDrawContext, BoldAndUnderlinedTextInksMore) {
    auto ink = [](long style) {
        COffscreenContext context(nullptr, 80, 20, kBlackCColor);
        context.setFont(kNormalFont, 0, style);
        context.drawString("Label", CRect(0, 0, 80, 20));
        return countColor(context, kWhiteCColor);
    };
    EXPECT_GT(ink(kBoldFace), ink(kNormalFace));
    EXPECT_GT(ink(kUnderlineFace), ink(kNormalFace));
}

TEST(CDrawContext, MouseButtonsExchangeLeftAndRightWhenSwapped) {
    namespace soft = platform::soft;
    void* host = soft::createHostWindow(50, 50);
    soft::setButtonsSwapped(true);
    {
        CFrame frame(CRect(0, 0, 50, 50), host, nullptr);  // registration reads the setting
        CDrawContext context(&frame, nullptr, frame.getPlatformWindow());
        soft::setAsyncKeyState(platform::kKeyRight | platform::kKeyShift);
        EXPECT_EQ(context.getMouseButtons(), kLButton | kShift);
        soft::setAsyncKeyState(platform::kKeyLeft | platform::kKeyCtrl | platform::kKeyAlt);
        EXPECT_EQ(context.getMouseButtons(), kRButton | kControl | kAlt);
    }
    soft::resetInput();
    {
        CFrame frame(CRect(0, 0, 50, 50), host, nullptr);
        CDrawContext context(&frame, nullptr, frame.getPlatformWindow());
        soft::setAsyncKeyState(platform::kKeyRight | platform::kKeyMiddle);
        EXPECT_EQ(context.getMouseButtons(), kRButton | kMButton);
    }
    soft::resetInput();
    soft::destroyHostWindow(host);
}

TEST(COffscreenContext, StartsFilledWithItsBackgroundAndCopiesOut) {
    COffscreenContext source(nullptr, 10, 10, kBlue);
    EXPECT_EQ(countColor(source, kBlue), 100);
    source.setFillColor(kGreen);
    source.fillRect(CRect(4, 4, 8, 8));  // green 5..7
    COffscreenContext target(nullptr, 20, 20, kBlackCColor);
    target.offset = CPoint(1, 1);
    source.copyFrom(&target, CRect(10, 10, 14, 14), CPoint(4, 4));
    EXPECT_EQ(inkBox(target, kBlackCColor), CRect(11, 11, 15, 15));
    EXPECT_EQ(pixelAt(target, 11, 11), kBlue);
    EXPECT_EQ(pixelAt(target, 12, 12), kGreen);
}

}  // namespace
}  // namespace tanuvo::gui
