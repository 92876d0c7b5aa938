#include "gui/CButtons.h"

#include "gui/CBitmap.h"
#include "tests/gui/ControlTestSupport.h"
#include "tests/gui/GuiTestSupport.h"

#include <gtest/gtest.h>

namespace tanuvo::gui {
namespace {

using testing::ControlHarness;
using testing::makeBitmap;

constexpr CColor kUpper{10, 20, 30, 255};
constexpr CColor kLower{200, 100, 50, 255};

// Two 27 x 26 images stacked: kUpper above, kLower below.
CBitmap* makeTwoStates(int width) {
    return makeBitmap(width, 52, [](int, int y) { return y < 26 ? kUpper : kLower; });
}

TEST(COnOffButton, EachClickFlipsTheValueAndTheImage) {
    ControlHarness h;
    CBitmap* states = makeTwoStates(27);
    auto* button = h.add(new COnOffButton(CRect(45, 249, 72, 275), nullptr, 1, states));
    states->forget();
    EXPECT_EQ(h.pixel(50, 260), kUpper);
    h.tap(button, CPoint(50, 260), kLButton);
    EXPECT_EQ(button->getValue(), 1.0f);
    EXPECT_EQ(h.pixel(50, 260), kLower);
    h.tap(button, CPoint(50, 260), kLButton);
    EXPECT_EQ(button->getValue(), 0.0f);
    button->setValue(0.3f);  // anything but 0 counts as on
    h.tap(button, CPoint(50, 260), kLButton);
    EXPECT_EQ(button->getValue(), 0.0f);
    EXPECT_EQ(h.listener.values, (std::vector<float>{1.0f, 0.0f, 0.0f}));
    EXPECT_EQ(h.editor.edits.size(), 6u);
    h.tap(button, CPoint(50, 260), kRButton);
    EXPECT_EQ(h.listener.values.size(), 3u);
}

TEST(COnOffButton, PreUpdateStyleTellsTheListenerBeforeTheRedraw) {
    ControlHarness h;
    CBitmap* states = makeTwoStates(27);
    auto* button = h.add(new COnOffButton(CRect(45, 249, 72, 275), nullptr, 1, states,
                                          COnOffButton::kPreListenerUpdate));
    states->forget();
    h.settle();
    // The redraw happens in the idle call, so a listener called before it finds it dirty.
    struct DirtyProbe : CControlListener {
        void valueChanged(CDrawContext*, CControl* c) override {
            dirtyWhenTold.push_back(c->isDirty());
        }
        std::vector<bool> dirtyWhenTold;
    } probe;
    button->setListener(&probe);
    h.tap(button, CPoint(50, 260), kLButton);
    button->setStyle(COnOffButton::kPostListenerUpdate);
    h.tap(button, CPoint(50, 260), kLButton);
    EXPECT_EQ(probe.dirtyWhenTold, (std::vector<bool>{true, false}));
}

// A kick button of two 29 x 26 images at (169, 247), tag 9.
CKickButton* addKickButton(ControlHarness& h) {
    CBitmap* states = makeTwoStates(29);
    auto* button = h.add(new CKickButton(CRect(169, 247, 198, 273), nullptr, 9, 26, states));
    states->forget();
    return button;
}

TEST(CKickButton, PressAndReleaseInsideReportsOneThenZero) {
    ControlHarness h;
    CKickButton* button = addKickButton(h);
    h.drag(button, CPoint(180, 260), kLButton);
    EXPECT_EQ(h.listener.values, (std::vector<float>{1.0f, 0.0f}));
    EXPECT_EQ(h.editor.edits, (std::vector<std::string>{"begin 9", "end 9"}));
    EXPECT_EQ(button->getValue(), 0.0f);
}

TEST(CKickButton, DraggedOutReportsZeroOnLeavingAndAgainAtTheEnd) {
    ControlHarness h;
    CKickButton* button = addKickButton(h);
    // The right and bottom edges still count as inside.
    h.drag(button, CPoint(180, 260), kLButton, {CPoint(198, 273), CPoint(220, 260)});
    EXPECT_EQ(h.listener.values, (std::vector<float>{1.0f, 0.0f, 0.0f}));
}

TEST(CKickButton, ShowsThePressedImageWhileHeld) {
    ControlHarness h;
    CKickButton* button = addKickButton(h);
    EXPECT_EQ(h.pixel(175, 250), kUpper);
    button->setValue(1.0f);
    EXPECT_EQ(h.pixel(175, 250), kLower);
}

TEST(CKickButton, AlreadyReleasedOrModifiedPressFlipsOnce) {
    ControlHarness h;
    CKickButton* button = addKickButton(h);
    h.tap(button, CPoint(180, 260), kLButton);
    EXPECT_EQ(h.listener.values, (std::vector<float>{1.0f, 0.0f}));
    h.tap(button, CPoint(180, 260), kRButton);
    EXPECT_EQ(h.listener.values.size(), 2u);
}

}  // namespace
}  // namespace tanuvo::gui
