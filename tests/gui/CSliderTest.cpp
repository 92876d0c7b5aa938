#include "gui/CSlider.h"

#include "gui/CBitmap.h"
#include "tests/gui/ControlTestSupport.h"
#include "tests/gui/GuiTestSupport.h"

#include <gtest/gtest.h>

namespace tanuvo::gui {
namespace {

using testing::ControlHarness;
using testing::makeBitmap;

constexpr CColor kPlate{200, 200, 200, 255};
constexpr CColor kHandle{120, 0, 0, 255};
constexpr CColor kKey{255, 255, 255, 255};

// The editor's volume slider: a 68 x 79 plate at (87, 175), a 68 x 31 handle whose top travels
// from 175 to 222, minimum at the bottom. The handle is keyed white at its left column.
CVerticalSlider* makeVolumeSlider() {
    CBitmap* plate = makeBitmap(68, 79, [](int, int) { return kPlate; });
    CBitmap* handle = makeBitmap(68, 31, [](int x, int) { return x == 0 ? kKey : kHandle; });
    auto* slider =
        new CVerticalSlider(CRect(87, 175, 155, 254), nullptr, 0, 175, 222, handle, plate);
    plate->forget();
    handle->forget();
    return slider;
}

// The first row of the handle colour in the slider's column 10, relative to its top.
int handleTop(ControlHarness& h) {
    for (int y = 175; y < 254; ++y)
        if (h.pixel(97, y) == kHandle)
            return y - 175;
    return -1;
}

TEST(CSlider, VerticalHandleRunsFromTheBottomAtZeroToTheTopAtOne) {
    ControlHarness h;
    CVerticalSlider* slider = h.add(makeVolumeSlider());
    EXPECT_EQ(slider->getStyle(), kVertical | kBottom);
    slider->setValue(1.0f);
    EXPECT_EQ(handleTop(h), 0);
    slider->setValue(0.0f);
    EXPECT_EQ(handleTop(h), 47);
    slider->setValue(0.5f);
    EXPECT_EQ(handleTop(h), 23);
    // The handle is drawn with its white pixels left out.
    EXPECT_EQ(h.pixel(87, 175 + 30), kPlate);
    // Out-of-range values keep the handle inside its travel.
    slider->setValue(-3.0f);
    EXPECT_EQ(slider->handleRect().top, 175 + 47);
    slider->setValue(7.0f);
    EXPECT_EQ(slider->handleRect().top, 175);
}

TEST(CSlider, FreeClickPutsTheHandleUnderThePointer) {
    ControlHarness h;
    CVerticalSlider* slider = h.add(makeVolumeSlider());
    slider->setValue(0.5f);
    // The grab point is 14 pixels into the 31-pixel handle.
    h.drag(slider, CPoint(120, 175 + 14), kLButton);
    EXPECT_EQ(slider->getValue(), 1.0f);
    h.drag(slider, CPoint(120, 222 + 14), kLButton);
    EXPECT_EQ(slider->getValue(), 0.0f);
    h.drag(slider, CPoint(120, 200), kLButton, {CPoint(120, 300)});
    EXPECT_EQ(slider->getValue(), 0.0f);
    EXPECT_NEAR(h.listener.values.front(), 1.0f, 1e-6f);
    EXPECT_NEAR(h.listener.values[2], 1.0f - 11.0f / 47.0f, 1e-6f);
    EXPECT_EQ(h.editor.edits.size(), 6u);
    EXPECT_EQ(h.editor.edits.front(), "begin 0");
}

TEST(CSlider, ShiftMovesTenTimesFinerFromWherePressed) {
    ControlHarness h;
    CVerticalSlider* slider = h.add(makeVolumeSlider());
    const long shifted = kLButton | kShift;
    h.run(slider,
          {{CPoint(120, 200), kLButton}, {CPoint(120, 200), shifted}, {CPoint(120, 247), shifted}});
    const float atPress = 1.0f - 11.0f / 47.0f;
    // 47 pixels are the whole range unshifted; with Shift they move a tenth of it.
    EXPECT_NEAR(slider->getValue(), atPress - 0.1f, 1e-5f);
    // Released Shift: the pointer takes the handle again.
    h.run(
        slider,
        {{CPoint(120, 200), kLButton}, {CPoint(120, 210), shifted}, {CPoint(120, 210), kLButton}});
    EXPECT_NEAR(slider->getValue(), 1.0f - 21.0f / 47.0f, 1e-5f);
}

TEST(CSlider, WithoutFreeClickOnlyTheHandleCanBeGrabbedAndItKeepsItsGrip) {
    ControlHarness h;
    CVerticalSlider* slider = h.add(makeVolumeSlider());
    slider->setFreeClick(false);
    slider->setValue(1.0f);  // handle at 175 .. 206
    h.drag(slider, CPoint(120, 230), kLButton, {CPoint(120, 250)});
    EXPECT_EQ(slider->getValue(), 1.0f);
    EXPECT_TRUE(h.editor.edits.empty());
    // Grabbed 5 pixels below its top, dragged 10 down.
    h.drag(slider, CPoint(120, 180), kLButton, {CPoint(120, 190)});
    EXPECT_NEAR(slider->getValue(), 1.0f - 10.0f / 47.0f, 1e-6f);
    EXPECT_NEAR(slider->handleRect().top, 185, 1);  // the value went through single precision
}

TEST(CSlider, CtrlClickWheelAndKeys) {
    ControlHarness h;
    CVerticalSlider* slider = h.add(makeVolumeSlider());
    slider->setValue(0.9f);
    h.drag(slider, CPoint(120, 240), kLButton | kControl);
    EXPECT_EQ(slider->getValue(), 0.5f);
    h.settle();
    CDrawContext context(h.frame, nullptr, h.frame->getPlatformWindow());
    EXPECT_TRUE(slider->onWheel(&context, CPoint(120, 200), -2.0f));
    EXPECT_NEAR(slider->getValue(), 0.3f, 1e-6f);
    h.settle();
    KeyCode up{0, VirtualKey::up, 0};
    EXPECT_EQ(slider->onKeyDown(up), 1);
    EXPECT_NEAR(slider->getValue(), 0.4f, 1e-6f);
    EXPECT_EQ(h.listener.values.size(), 3u);
}

TEST(CSlider, HorizontalSliderFromTheLeft) {
    ControlHarness h;
    CBitmap* handle = makeBitmap(10, 8, [](int, int) { return kHandle; });
    auto* slider = h.add(new CSlider(CRect(20, 20, 130, 28), nullptr, 4, 20, 120, handle, nullptr));
    handle->forget();
    slider->setValue(0.25f);
    EXPECT_EQ(slider->handleRect(), CRect(45, 20, 55, 28));
    h.drag(slider, CPoint(20 + 4 + 50, 24), kLButton);  // grab point 10 / 2 - 1
    EXPECT_NEAR(slider->getValue(), 0.5f, 1e-6f);
}

}  // namespace
}  // namespace tanuvo::gui
