// The plug-in's editor on the software platform, driven through the real plug-in object: layout,
// the knob groups of each waveform, the binding in both directions and what reaches the host.
#include "editor/BleepifierEditor.h"

#include "gui/CBitmap.h"
#include "gui/CFrame.h"
#include "gui/platform/soft/SoftPlatform.h"
#include "plugin/Bleepifier.h"
#include "tests/gui/ControlTestSupport.h"
#include "tests/support/Hosts.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <string>
#include <vector>

namespace tanuvo::sound::vst {
namespace {

namespace soft = tanuvo::gui::platform::soft;
using tanuvo::gui::CControl;
using tanuvo::gui::CPoint;
using tanuvo::gui::CRect;
using tanuvo::gui::CView;

using testing::HostCall;
std::vector<HostCall>& gCalls = testing::HostCalls::heard().calls;
constexpr int32_t kEditorClosed = -1;  // recorded where the host closed the editor
constexpr int32_t kNever = -1;
int32_t gCloseOn = kNever;  // the host closes the editor on its first call of this

void closeOnAsked(AEffect* effect, int32_t opcode) {
    if (opcode == gCloseOn) {
        // A host whose message loop runs here, where the user closed the editor's window.
        gCloseOn = kNever;
        gCalls.push_back({kEditorClosed, 0, 0.0f});
        effect->dispatcher(effect, effEditClose, 0, 0, nullptr, 0.0f);
    }
}

// Every gesture the host hears names a parameter, ends, and holds the automation of that
// parameter; the reset's changes each have a gesture of their own.
void expectPairedGestures(const std::vector<HostCall>& calls) {
    int32_t open = -1;
    for (const HostCall& call : calls) {
        if (call.opcode == kEditorClosed)
            continue;
        SCOPED_TRACE(call.index);
        EXPECT_TRUE(call.index >= 0 && call.index < kNumParams);
        if (call.opcode == audioMasterBeginEdit) {
            EXPECT_EQ(open, -1);
            open = call.index;
        } else if (call.opcode == audioMasterEndEdit) {
            EXPECT_EQ(open, call.index);
            open = -1;
        } else {
            EXPECT_EQ(open, call.index);
        }
    }
    EXPECT_EQ(open, -1);
}

HostCall automate(int32_t index, float value) {
    return {audioMasterAutomate, index, value};
}
HostCall begin(int32_t index) {
    return {audioMasterBeginEdit, index, 0.0f};
}
HostCall end(int32_t index) {
    return {audioMasterEndEdit, index, 0.0f};
}

using tanuvo::gui::testing::Step;

class BleepifierEditorTest : public ::testing::Test {
  protected:
    void SetUp() override {
        soft::resetInput();
        gCalls.clear();
        gCloseOn = kNever;
        testing::HostCalls::heard().after = closeOnAsked;
        host = soft::createHostWindow(240, 320);
        plugin = new Bleepifier(testing::recordingHost);
        editor = new BleepifierEditor(plugin);  // owned by the plug-in
        soft::setAsyncKeyStateProvider([this] { return nextButtons(); });
    }
    void TearDown() override {
        delete plugin;
        soft::resetInput();
        soft::destroyHostWindow(host);
    }

    void open() {
        ASSERT_TRUE(editor->open(host));
        soft::paintWindow(window());  // the first paint, which lets idle redraw
        gCalls.clear();
    }
    tanuvo::gui::platform::Window window() const { return editor->getFrame()->getPlatformWindow(); }
    tanuvo::gui::CAnimKnob* knob(int32_t tag) const {
        return static_cast<tanuvo::gui::CAnimKnob*>(editor->controlForTag(tag));
    }

    // A user's press at the first step, moves through the others and the release at the last,
    // delivered to the frame's window; the press is read by the frame and the control.
    void mouse(const std::vector<Step>& steps) {
        script.play(steps);
        pointAt(steps.front().where);
        soft::sendMouseDown(window(), steps.front().where.h, steps.front().where.v);
        script.script.clear();
    }
    void click(CPoint at, int buttons = tanuvo::gui::platform::kKeyLeft) { mouse({{at, buttons}}); }

    void pointAt(CPoint at) {
        if (!editor->getFrame())
            return;  // closed by the host in the middle of a gesture
        int x = 0, y = 0;
        tanuvo::gui::platform::getWindowScreenOrigin(window(), &x, &y);
        soft::setCursorScreenPos(x + at.h, y + at.v);
    }
    std::vector<std::uint8_t> pixels() {
        int w = 0, h = 0;
        return soft::windowPixels(window(), &w, &h);
    }
    std::vector<HostCall> automations() const {
        std::vector<HostCall> out;
        for (const HostCall& call : gCalls)
            if (call.opcode == audioMasterAutomate)
                out.push_back(call);
        return out;
    }

    void* host = nullptr;
    Bleepifier* plugin = nullptr;
    BleepifierEditor* editor = nullptr;

  private:
    int nextButtons() {
        return script.nextButtons([this](CPoint at) { pointAt(at); });
    }
    tanuvo::gui::testing::MouseScript script;
};

constexpr int kLeft = tanuvo::gui::platform::kKeyLeft;
constexpr int kCtrl = tanuvo::gui::platform::kKeyCtrl;

// Knob points in frame coordinates: its top, and the lower ends of its travel.
CPoint knobTop(const CControl* k) {
    return CPoint(k->getViewSize().left + 16, k->getViewSize().top + 2);
}
CPoint knobMax(const CControl* k) {
    return CPoint(k->getViewSize().left + 27, k->getViewSize().top + 27);
}
CPoint knobMin(const CControl* k) {
    return CPoint(k->getViewSize().left + 5, k->getViewSize().top + 27);
}

TEST_F(BleepifierEditorTest, ClosedEditorHasThePanelSizeAndIgnoresEverything) {
    EXPECT_EQ(plugin->getAeffect()->flags, effFlagsHasEditor | effFlagsCanReplacing);
    ERect* rect = nullptr;
    ASSERT_TRUE(editor->getRect(&rect));
    EXPECT_EQ(rect->top, 0);
    EXPECT_EQ(rect->left, 0);
    EXPECT_EQ(rect->bottom, 320);
    EXPECT_EQ(rect->right, 240);
    plugin->setParameter(kMix, 0.3f);
    plugin->setParameter(kEffect, 0.5f);
    editor->idle();
    EXPECT_EQ(editor->getFrame(), nullptr);
    EXPECT_EQ(editor->controlForTag(kMix), nullptr);
    // A handle that is no window: no editor, and no frame left behind.
    int notAWindow = 0;
    EXPECT_FALSE(editor->open(&notAWindow));
    EXPECT_EQ(editor->getFrame(), nullptr);
}

TEST_F(BleepifierEditorTest, LayoutFollowsTheTableInDrawingOrder) {
    open();
    tanuvo::gui::CFrame* frame = editor->getFrame();
    EXPECT_EQ(frame->getViewSize(), CRect(0, 0, 240, 320));
    EXPECT_EQ(frame->getBackground()->getResourceID(), 128);
    struct Expected {
        CRect rect;
        const char* type;
        long tag;
    };
    // The sine wave is chosen: neither knob group is on the panel.
    const Expected views[] = {
        {CRect(39, 101, 199, 129), "COptionMenu", kEffect},
        {CRect(87, 175, 155, 254), "CSlider", kVolume},
        {CRect(110, 260, 132, 270), "CTextLabel", -1},
        {CRect(45, 249, 72, 275), "COnOffButton", kPower},
        {CRect(169, 247, 198, 273), "CKickButton", BleepifierEditor::kResetTag},
        {CRect(18, 44, 222, 92), "CTextLabel", -1},
        {CRect(40, 46, 58, 56), "CTextLabel", -1},
        {CRect(33, 58, 65, 90), "CAnimKnob", kMix},
        {CRect(81, 46, 113, 56), "CTextLabel", -1},
        {CRect(80, 58, 112, 90), "CAnimKnob", kDepth},
        {CRect(10, 292, 231, 308), "CTextLabel", -1},
    };
    ASSERT_EQ(frame->getNbViews(), long(std::size(views)));
    for (long i = 0; i < frame->getNbViews(); ++i) {
        CView* view = frame->getView(i);
        SCOPED_TRACE(i);
        EXPECT_EQ(view->getViewSize(), views[i].rect);
        EXPECT_TRUE(view->isTypeOf(views[i].type));
        if (views[i].tag >= 0) {
            EXPECT_EQ(static_cast<CControl*>(view)->getTag(), views[i].tag);
            if (views[i].tag < kNumParams) {
                EXPECT_EQ(editor->controlForTag(int32_t(views[i].tag)), view);
            }
        }
    }
    EXPECT_EQ(knob(kDutyRatio)->getViewSize(), CRect(127, 58, 159, 90));
    EXPECT_EQ(knob(kSteps)->getViewSize(), CRect(127, 58, 159, 90));
    EXPECT_EQ(knob(kTone)->getViewSize(), CRect(174, 58, 206, 90));
    // The strip's last image is never used, so full value shows image 59.
    EXPECT_EQ(knob(kMix)->getSubPixmaps(), 60);
    EXPECT_EQ(knob(kMix)->getHeightOfOneImage(), 32);
    EXPECT_EQ(knob(kMix)->getBackground()->getResourceID(), 139);
    auto* slider = static_cast<tanuvo::gui::CSlider*>(editor->controlForTag(kVolume));
    EXPECT_EQ(slider->getHandle()->getResourceID(), 133);
    // Full volume puts the handle at the top, none 47 pixels lower.
    slider->setValue(1.0f);
    EXPECT_EQ(slider->handleRect().top, 175);
    slider->setValue(0.0f);
    EXPECT_EQ(slider->handleRect().top, 175 + 47);
    EXPECT_EQ(editor->getWaveMenu()->getNbEntries(), 6);
    char entry[256];
    ASSERT_TRUE(editor->getWaveMenu()->getEntry(5, entry));
    EXPECT_STREQ(entry, "Noise(Short)");
}

TEST_F(BleepifierEditorTest, EachWaveformShowsItsFaceAndOnlyItsKnobs) {
    open();
    struct Case {
        float value;
        int wave;
    };
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const Case cases[] = {{0.0f, 0},     {1.0f / 6, 1}, {2.0f / 6, 2}, {0.5f, 3},
                          {4.0f / 6, 4}, {0.9f, 5},     {1.0f, 5},     {2.0f / 6, 2},
                          {1.0f / 6, 1}, {-0.5f, 0},    {nan, 0},      {0.1f, 0}};
    const long faces[] = {129, 130, 131, 132, 140, 141};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        plugin->setParameter(kEffect, c.value);
        editor->idle();
        EXPECT_EQ(editor->getCurrentWave(), c.wave);
        EXPECT_EQ(editor->getWaveMenu()->getCurrent(), c.wave);
        EXPECT_EQ(editor->getWaveMenu()->getBackground()->getResourceID(), faces[c.wave]);
        EXPECT_EQ(editor->isShown(knob(kDutyRatio)), c.wave == 1);
        EXPECT_EQ(editor->isShown(knob(kTone)), c.wave == 1);
        EXPECT_EQ(editor->isShown(knob(kSteps)), c.wave == 2);
        EXPECT_EQ(editor->getFrame()->getNbViews(), 11 + (c.wave == 1 ? 4 : c.wave == 2 ? 2 : 0));
        // The panel is redrawn whole after a group came or went.
        editor->idle();
        EXPECT_FALSE(editor->getFrame()->isDirty());
    }
}

TEST_F(BleepifierEditorTest, OpeningShowsThePluginsStateAtOnce) {
    plugin->setParameter(kEffect, 2.0f / 6);
    plugin->setParameter(kMix, 0.25f);
    plugin->setParameter(kSteps, 0.75f);
    plugin->setParameter(kPower, 0.0f);
    open();
    EXPECT_EQ(editor->getWaveMenu()->getBackground()->getResourceID(), 131);
    EXPECT_TRUE(editor->isShown(knob(kSteps)));
    EXPECT_FALSE(editor->isShown(knob(kDutyRatio)));
    EXPECT_EQ(knob(kMix)->getValue(), 0.25f);
    EXPECT_EQ(knob(kSteps)->getValue(), 0.75f);
    EXPECT_EQ(editor->getPowerButton()->getValue(), 0.0f);
    EXPECT_EQ(editor->controlForTag(kVolume)->getValue(), 1.0f);
    // Nothing of this reached the host as automation.
    EXPECT_TRUE(gCalls.empty());
}

TEST_F(BleepifierEditorTest, HostChangesAndProgramsMoveTheControlsOnTheNextIdle) {
    open();
    editor->idle();
    const auto before = pixels();
    // The value is only recorded (the call may come from the audio thread); the control moves
    // and is redrawn on the user-interface thread's next idle.
    plugin->setParameter(kMix, 0.0f);
    EXPECT_EQ(knob(kMix)->getValue(), 1.0f);
    EXPECT_EQ(pixels(), before);
    editor->idle();
    EXPECT_EQ(knob(kMix)->getValue(), 0.0f);
    EXPECT_FALSE(knob(kMix)->isDirty());
    EXPECT_NE(pixels(), before);

    // Program 1 gets its own values; switching programs brings each set back to the panel.
    plugin->setProgram(1);
    plugin->setParameter(kEffect, 1.0f / 6);
    plugin->setParameter(kDutyRatio, 0.6f);
    plugin->setParameter(kDepth, 0.2f);
    plugin->setProgram(0);
    editor->idle();
    EXPECT_EQ(editor->getCurrentWave(), 0);
    EXPECT_EQ(knob(kDepth)->getValue(), 1.0f);
    EXPECT_EQ(knob(kMix)->getValue(), 0.0f);
    EXPECT_FALSE(editor->isShown(knob(kDutyRatio)));
    plugin->setProgram(1);
    editor->idle();
    EXPECT_EQ(editor->getCurrentWave(), 1);
    EXPECT_EQ(knob(kDepth)->getValue(), 0.2f);
    EXPECT_EQ(knob(kDutyRatio)->getValue(), 0.6f);
    EXPECT_TRUE(editor->isShown(knob(kDutyRatio)));
    // Moved and redrawn in the same idle.
    EXPECT_FALSE(knob(kDepth)->isDirty());
    EXPECT_FALSE(knob(kDutyRatio)->isDirty());
}

TEST_F(BleepifierEditorTest, DraggingAKnobAutomatesInsideOneGestureAndCtrlClickRestoresHalf) {
    open();
    CControl* mix = knob(kMix);
    plugin->setParameter(kMix, 0.0f);
    mouse({{knobTop(mix), kLeft}, {knobMax(mix), kLeft}});
    const auto calls = gCalls;
    ASSERT_GE(calls.size(), 3u);
    EXPECT_EQ(calls.front(), begin(kMix));
    EXPECT_EQ(calls.back(), end(kMix));
    for (std::size_t i = 1; i + 1 < calls.size(); ++i)
        EXPECT_EQ(calls[i].opcode, audioMasterAutomate);
    EXPECT_NEAR(calls[1].value, 0.5f, 0.02f);  // the press at the top
    EXPECT_EQ(calls[calls.size() - 2], automate(kMix, 1.0f));
    EXPECT_EQ(plugin->getParameter(kMix), 1.0f);
    EXPECT_EQ(mix->getValue(), 1.0f);

    gCalls.clear();
    click(knobMax(mix), kLeft | kCtrl);
    EXPECT_EQ(gCalls, (std::vector<HostCall>{begin(kMix), automate(kMix, 0.5f), end(kMix)}));
    EXPECT_EQ(plugin->getParameter(kMix), 0.5f);
}

TEST_F(BleepifierEditorTest, DutyKnobEndsSendTheDutyLimitsWhileTheKnobShowsTheFullRange) {
    open();
    plugin->setParameter(kEffect, 1.0f / 6);
    editor->idle();
    CControl* duty = knob(kDutyRatio);
    ASSERT_TRUE(editor->isShown(duty));
    mouse({{knobTop(duty), kLeft}, {knobMax(duty), kLeft}});
    ASSERT_FALSE(automations().empty());
    EXPECT_EQ(automations().back(), automate(kDutyRatio, 0.99f));
    gCalls.clear();
    mouse({{knobTop(duty), kLeft}, {knobMin(duty), kLeft}});
    EXPECT_EQ(automations().back(), automate(kDutyRatio, 0.01f));
    for (const HostCall& call : automations())
        EXPECT_TRUE(call.value >= 0.01f && call.value <= 0.99f) << call.value;
}

TEST_F(BleepifierEditorTest, MenuChoicesSendTheWaveformValueAndSwapTheKnobs) {
    open();
    const CPoint menu(100, 110);
    soft::setNextMenuChoice(2);
    click(menu);
    EXPECT_EQ(gCalls, (std::vector<HostCall>{begin(kEffect), automate(kEffect, float(1.0 / 6) * 2),
                                             end(kEffect)}));
    EXPECT_EQ(plugin->getWaveIndex(), 2);
    EXPECT_TRUE(editor->isShown(knob(kSteps)));
    EXPECT_EQ(editor->getWaveMenu()->getBackground()->getResourceID(), 131);
    // The pop-up checks the current entry.
    const auto shown = soft::lastShownMenu();
    ASSERT_EQ(shown.size(), 6u);
    EXPECT_EQ(shown[0].text, "Sine Wave");

    gCalls.clear();
    soft::setNextMenuChoice(5);
    click(menu);
    EXPECT_EQ(automations(), std::vector<HostCall>{automate(kEffect, 1.0f)});
    EXPECT_EQ(plugin->getWaveIndex(), 5);
    EXPECT_EQ(plugin->getParameter(kEffect), 1.0f);
    EXPECT_TRUE(soft::lastShownMenu()[2].flags & tanuvo::gui::platform::kMenuChecked);
    EXPECT_FALSE(editor->isShown(knob(kSteps)));

    gCalls.clear();
    soft::setNextMenuChoice(-1);
    click(menu);
    EXPECT_TRUE(automations().empty());
    EXPECT_EQ(editor->getCurrentWave(), 5);
}

TEST_F(BleepifierEditorTest, ResetButtonSendsItsSixValuesAndTheKnobsFollow) {
    open();
    for (int32_t index : {kVolume, kMix, kDepth, kDutyRatio, kTone, kSteps})
        plugin->setParameter(index, 0.1f);
    plugin->setParameter(kPower, 0.0f);
    plugin->setParameter(kEffect, 0.5f);
    gCalls.clear();
    click(CPoint(180, 255));
    const std::vector<HostCall> six = {automate(kVolume, 1.0f), automate(kDutyRatio, 0.25f),
                                       automate(kMix, 1.0f),    automate(kDepth, 1.0f),
                                       automate(kTone, 1.0f),   automate(kSteps, 0.5f)};
    const auto sent = automations();
    // The press and the release each report to the editor.
    ASSERT_EQ(sent.size(), 12u);
    EXPECT_EQ(std::vector<HostCall>(sent.begin(), sent.begin() + 6), six);
    EXPECT_EQ(std::vector<HostCall>(sent.begin() + 6, sent.end()), six);
    // The button itself names no parameter: the host hears only the six gestures, twice.
    EXPECT_EQ(gCalls.size(), 36u);
    expectPairedGestures(gCalls);
    EXPECT_EQ(plugin->getParameter(kPower), 0.0f);
    EXPECT_EQ(plugin->getWaveIndex(), 3);
    EXPECT_EQ(editor->controlForTag(kVolume)->getValue(), 1.0f);
    EXPECT_EQ(knob(kMix)->getValue(), 1.0f);
    EXPECT_EQ(knob(kDutyRatio)->getValue(), 0.25f);
    EXPECT_EQ(knob(kSteps)->getValue(), 0.5f);
    EXPECT_EQ(editor->getResetButton()->getValue(), 0.0f);
}

// A host whose message loop runs in its callbacks may close the editor from audioMasterIdle (which
// tracking loops call) or audioMasterAutomate while a control is still in its gesture. The
// control lives on until the gesture unwinds, the gesture ends at once, and the host still hears
// its end.
TEST_F(BleepifierEditorTest, HostClosingTheEditorInsideAGestureEndsTheGestureSafely) {
    struct Gesture {
        const char* name;
        std::function<void()> run;
        bool tracks;  // a tracking loop that must stop once the editor is closed
    };
    const CPoint slider(121, 185);
    const std::vector<Gesture> gestures = {
        {"knob",
         [&] {
             CControl* mix = knob(kMix);
             mouse({{knobTop(mix), kLeft}, {knobMax(mix), kLeft}, {knobMin(mix), kLeft}});
         },
         true},
        {"slider",
         [&] {
             mouse({{slider, kLeft},
                    {CPoint(slider.h, slider.v + 10), kLeft},
                    {CPoint(slider.h, slider.v + 20), kLeft}});
         },
         true},
        {"menu",
         [&] {
             soft::setNextMenuChoice(2);
             click(CPoint(100, 110));
         },
         false},
        {"power", [&] { click(CPoint(58, 260)); }, false},
        {"reset",
         [&] {
             mouse({{CPoint(180, 255), kLeft}, {CPoint(181, 256), kLeft}});
         },
         false},
    };
    for (int32_t closeOn : {audioMasterIdle, audioMasterAutomate}) {
        for (const Gesture& gesture : gestures) {
            // A menu choice calls no idle.
            if (closeOn == audioMasterIdle && gesture.name == std::string("menu"))
                continue;
            SCOPED_TRACE(std::string(gesture.name) + (closeOn == audioMasterIdle ? " idle" : ""));
            // A fresh plug-in, so that its editor's first idle reaches the host at once.
            delete plugin;
            plugin = new Bleepifier(testing::recordingHost);
            editor = new BleepifierEditor(plugin);  // owned by the plug-in
            open();
            plugin->setParameter(kMix, 0.0f);
            editor->idle();
            gCalls.clear();
            gCloseOn = closeOn;
            gesture.run();
            ASSERT_EQ(gCloseOn, kNever) << "the host was never asked";
            EXPECT_EQ(editor->getFrame(), nullptr);
            EXPECT_TRUE(soft::childWindows(host).empty());
            expectPairedGestures(gCalls);
            if (gesture.tracks) {
                // Nothing more after the close but the gesture's end.
                auto closed =
                    std::find(gCalls.begin(), gCalls.end(), HostCall{kEditorClosed, 0, 0});
                EXPECT_EQ(gCalls.end() - closed, 2);
            }
        }
    }
    // The editor opens again as usual.
    open();
    EXPECT_EQ(soft::childWindows(host).size(), 1u);
}

TEST_F(BleepifierEditorTest, PowerButtonTogglesPower) {
    open();
    const CPoint power(58, 260);
    click(power);
    EXPECT_EQ(automations(), std::vector<HostCall>{automate(kPower, 0.0f)});
    EXPECT_EQ(plugin->getParameter(kPower), 0.0f);
    gCalls.clear();
    click(power);
    EXPECT_EQ(automations(), std::vector<HostCall>{automate(kPower, 1.0f)});
    EXPECT_EQ(editor->getPowerButton()->getValue(), 1.0f);
}

TEST_F(BleepifierEditorTest, PointerTurnsIntoAHandOverControlsOnly) {
    open();
    editor->getFrame()->setCursor(tanuvo::gui::kCursorDefault);
    pointAt(CPoint(5, 5));
    editor->idle();
    EXPECT_NE(soft::cursorType(tanuvo::gui::platform::currentCursor()), 9);
    pointAt(knobTop(knob(kMix)));
    editor->idle();
    EXPECT_EQ(soft::cursorType(tanuvo::gui::platform::currentCursor()), 9);
    // A caption is not a control.
    editor->getFrame()->setCursor(tanuvo::gui::kCursorDefault);
    pointAt(CPoint(45, 50));
    editor->idle();
    EXPECT_NE(soft::cursorType(tanuvo::gui::platform::currentCursor()), 9);
}

TEST_F(BleepifierEditorTest, ReopeningAndDeletingWhileOpenLeaveNothingBehind) {
    for (float wave : {1.0f / 6, 2.0f / 6, 0.0f}) {
        plugin->setParameter(kEffect, wave);
        open();
        plugin->setParameter(kEffect, 2.0f / 6 - wave);
        editor->close();
        EXPECT_EQ(editor->getFrame(), nullptr);
        EXPECT_EQ(editor->controlForTag(kSteps), nullptr);
        EXPECT_TRUE(soft::childWindows(host).empty());
    }
    open();
    // A second open without close replaces the window.
    ASSERT_TRUE(editor->open(host));
    EXPECT_EQ(soft::childWindows(host).size(), 1u);
    plugin->setParameter(kEffect, 1.0f / 6);
    delete plugin;
    plugin = new Bleepifier(testing::recordingHost);
    EXPECT_TRUE(soft::childWindows(host).empty());
}

}  // namespace
}  // namespace tanuvo::sound::vst
