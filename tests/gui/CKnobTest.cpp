#include "gui/CKnob.h"

#include "gui/CBitmap.h"
#include "tests/gui/ControlTestSupport.h"
#include "tests/gui/GuiTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>

namespace tanuvo::gui {
namespace {

using testing::ControlHarness;
using testing::makeBitmap;

// A 32-pixel knob at the mix knob's place, without pictures.
CKnob* makeKnob(long tag = 3) {
    return new CKnob(CRect(33, 58, 65, 90), nullptr, tag, nullptr, nullptr);
}

// A strip of 61 images of 32 x 32 whose image i is filled with red = i.
CBitmap* makeStrip() {
    return makeBitmap(32, 61 * 32, [](int, int y) {
        return CColor{std::uint8_t(y / 32), 0, 0, 255};
    });
}

TEST(CKnob, AnglesMapLowerLeftToMinimumTopToMiddleAndLowerRightToMaximum) {
    CKnob* knob = makeKnob();
    EXPECT_NEAR(knob->valueFromPoint(CPoint(5, 27)), 0.0f, 0.01f);         // 225 degrees
    EXPECT_NEAR(knob->valueFromPoint(CPoint(16, 2)), 0.5f, 0.01f);         // straight up
    EXPECT_NEAR(knob->valueFromPoint(CPoint(27, 27)), 1.0f, 0.01f);        // -45 degrees
    EXPECT_NEAR(knob->valueFromPoint(CPoint(2, 16)), 1.0f / 6.0f, 0.01f);  // left
    // The dead quarter at the bottom snaps to the nearer end.
    EXPECT_EQ(knob->valueFromPoint(CPoint(14, 30)), 0.0f);
    EXPECT_EQ(knob->valueFromPoint(CPoint(18, 30)), 1.0f);
    knob->forget();
}

TEST(CKnob, RimPointFollowsTheValueWithTheInset) {
    CKnob* knob = makeKnob();
    CPoint p;
    knob->setValue(0.5f);
    knob->valueToPoint(p);
    EXPECT_EQ(p, CPoint(16, 3));  // radius 16, inset 3
    knob->setInsetValue(0);
    knob->setValue(0.0f);
    knob->valueToPoint(p);
    EXPECT_EQ(p, CPoint(5, 27));
    knob->setValue(1.0f);
    knob->valueToPoint(p);
    EXPECT_EQ(p, CPoint(27, 27));
    knob->forget();
}

TEST(CKnob, CircularDragFollowsThePointerButNeverJumpsAcrossTheDeadZone) {
    ControlHarness h;
    CKnob* knob = h.add(makeKnob());
    const CPoint top(33 + 16, 58 + 2), lowerRight(33 + 27, 58 + 27), lowerLeft(33 + 5, 58 + 27);
    h.drag(knob, top, kLButton, {lowerRight});
    EXPECT_NEAR(knob->getValue(), 1.0f, 0.01f);
    EXPECT_EQ(h.editor.edits, (std::vector<std::string>{"begin 3", "end 3"}));
    // From the maximum across the bottom toward the minimum: it stays at the maximum.
    h.drag(knob, lowerRight, kLButton,
           {CPoint(33 + 20, 58 + 31), CPoint(33 + 12, 58 + 31), lowerLeft});
    EXPECT_EQ(knob->getValue(), 1.0f);
    ASSERT_FALSE(h.listener.values.empty());
    EXPECT_NEAR(h.listener.values.front(), 0.5f, 0.01f);

    // Round the rim in small steps from near the minimum to the maximum: more than half the
    // range from where the drag began, and still no jump.
    std::vector<CPoint> rim;
    for (int degrees = 210; degrees >= -45; degrees -= 15) {
        const double a = degrees * 3.141592653589793 / 180.0;
        rim.push_back(CPoint(33 + 16 + CCoord(std::lround(14 * std::cos(a))),
                             58 + 16 - CCoord(std::lround(14 * std::sin(a)))));
    }
    h.listener.values.clear();
    h.drag(knob, rim.front(), kLButton, rim);
    ASSERT_FALSE(h.listener.values.empty());
    EXPECT_LT(h.listener.values.front(), 0.1f);
    EXPECT_NEAR(knob->getValue(), 1.0f, 0.01f);
}

TEST(CKnob, LinearDragCoversTheRangeIn200PixelsOr300WithShift) {
    ControlHarness h;
    h.editor.knobMode = CKnob::kLinearMode;
    CKnob* knob = h.add(makeKnob());
    knob->setValue(0.2f);
    const CPoint start(40, 70);
    h.drag(knob, start, kLButton, {CPoint(40, 20)});  // 50 pixels up
    EXPECT_NEAR(knob->getValue(), 0.45f, 1e-5f);
    h.drag(knob, start, kLButton, {CPoint(100, 70)});  // 60 pixels right
    EXPECT_NEAR(knob->getValue(), 0.75f, 1e-5f);
    h.drag(knob, start, kLButton | kShift, {CPoint(40, 40)});
    EXPECT_NEAR(knob->getValue(), 0.85f, 1e-5f);
    h.drag(knob, start, kLButton, {CPoint(40, 0)});
    EXPECT_EQ(knob->getValue(), 1.0f);
}

TEST(CKnob, ShiftPressedDuringALinearDragDoesNotMakeTheKnobJump) {
    ControlHarness h;
    h.editor.knobMode = CKnob::kLinearMode;
    CKnob* knob = h.add(makeKnob());
    knob->setValue(0.0f);
    const long shifted = kLButton | kShift;
    h.run(knob, {{CPoint(40, 80), kLButton},
                 {CPoint(40, 60), kLButton},
                 {CPoint(40, 30), shifted},
                 {CPoint(40, 0), shifted}});
    // 20 pixels at 1/200, the move that brings Shift still at that rate (30 more), then 30 at
    // 1/300.
    ASSERT_EQ(h.listener.values.size(), 3u);
    EXPECT_NEAR(h.listener.values[0], 0.1f, 1e-5f);
    EXPECT_NEAR(h.listener.values[1], 0.25f, 1e-5f);
    EXPECT_NEAR(h.listener.values[2], 0.35f, 1e-5f);
}

TEST(CKnob, AltSwapsTheTrackingMode) {
    ControlHarness h;
    CKnob* knob = h.add(makeKnob());
    knob->setValue(0.5f);
    // Circular mode with Alt tracks linearly: clicking the lower left does not set the minimum.
    h.drag(knob, CPoint(33 + 5, 58 + 27), kLButton | kAlt, {CPoint(33 + 5, 58 + 7)});
    EXPECT_NEAR(knob->getValue(), 0.6f, 1e-5f);
}

TEST(CKnob, CtrlClickRestoresTheDefaultInsideOneEdit) {
    ControlHarness h;
    CKnob* knob = h.add(makeKnob());
    knob->setValue(0.9f);
    h.drag(knob, CPoint(40, 60), kLButton | kControl);
    EXPECT_EQ(knob->getValue(), 0.5f);
    EXPECT_EQ(h.listener.values, std::vector<float>{0.5f});
    EXPECT_EQ(h.editor.edits, (std::vector<std::string>{"begin 3", "end 3"}));
}

TEST(CKnob, RightButtonAndDisabledMouseDoNothing) {
    ControlHarness h;
    CKnob* knob = h.add(makeKnob());
    knob->setValue(0.3f);
    h.drag(knob, CPoint(40, 60), kRButton, {CPoint(60, 85)});
    knob->setMouseEnabled(false);
    h.drag(knob, CPoint(40, 60), kLButton, {CPoint(60, 85)});
    EXPECT_EQ(knob->getValue(), 0.3f);
    EXPECT_TRUE(h.listener.values.empty());
    EXPECT_TRUE(h.editor.edits.empty());
}

TEST(CKnob, WheelAndArrowKeysStepByTheWheelIncrementAndStayInRange) {
    ControlHarness h;
    CKnob* knob = h.add(makeKnob());
    knob->setValue(0.5f);
    CDrawContext context(h.frame, nullptr, h.frame->getPlatformWindow());
    // The frame redraws between user actions.
    auto wheel = [&](float distance) {
        h.settle();
        return knob->onWheel(&context, CPoint(40, 60), distance);
    };
    auto key = [&](VirtualKey virtualKey, std::uint8_t modifiers) {
        h.settle();
        KeyCode code{0, virtualKey, modifiers};
        return knob->onKeyDown(code);
    };
    EXPECT_TRUE(wheel(1.0f));
    EXPECT_NEAR(knob->getValue(), 0.6f, 1e-6f);
    EXPECT_EQ(key(VirtualKey::down, 0), 1);
    EXPECT_NEAR(knob->getValue(), 0.5f, 1e-6f);
    EXPECT_EQ(key(VirtualKey::right, kModifierShift), 1);
    EXPECT_NEAR(knob->getValue(), 0.51f, 1e-6f);
    EXPECT_EQ(key(VirtualKey::enter, 0), -1);
    EXPECT_TRUE(wheel(30.0f));
    EXPECT_EQ(knob->getValue(), 1.0f);
    EXPECT_EQ(h.listener.values.size(), 4u);
    EXPECT_EQ(h.editor.edits.size(), 8u);
    // At the end stop nothing changes, so nobody is told.
    EXPECT_TRUE(wheel(1.0f));
    EXPECT_EQ(key(VirtualKey::up, 0), 1);
    EXPECT_EQ(h.listener.values.size(), 4u);
}

TEST(CAnimKnob, ShowsTheStripImageOfTheValueButNeverTheLastOne) {
    ControlHarness h;
    CBitmap* strip = makeStrip();
    CAnimKnob* knob = h.add(new CAnimKnob(CRect(33, 58, 65, 90), nullptr, 3, 60, 32, strip));
    strip->forget();
    auto imageShown = [&](float value) {
        knob->setValue(value);
        knob->setDirty();  // also when the rim point stays
        return int(h.pixel(40, 70).red);
    };
    EXPECT_EQ(imageShown(0.0f), 0);
    EXPECT_EQ(imageShown(0.5f), 29);
    EXPECT_EQ(imageShown(1.0f), 59);
    EXPECT_EQ(imageShown(0.999f), 58);
    knob->setInverseBitmap(true);
    EXPECT_EQ(imageShown(1.0f), 0);
    knob->setInverseBitmap(false);
    EXPECT_EQ(imageShown(2.0f), 59);  // out of range values stay inside the strip
    EXPECT_EQ(imageShown(0.25f), 14);
}

TEST(CAnimKnob, IsDirtyOnlyWhenTheRoundedRimPointMoves) {
    ControlHarness h;
    CBitmap* strip = makeStrip();
    CAnimKnob* knob = h.add(new CAnimKnob(CRect(33, 58, 65, 90), nullptr, 3, 60, 32, strip));
    strip->forget();
    knob->setValue(0.5f);
    h.pixel(0, 0);  // draws it
    EXPECT_FALSE(knob->isDirty());
    knob->setValue(0.501f);  // same rim point at radius 16
    EXPECT_FALSE(knob->isDirty());
    knob->setValue(0.55f);
    EXPECT_TRUE(knob->isDirty());
    knob->setValue(0.5f);
    knob->setDirty(true);
    EXPECT_TRUE(knob->isDirty());
}

TEST(CAnimKnob, DragReportsOnlyMovesOfTheRimPoint) {
    ControlHarness h;
    h.editor.knobMode = CKnob::kLinearMode;
    CBitmap* strip = makeStrip();
    CAnimKnob* knob = h.add(new CAnimKnob(CRect(33, 58, 65, 90), nullptr, 3, 60, 32, strip));
    strip->forget();
    knob->setValue(0.5f);
    h.pixel(0, 0);
    // One pixel of linear travel is 0.005, too little to move the rim point at the top.
    h.drag(knob, CPoint(40, 70), kLButton, {CPoint(40, 69)});
    EXPECT_TRUE(h.listener.values.empty());
    EXPECT_NEAR(knob->getValue(), 0.505f, 1e-6f);
    h.drag(knob, CPoint(40, 70), kLButton, {CPoint(40, 60)});
    ASSERT_EQ(h.listener.values.size(), 1u);
    EXPECT_NEAR(h.listener.values[0], 0.555f, 1e-5f);
}

}  // namespace
}  // namespace tanuvo::gui
