#include "gui/CParamDisplay.h"

#include "gui/CBitmap.h"
#include "tests/gui/ControlTestSupport.h"
#include "tests/gui/GuiTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>

namespace tanuvo::gui {
namespace {

using testing::ControlHarness;

constexpr CColor kPanelRed{110, 0, 5, 255};
constexpr CColor kBlue{0, 0, 255, 255};

int countColour(ControlHarness& h, const CRect& area, const CColor& colour) {
    h.settle();
    int w = 0, hh = 0;
    const auto rgba = platform::soft::windowPixels(h.frame->getPlatformWindow(), &w, &hh);
    int count = 0;
    for (CCoord y = area.top; y < area.bottom; ++y)
        for (CCoord x = area.left; x < area.right; ++x) {
            const std::uint8_t* p = &rgba[4 * (std::size_t(y) * w + x)];
            count += CColor{p[0], p[1], p[2], 255} == colour ? 1 : 0;
        }
    return count;
}

TEST(CTextLabel, CaptionFillsItsBoxAndWritesWhiteTextInsideIt) {
    ControlHarness h;
    const CRect box(40, 46, 58, 56);
    auto* label = h.add(new CTextLabel(box, "MIX", nullptr, 1));
    label->setFont(kNormalFontSmall);
    label->setBackColor(kPanelRed);
    label->setFrameColor(kPanelRed);
    const int white = countColour(h, box, kWhiteCColor);
    const int red = countColour(h, box, kPanelRed);
    EXPECT_GT(white, 5);
    EXPECT_GT(red, box.width() * box.height() / 3);
    // Text is clipped to the box.
    EXPECT_EQ(countColour(h, CRect(30, 36, 68, 46), kWhiteCColor), 0);
    EXPECT_EQ(countColour(h, CRect(30, 56, 68, 66), kWhiteCColor), 0);
}

TEST(CTextLabel, NoTextStyleShowsOnlyTheBackgroundAndNoDrawStyleNothing) {
    ControlHarness h;
    const CRect box(10, 10, 60, 30);
    auto* label = h.add(new CTextLabel(box, "Hidden", nullptr, kNoTextStyle));
    label->setBackColor(kBlue);
    label->setFrameColor(kBlue);
    EXPECT_EQ(countColour(h, box, kBlue), box.width() * box.height());

    auto* nothing = new CTextLabel(CRect(100, 10, 150, 30), "Nothing", nullptr, kNoDrawStyle);
    EXPECT_FALSE(nothing->isDirty());  // starts clean
    h.add(nothing);
    h.settle();
    nothing->setBackColor(kBlue);
    EXPECT_TRUE(nothing->isDirty());
    EXPECT_EQ(countColour(h, CRect(100, 10, 150, 30), kBlue), 0);
}

TEST(CTextLabel, KeepsItsOwnCopyOfTheText) {
    char text[] = "DEPTH";
    auto* label = new CTextLabel(CRect(0, 0, 10, 10), text);
    std::strcpy(text, "other");
    EXPECT_STREQ(label->getText(), "DEPTH");
    label->setText(nullptr);
    EXPECT_EQ(label->getText(), nullptr);
    label->setText("");
    EXPECT_STREQ(label->getText(), "");
    EXPECT_TRUE(label->isTypeOf("CTextLabel"));
    EXPECT_TRUE(label->isTypeOf("CParamDisplay"));
    EXPECT_TRUE(label->isTypeOf("CControl"));
    EXPECT_FALSE(label->isTypeOf("COptionMenu"));
    label->forget();
}

TEST(CParamDisplay, SettersMarkDirtyOnlyOnChange) {
    ControlHarness h;
    auto* display = h.add(new CParamDisplay(CRect(0, 0, 40, 12)));
    EXPECT_EQ(display->getFont(), kNormalFont);
    EXPECT_EQ(display->getHoriAlign(), kCenterText);
    EXPECT_EQ(display->getFontColor(), kWhiteCColor);
    EXPECT_EQ(display->getShadowColor(), kRedCColor);
    h.settle();
    display->setFontColor(kWhiteCColor);
    display->setBackColor(kBlackCColor);
    display->setFont(kNormalFont);
    EXPECT_FALSE(display->isDirty());
    display->setShadowColor(kBlue);
    EXPECT_TRUE(display->isDirty());
    h.settle();
    display->setTxtFace(kBoldFace);
    EXPECT_TRUE(display->isDirty());
}

TEST(CParamDisplay, ConvertersTurnTheValueIntoText) {
    ControlHarness h;
    auto* display = h.add(new CParamDisplay(CRect(0, 0, 60, 14)));
    static float seen = -1.0f;
    static void* seenData = nullptr;
    display->setValue(0.25f);
    display->setStringConvert([](float value, char* text) {
        seen = value;
        std::strcpy(text, "plain");
    });
    h.settle();
    EXPECT_EQ(seen, 0.25f);
    int marker = 0;
    display->setStringConvert(
        [](float value, char* text, void* data) {
            seen = value * 2;
            seenData = data;
            std::strcpy(text, "with data");
        },
        &marker);
    display->setDirty();
    h.settle();
    EXPECT_EQ(seen, 0.5f);
    EXPECT_EQ(seenData, &marker);
}

TEST(CParamDisplay, ShadowedTextUsesTheShadowColourOnePixelOff) {
    ControlHarness h;
    const CRect box(10, 10, 90, 30);
    auto* display = h.add(new CParamDisplay(box, nullptr, kShadowText));
    display->setShadowColor(kBlue);
    display->setValue(0.5f);
    EXPECT_GT(countColour(h, box, kBlue), 3);
    EXPECT_GT(countColour(h, box, kWhiteCColor), 3);
}

}  // namespace
}  // namespace tanuvo::gui
