#include "gui/CControl.h"

#include "gui/CBitmap.h"
#include "gui/CFrame.h"
#include "tests/gui/GuiTestSupport.h"

#include <gtest/gtest.h>

#include <vector>

namespace tanuvo::gui {
namespace {

struct RecordingListener : CControlListener {
    void valueChanged(CDrawContext*, CControl* control) override {
        values.push_back(control->getValue());
    }
    long controlModifierClicked(CDrawContext*, CControl*, long buttons) override {
        modifierClicks.push_back(buttons);
        return swallowModifiers ? 1 : 0;
    }
    std::vector<float> values;
    std::vector<long> modifierClicks;
    bool swallowModifiers = false;
};

// Records frame gestures as an editor would see them.
struct GestureLog : IFrameEditor {
    void doIdleStuff() override { ++idles; }
    void beginEdit(std::int32_t index) override { events.push_back(100 + index); }
    void endEdit(std::int32_t index) override { events.push_back(200 + index); }
    bool canHostSizeWindow() override { return false; }
    bool hostSizeWindow(std::int32_t, std::int32_t) override { return false; }
    std::int32_t getKnobMode() const override { return 0; }
    std::vector<int> events;
    int idles = 0;
};

TEST(CControl, StartsDirtyWithTheDocumentedDefaults) {
    CControl control(CRect(0, 0, 10, 10), nullptr, 7);
    EXPECT_TRUE(control.isDirty());
    EXPECT_EQ(control.getTag(), 7);
    EXPECT_EQ(control.getValue(), 0.0f);
    EXPECT_EQ(control.getOldValue(), 1.0f);
    EXPECT_EQ(control.getDefaultValue(), 0.5f);
    EXPECT_EQ(control.getMin(), 0.0f);
    EXPECT_EQ(control.getMax(), 1.0f);
    EXPECT_FLOAT_EQ(control.getWheelInc(), 0.1f);
    EXPECT_TRUE(control.getMouseEnabled());
    EXPECT_FALSE(control.wantsFocusOnKey());
}

TEST(CControl, DirtyStateFollowsTheValueAndTheFlag) {
    CControl control(CRect(0, 0, 10, 10));
    control.setDirty(false);
    EXPECT_FALSE(control.isDirty());
    EXPECT_EQ(control.getOldValue(), control.getValue());
    control.setValue(0.25f);  // set from outside: shown on the next idle
    EXPECT_TRUE(control.isDirty());
    control.setDirty(false);
    control.setDirty(true);
    EXPECT_EQ(control.getOldValue(), -1.0f);
    control.setValue(-1.0f);
    control.setDirty(true);
    EXPECT_EQ(control.getOldValue(), 0.0f);  // still differs from the value
    EXPECT_TRUE(control.isDirty());
    COffscreenContext context(nullptr, 10, 10);
    control.draw(&context);  // a plain control's draw only clears the state
    EXPECT_FALSE(control.isDirty());
}

TEST(CControl, BounceValueClampsIntoTheRange) {
    CControl control(CRect(0, 0, 10, 10));
    control.setMin(0.2f);
    control.setMax(0.8f);
    control.setValue(1.5f);
    control.bounceValue();
    EXPECT_EQ(control.getValue(), 0.8f);
    control.setValue(-3.0f);
    control.bounceValue();
    EXPECT_EQ(control.getValue(), 0.2f);
}

TEST(CControl, CtrlLeftClickRestoresTheDefaultInsideAGesture) {
    GestureLog editor;
    CFrame frame(CRect(0, 0, 50, 50), nullptr, &editor);
    RecordingListener listener;
    auto* control = new CControl(CRect(0, 0, 10, 10), &listener, 4);
    frame.addView(control);
    control->setValue(0.9f);
    control->setDirty(false);

    EXPECT_FALSE(control->checkDefaultValue(nullptr, kLButton));
    EXPECT_FALSE(control->checkDefaultValue(nullptr, kLButton | kControl | kShift));
    EXPECT_TRUE(listener.values.empty());

    EXPECT_TRUE(control->checkDefaultValue(nullptr, kLButton | kControl));
    EXPECT_EQ(control->getValue(), 0.5f);
    EXPECT_EQ(listener.values, std::vector<float>{0.5f});
    EXPECT_EQ(editor.events, (std::vector<int>{104, 204}));
    EXPECT_EQ(frame.getFocusView(), control);

    // Already at the default and drawn: no change to report.
    control->setDirty(false);
    EXPECT_TRUE(control->checkDefaultValue(nullptr, kLButton | kControl));
    EXPECT_EQ(listener.values.size(), 1u);
}

TEST(CControl, IdleStuffGoesThroughTheFrameToTheEditor) {
    GestureLog editor;
    CFrame frame(CRect(0, 0, 50, 50), nullptr, &editor);
    auto* control = new CControl(CRect(0, 0, 10, 10));
    control->doIdleStuff();  // not in a frame yet: nothing
    frame.addView(control);
    control->doIdleStuff();
    EXPECT_EQ(editor.idles, 1);
}

TEST(CView, BackgroundsAreReferenceCounted) {
    CBitmap* bitmap = testing::makeBitmap(2, 2, [](int, int) { return kWhiteCColor; });
    {
        CControl first(CRect(0, 0, 2, 2), nullptr, 0, bitmap);
        CControl second(CRect(0, 0, 2, 2));
        second.setBackground(bitmap);
        EXPECT_EQ(bitmap->getNbReference(), 3);
        second.setBackground(nullptr);
        EXPECT_EQ(bitmap->getNbReference(), 2);
    }
    EXPECT_EQ(bitmap->getNbReference(), 1);
    bitmap->forget();
}

TEST(CView, TypeNamesCoverTheClassAndItsBases) {
    CControl control(CRect(0, 0, 1, 1));
    EXPECT_TRUE(control.isTypeOf("CControl"));
    EXPECT_TRUE(control.isTypeOf("CView"));
    EXPECT_FALSE(control.isTypeOf("CKnob"));
    EXPECT_FALSE(control.isTypeOf(nullptr));
    CFrame frame(CRect(0, 0, 1, 1), nullptr, nullptr);
    EXPECT_TRUE(frame.isTypeOf("CFrame"));
    EXPECT_TRUE(frame.isTypeOf("CViewContainer"));
    EXPECT_FALSE(frame.isTypeOf("CControl"));
}

TEST(CView, UnhandledEventsAreReportedAsSuch) {
    CView view(CRect(0, 0, 10, 10));
    KeyCode key{'x', VirtualKey::none, 0};
    EXPECT_EQ(view.onKeyDown(key), -1);
    EXPECT_EQ(view.onKeyUp(key), -1);
    EXPECT_FALSE(view.onWheel(nullptr, CPoint(1, 1), 1.0f));
}

}  // namespace
}  // namespace tanuvo::gui
