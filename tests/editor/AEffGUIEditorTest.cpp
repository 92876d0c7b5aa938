#include "editor/AEffGUIEditor.h"

#include "gui/CControl.h"
#include "gui/platform/soft/SoftPlatform.h"
#include "plugin/AudioEffect.h"

#include <gtest/gtest.h>

#include <vector>

namespace tanuvo::sound::vst {
namespace {

namespace soft = tanuvo::gui::platform::soft;
using tanuvo::gui::CFrame;
using tanuvo::gui::CRect;

// Records what the plug-in asks of the host; answers "sizeWindow" as told.
struct HostLog {
    std::vector<int32_t> opcodes;
    std::vector<int32_t> indices;
    bool canSizeWindow = false;
    bool sizesWindow = false;
};
HostLog* gHost = nullptr;

intptr_t VST_CALL hostCallback(AEffect*, int32_t opcode, int32_t index, intptr_t, void*, float) {
    if (!gHost)
        return 0;
    gHost->opcodes.push_back(opcode);
    gHost->indices.push_back(index);
    if (opcode == audioMasterVersion)
        return 2400;
    if (opcode == audioMasterCanDo)
        return gHost->canSizeWindow ? 1 : 0;
    if (opcode == audioMasterSizeWindow)
        return gHost->sizesWindow ? 1 : 0;
    return 0;
}

class TestEffect : public AudioEffectX {
  public:
    TestEffect() : AudioEffectX(hostCallback, 1, 1) {}
};

// An editor that opens a frame of its rectangle's size, as the plug-in's editor does.
class TestEditor : public AEffGUIEditor {
  public:
    explicit TestEditor(AudioEffect* effect) : AEffGUIEditor(effect) { rect = {0, 0, 320, 240}; }
    ~TestEditor() override { ++destroyed; }
    bool open(void* window) override {
        AEffGUIEditor::open(window);
        auto* created = new CFrame(CRect(0, 0, 240, 320), window, this);
        if (!created->isOpen()) {
            created->forget();
            return false;
        }
        frame = created;
        return true;
    }
    void close() override {
        if (frame)
            frame->forget();
        frame = nullptr;
    }
    void idle() override {
        ++idles;
        AEffGUIEditor::idle();
    }
    int idles = 0;
    static inline int destroyed = 0;
};

class EditorTest : public ::testing::Test {
  protected:
    void SetUp() override {
        gHost = &host;
        host_window = soft::createHostWindow(400, 400);
    }
    void TearDown() override {
        soft::destroyHostWindow(host_window);
        soft::resetInput();
        gHost = nullptr;
    }
    HostLog host;
    void* host_window = nullptr;
};

TEST_F(EditorTest, RegistersWithThePlugInAndAnswersItsRectangle) {
    TestEffect effect;
    auto* editor = new TestEditor(&effect);
    EXPECT_EQ(effect.getEditor(), editor);
    EXPECT_TRUE(effect.getAeffect()->flags & effFlagsHasEditor);
    ERect* rect = nullptr;
    ASSERT_TRUE(editor->getRect(&rect));
    ASSERT_NE(rect, nullptr);
    EXPECT_EQ(rect->bottom, 320);
    EXPECT_EQ(rect->right, 240);
    EXPECT_FALSE(editor->getRect(nullptr));
}

TEST_F(EditorTest, BadParentsFailToOpenAndLeaveTheEditorUsable) {
    TestEffect effect;
    auto* editor = new TestEditor(&effect);
    EXPECT_FALSE(editor->open(nullptr));
    int notAWindow = 0;
    EXPECT_FALSE(editor->open(&notAWindow));
    EXPECT_EQ(editor->getFrame(), nullptr);
    EXPECT_EQ(CFrame::windowClassUsers(), 0);
    editor->idle();
    VstKeyCode key{0, VKEY_TAB, 0};
    EXPECT_FALSE(editor->onKeyDown(key));
    EXPECT_FALSE(editor->onWheel(1.0f));
    // A good parent still works afterwards.
    EXPECT_TRUE(editor->open(host_window));
    EXPECT_EQ(soft::childWindows(host_window).size(), 1u);
    editor->close();
    editor->close();  // twice is harmless
    editor->idle();
    EXPECT_TRUE(soft::childWindows(host_window).empty());
    EXPECT_EQ(CFrame::windowClassUsers(), 0);
}

TEST_F(EditorTest, DeletingThePlugInWithTheEditorOpenReleasesTheWindowOnce) {
    const int before = TestEditor::destroyed;
    {
        TestEffect effect;
        auto* editor = new TestEditor(&effect);
        ASSERT_TRUE(editor->open(host_window));
    }
    EXPECT_EQ(TestEditor::destroyed, before + 1);
    EXPECT_TRUE(soft::childWindows(host_window).empty());
    EXPECT_FALSE(soft::frameClassRegistered());
}

TEST_F(EditorTest, OleIsUninitialisedOnlyWhereItWasInitialised) {
    // A host thread already in the multithreaded apartment refuses OLE: uninitialising anyway
    // would undo the host's own set-up. Where OLE starts, the editor and its frame each end it.
    for (bool refuses : {true, false}) {
        soft::setOleRefuses(refuses);
        const int before = soft::oleDepth();
        {
            TestEffect effect;
            auto* editor = new TestEditor(&effect);
            ASSERT_TRUE(editor->open(host_window));
            EXPECT_EQ(soft::oleDepth(), before + (refuses ? 0 : 2)) << refuses;
            editor->close();
        }
        EXPECT_EQ(soft::oleDepth(), before) << refuses;
    }
}

// Takes every key and keeps the last one, in the toolkit's terms.
class KeyRecorder : public tanuvo::gui::CView {
  public:
    KeyRecorder() : CView(CRect(0, 0, 10, 10)) { setWantsFocus(true); }
    long onKeyDown(const tanuvo::gui::KeyCode& key) override {
        last = key;
        return 1;
    }
    tanuvo::gui::KeyCode last;
};

TEST_F(EditorTest, KeysReachTheFrameInTheToolkitsTermsAndOnlyAnAnswerOfOneCounts) {
    using tanuvo::gui::VirtualKey;
    TestEffect effect;
    auto* editor = new TestEditor(&effect);
    ASSERT_TRUE(editor->open(host_window));
    VstKeyCode tab{0, VKEY_TAB, 0};
    EXPECT_FALSE(editor->onKeyDown(tab));  // nothing wants focus
    auto* knob = new tanuvo::gui::CControl(CRect(0, 0, 10, 10));
    knob->setWantsFocus(true);
    editor->getFrame()->addView(knob);
    EXPECT_TRUE(editor->onKeyDown(tab));
    EXPECT_EQ(editor->getFrame()->getFocusView(), knob);
    VstKeyCode letter{'a', 0, 0};
    EXPECT_FALSE(editor->onKeyDown(letter));
    EXPECT_FALSE(editor->onKeyUp(letter));

    auto* recorder = new KeyRecorder;
    editor->getFrame()->addView(recorder);
    editor->getFrame()->setFocusView(recorder);
    const struct {
        VstKeyCode host;
        VirtualKey virtualKey;
        std::uint8_t modifiers;
    } rows[] = {
        {{'a', 0, 0}, VirtualKey::none, 0},
        {{0, VKEY_BACK, MODIFIER_SHIFT}, VirtualKey::back, tanuvo::gui::kModifierShift},
        {{0, VKEY_RETURN, MODIFIER_ALTERNATE}, VirtualKey::enter, tanuvo::gui::kModifierAlternate},
        {{0, VKEY_NEXT, MODIFIER_COMMAND}, VirtualKey::pageDown, tanuvo::gui::kModifierCommand},
        {{0, VKEY_DOWN, MODIFIER_CONTROL | MODIFIER_SHIFT},
         VirtualKey::down,
         tanuvo::gui::kModifierControl | tanuvo::gui::kModifierShift},
        {{'x', 200, 0}, VirtualKey::none, 0},  // a named key the toolkit does not know
    };
    for (const auto& row : rows) {
        VstKeyCode key = row.host;
        EXPECT_TRUE(editor->onKeyDown(key));
        EXPECT_EQ(recorder->last.character, row.host.character) << int(row.host.virt);
        EXPECT_EQ(recorder->last.virtualKey, row.virtualKey) << int(row.host.virt);
        EXPECT_EQ(recorder->last.modifiers, row.modifiers) << int(row.host.virt);
    }
    editor->close();
}

TEST_F(EditorTest, KnobModeIsSharedByAllEditors) {
    TestEffect a, b;
    auto* first = new TestEditor(&a);
    auto* second = new TestEditor(&b);
    EXPECT_TRUE(first->setKnobMode(2));
    EXPECT_EQ(second->getKnobMode(), 2);
    EXPECT_TRUE(second->setKnobMode(0));
    EXPECT_EQ(first->getKnobMode(), 0);
}

TEST_F(EditorTest, GesturesAndIdleReachTheHost) {
    TestEffect effect;
    auto* editor = new TestEditor(&effect);
    ASSERT_TRUE(editor->open(host_window));
    CFrame* frame = editor->getFrame();
    frame->beginEdit(0);
    frame->endEdit(0);
    ASSERT_GE(host.opcodes.size(), 2u);
    EXPECT_EQ(host.opcodes[host.opcodes.size() - 2], audioMasterBeginEdit);
    EXPECT_EQ(host.indices[host.indices.size() - 2], 0);
    EXPECT_EQ(host.opcodes.back(), audioMasterEndEdit);
    // Only parameters have gestures: the effect has one.
    const size_t calls = host.opcodes.size();
    for (int32_t index : {1, -1, 9}) {
        frame->beginEdit(index);
        frame->endEdit(index);
    }
    EXPECT_EQ(host.opcodes.size(), calls);

    // Construction set the due time to now, so the first call may wait; after a full idle the
    // next call within 100 ms sleeps and returns early.
    frame->doIdleStuff();
    frame->doIdleStuff();
    const int idlesAfterFull = editor->idles;
    const size_t hostCalls = host.opcodes.size();
    frame->doIdleStuff();
    EXPECT_EQ(editor->idles, idlesAfterFull);
    EXPECT_EQ(host.opcodes.size(), hostCalls);
    EXPECT_GE(idlesAfterFull, 1);
    int masterIdles = 0;
    for (int32_t op : host.opcodes)
        masterIdles += op == audioMasterIdle;
    EXPECT_EQ(masterIdles, idlesAfterFull);
    editor->close();
}

TEST_F(EditorTest, ResizingAsksTheHostFirst) {
    TestEffect effect;
    auto* editor = new TestEditor(&effect);
    ASSERT_TRUE(editor->open(host_window));
    CFrame* frame = editor->getFrame();
    EXPECT_FALSE(frame->setSize(240, 320));  // unchanged

    host.canSizeWindow = true;
    host.sizesWindow = true;
    EXPECT_TRUE(frame->setSize(300, 330));
    int w = 0, h = 0;
    soft::hostWindowSize(host_window, &w, &h);
    EXPECT_EQ(w, 400);  // the host resized its own window; ours only grew the frame
    EXPECT_EQ(frame->getViewSize(), CRect(0, 0, 300, 330));

    host.sizesWindow = false;  // refuses: the frame grows the windows around it itself
    EXPECT_TRUE(frame->setSize(310, 340));
    soft::hostWindowSize(host_window, &w, &h);
    EXPECT_EQ(w, 410);
    EXPECT_EQ(h, 410);
    editor->close();
}

}  // namespace
}  // namespace tanuvo::sound::vst
