#include "gui/CFrame.h"

#include "gui/CControl.h"
#include "gui/CDragContainer.h"
#include "gui/CDrawContext.h"
#include "gui/platform/soft/SoftPlatform.h"
#include "tests/gui/GuiTestSupport.h"

#include <gtest/gtest.h>

#include <vector>

namespace tanuvo::gui {
namespace {

namespace soft = platform::soft;

constexpr CColor kPanel{10, 20, 30, 255};
constexpr CColor kFace{200, 100, 50, 255};

// A view that fills itself and records what reaches it.
struct ProbeView : CControl {
    explicit ProbeView(const CRect& r, std::vector<std::string>* log = nullptr,
                       const char* name = "")
        : CControl(r), log(log), name(name) {}
    void draw(CDrawContext* context) override {
        context->setFillColor(kFace);
        context->fillRect(CRect(size.left - 1, size.top - 1, size.right, size.bottom));
        ++draws;
        setDirty(false);
    }
    void mouse(CDrawContext*, CPoint& where, long buttons) override {
        lastWhere = where;
        lastButtons = buttons;
        if (log)
            log->push_back(std::string("mouse ") + name);
    }
    bool onWheel(CDrawContext*, const CPoint&, float distance) override {
        wheel += distance;
        return true;
    }
    long onKeyDown(const KeyCode&) override { return keyAnswer; }
    void onDragEnter(CDragContainer* drag, const CPoint&) override {
        if (log)
            log->push_back(std::string("enter ") + name + std::to_string(drag->getCount()));
    }
    void onDragLeave(CDragContainer*, const CPoint&) override {
        if (log)
            log->push_back(std::string("leave ") + name);
    }
    std::vector<std::string>* log;
    const char* name;
    int draws = 0;
    CPoint lastWhere{-1, -1};
    long lastButtons = 0;
    float wheel = 0.0f;
    long keyAnswer = -1;
};

class FrameTest : public ::testing::Test {
  protected:
    void SetUp() override { host = soft::createHostWindow(300, 300); }
    void TearDown() override {
        soft::destroyHostWindow(host);
        soft::resetInput();
    }
    CFrame* openFrame(int w = 100, int h = 80) {
        auto* frame = new CFrame(CRect(0, 0, w, h), host, nullptr);
        frame->setBackgroundColor(kPanel);
        return frame;
    }
    CColor windowPixel(CFrame* frame, int x, int y) {
        int w = 0, h = 0;
        auto px = soft::windowPixels(frame->getPlatformWindow(), &w, &h);
        const std::uint8_t* p = &px[4 * (std::size_t(y) * w + x)];
        return CColor{p[0], p[1], p[2], 255};
    }
    void* host = nullptr;
};

TEST_F(FrameTest, TwoFramesShareOneClassRegistration) {
    const int before = soft::frameClassRegistrations();
    CFrame* a = openFrame();
    CFrame* b = openFrame();
    EXPECT_TRUE(a->isOpen());
    EXPECT_EQ(soft::frameClassRegistrations(), before + 1);
    EXPECT_EQ(soft::childWindows(host).size(), 2u);
    a->forget();
    EXPECT_TRUE(soft::frameClassRegistered());
    b->forget();
    EXPECT_FALSE(soft::frameClassRegistered());
    EXPECT_TRUE(soft::childWindows(host).empty());
}

TEST_F(FrameTest, PaintDrawsTheBackgroundAndChildrenAndEnablesIdle) {
    CFrame* frame = openFrame();
    auto* probe = new ProbeView(CRect(10, 10, 20, 20));
    frame->addView(probe);
    frame->idle();  // before the first paint: nothing
    EXPECT_EQ(probe->draws, 0);
    EXPECT_TRUE(frame->isFirstDraw());

    ASSERT_TRUE(soft::paintWindow(frame->getPlatformWindow()));
    EXPECT_FALSE(frame->isFirstDraw());
    EXPECT_EQ(probe->draws, 1);
    EXPECT_EQ(windowPixel(frame, 0, 0), kPanel);
    EXPECT_EQ(windowPixel(frame, 99, 79), kPanel);
    EXPECT_EQ(windowPixel(frame, 10, 10), kFace);
    EXPECT_EQ(windowPixel(frame, 20, 20), kPanel);

    frame->idle();  // nothing dirty
    EXPECT_EQ(probe->draws, 1);
    probe->setValue(0.7f);
    frame->idle();
    EXPECT_EQ(probe->draws, 2);
    frame->forget();
}

TEST_F(FrameTest, MousePressesGoToTheModalViewOrTheTopmostChild) {
    std::vector<std::string> log;
    CFrame* frame = openFrame();
    auto* under = new ProbeView(CRect(0, 0, 50, 50), &log, "under");
    auto* over = new ProbeView(CRect(20, 20, 60, 60), &log, "over");
    auto* disabled = new ProbeView(CRect(30, 30, 40, 40), &log, "disabled");
    disabled->setMouseEnabled(false);
    frame->addView(under);
    frame->addView(over);
    frame->addView(disabled);

    soft::setAsyncKeyState(platform::kKeyLeft);
    soft::sendMouseDown(frame->getPlatformWindow(), 35, 35);
    soft::sendMouseDown(frame->getPlatformWindow(), 5, 5);
    soft::sendMouseDown(frame->getPlatformWindow(), 90, 70);
    EXPECT_EQ(log, (std::vector<std::string>{"mouse over", "mouse under"}));
    EXPECT_EQ(under->lastWhere, CPoint(5, 5));
    EXPECT_EQ(under->lastButtons, kLButton);

    log.clear();
    frame->setModalView(under);
    soft::sendMouseDown(frame->getPlatformWindow(), 35, 35);  // over 'over', but modal wins
    soft::sendMouseDown(frame->getPlatformWindow(), 55, 55);  // outside the modal view: dropped
    EXPECT_EQ(log, (std::vector<std::string>{"mouse under"}));
    frame->forget();
}

TEST_F(FrameTest, PressesRemoveTheFocusFirst) {
    CFrame* frame = openFrame();
    auto* probe = new ProbeView(CRect(0, 0, 10, 10));
    frame->addView(probe);
    frame->setFocusView(probe);
    soft::sendMouseDown(frame->getPlatformWindow(), 50, 50);
    EXPECT_EQ(frame->getFocusView(), nullptr);
    frame->forget();
}

TEST_F(FrameTest, WheelNotchesAreOneUnitEach) {
    CFrame* frame = openFrame();
    auto* probe = new ProbeView(CRect(0, 0, 50, 50));
    frame->addView(probe);
    soft::sendWheel(frame->getPlatformWindow(), 10, 10, 120);
    EXPECT_FLOAT_EQ(probe->wheel, 1.0f);
    soft::sendWheel(frame->getPlatformWindow(), 10, 10, -240);
    EXPECT_FLOAT_EQ(probe->wheel, -1.0f);
    soft::sendWheel(frame->getPlatformWindow(), 70, 70, 120);  // no view there
    EXPECT_FLOAT_EQ(probe->wheel, -1.0f);
    frame->forget();
}

TEST_F(FrameTest, KeysGoToTheFocusThenTheModalViewAndTabMovesTheFocus) {
    CFrame* frame = openFrame();
    auto* a = new ProbeView(CRect(0, 0, 10, 10));
    auto* plain = new ProbeView(CRect(10, 0, 20, 10));
    auto* b = new ProbeView(CRect(20, 0, 30, 10));
    a->setWantsFocus(true);
    b->setWantsFocus(true);
    frame->addView(a);
    frame->addView(plain);
    frame->addView(b);

    KeyCode tab{0, VirtualKey::tab, 0};
    EXPECT_EQ(frame->onKeyDown(tab), 1);
    EXPECT_EQ(frame->getFocusView(), a);
    EXPECT_EQ(frame->onKeyDown(tab), 1);
    EXPECT_EQ(frame->getFocusView(), b);
    EXPECT_EQ(frame->onKeyDown(tab), 1);
    EXPECT_EQ(frame->getFocusView(), a);
    KeyCode backTab{0, VirtualKey::tab, kModifierShift};
    EXPECT_EQ(frame->onKeyDown(backTab), 1);
    EXPECT_EQ(frame->getFocusView(), b);

    KeyCode up{0, VirtualKey::up, 0};
    EXPECT_EQ(frame->onKeyDown(up), -1);
    plain->keyAnswer = 1;
    frame->setModalView(plain);
    EXPECT_EQ(frame->onKeyDown(up), 1);  // the focus view declined, the modal view took it
    b->keyAnswer = 1;
    plain->keyAnswer = -1;
    EXPECT_EQ(frame->onKeyDown(up), 1);
    frame->forget();
}

TEST_F(FrameTest, RemovingAViewClearsItAsFocusAndModalView) {
    CFrame* frame = openFrame();
    auto* probe = new ProbeView(CRect(0, 0, 10, 10));
    frame->addView(probe);
    frame->setFocusView(probe);
    frame->setModalView(probe);
    probe->remember();
    frame->removeView(probe);
    EXPECT_EQ(frame->getFocusView(), nullptr);
    EXPECT_EQ(frame->getModalView(), nullptr);
    EXPECT_FALSE(frame->isChild(probe));
    frame->addView(probe);  // and it can come back
    EXPECT_TRUE(frame->isChild(probe));
    EXPECT_EQ(probe->getFrame(), frame);
    frame->forget();
}

TEST_F(FrameTest, CursorTableAndTheRememberedDefault) {
    CFrame* frame = openFrame();
    frame->setCursor(kCursorHand);
    EXPECT_EQ(soft::cursorType(platform::currentCursor()), 9);
    frame->setCursor(kCursorWait);
    EXPECT_EQ(soft::cursorType(platform::currentCursor()), 1);
    frame->setCursor(kCursorCopy);  // 7 has no cursor of its own
    EXPECT_EQ(soft::cursorType(platform::currentCursor()), 0);
    frame->setCursor(kCursorNotAllowed);
    frame->forget();  // closing restores the default
    EXPECT_EQ(soft::cursorType(platform::currentCursor()), 0);
}

TEST_F(FrameTest, SizeChangesNeedAnOpenWindowAndANewSize) {
    CFrame closed(CRect(0, 0, 10, 10), nullptr, nullptr);
    EXPECT_FALSE(closed.setSize(20, 20));
    CFrame* frame = openFrame(100, 80);
    EXPECT_FALSE(frame->setSize(100, 80));
    EXPECT_TRUE(frame->setSize(120, 90));  // no editor: the frame grows the host itself
    int w = 0, h = 0;
    soft::hostWindowSize(host, &w, &h);
    EXPECT_EQ(w, 320);
    EXPECT_EQ(h, 310);
    EXPECT_EQ(frame->getViewSize(), CRect(0, 0, 120, 90));
    frame->forget();
}

TEST_F(FrameTest, DragsReachTheViewUnderThePointer) {
    std::vector<std::string> log;
    CFrame* frame = openFrame();
    EXPECT_TRUE(frame->isDropActive());
    frame->addView(new ProbeView(CRect(0, 0, 10, 10), &log, "a"));
    frame->addView(new ProbeView(CRect(20, 0, 30, 10), &log, "b"));
    platform::IDropHandler* drop = soft::dropHandler(frame->getPlatformWindow());
    ASSERT_NE(drop, nullptr);
    drop->onDragEnter(3, 5, 5);
    drop->onDragMove(25, 5);
    drop->onDrop(25, 5);
    EXPECT_EQ(log, (std::vector<std::string>{"enter a3", "leave a", "enter b3"}));
    frame->setDropActive(false);
    EXPECT_EQ(soft::dropHandler(frame->getPlatformWindow()), nullptr);
    frame->forget();
}

TEST_F(FrameTest, OffscreenContainersDrawTheSamePixels) {
    auto render = [&](bool offscreen) {
        CFrame* frame = openFrame(40, 30);
        frame->setDrawInOffscreen(offscreen);
        frame->addView(new ProbeView(CRect(5, 5, 15, 15)));
        soft::paintWindow(frame->getPlatformWindow());
        int w = 0, h = 0;
        auto pixels = soft::windowPixels(frame->getPlatformWindow(), &w, &h);
        frame->forget();
        return pixels;
    };
    EXPECT_EQ(render(true), render(false));
}

TEST_F(FrameTest, DestroyedHostWindowClosesTheFrame) {
    CFrame* frame = openFrame();
    void* other = soft::createHostWindow(50, 50);
    CFrame* second = new CFrame(CRect(0, 0, 10, 10), other, nullptr);
    soft::destroyHostWindow(other);  // the system destroys child windows with their parent
    EXPECT_FALSE(second->isOpen());
    second->idle();
    second->forget();
    EXPECT_TRUE(frame->isOpen());
    frame->forget();
}

}  // namespace
}  // namespace tanuvo::gui
