#pragma once
// A frame in a pretend host window with scripted mouse input, so that a control's tracking loop
// sees what a user's press, drag and release look like; plus a listener and an editor that
// record what the control reports.

#include "gui/CControl.h"
#include "gui/CDrawContext.h"
#include "gui/CFrame.h"
#include "gui/IFrameEditor.h"
#include "gui/platform/soft/SoftPlatform.h"

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace tanuvo::gui {
namespace testing {

class RecordingListener : public CControlListener {
  public:
    void valueChanged(CDrawContext*, CControl* control) override {
        controls.push_back(control);
        values.push_back(control->getValue());
    }
    std::vector<CControl*> controls;
    std::vector<float> values;
};

class RecordingEditor : public IFrameEditor {
  public:
    void doIdleStuff() override {
        // What the editor's idle-and-wait routine does while a control tracks the mouse.
        if (frame)
            frame->idle();
    }
    void beginEdit(std::int32_t index) override {
        edits.push_back("begin " + std::to_string(index));
    }
    void endEdit(std::int32_t index) override { edits.push_back("end " + std::to_string(index)); }
    bool canHostSizeWindow() override { return false; }
    bool hostSizeWindow(std::int32_t, std::int32_t) override { return false; }
    std::int32_t getKnobMode() const override { return knobMode; }

    CFrame* frame = nullptr;
    std::int32_t knobMode = 0;
    std::vector<std::string> edits;
};

struct Step {
    CPoint where;  // frame coordinates
    long buttons;
};

// A user's mouse as tracking loops poll it: each step held for two polls of the buttons (they
// read the pointer after the buttons, so this lets every step reach them), then the release.
struct MouseScript {
    void play(const std::vector<Step>& steps) {
        script.clear();
        next = 0;
        for (const Step& step : steps) {
            script.push_back(step);
            script.push_back(step);
        }
        script.push_back({steps.back().where, 0});
    }
    // The buttons of the next poll, after moving the pointer with pointAt(where).
    template <typename PointAt>
    int nextButtons(PointAt pointAt) {
        if (script.empty())
            return 0;
        const Step& step = script[std::min(next, script.size() - 1)];
        pointAt(step.where);
        if (next < script.size())
            ++next;
        return int(step.buttons);
    }
    std::vector<Step> script;
    std::size_t next = 0;
};

class ControlHarness {
  public:
    explicit ControlHarness(CCoord width = 240, CCoord height = 320) {
        platform::soft::resetInput();
        host = platform::soft::createHostWindow(width, height);
        frame = new CFrame(CRect(0, 0, width, height), host, &editor);
        editor.frame = frame;
        platform::soft::paintWindow(frame->getPlatformWindow());  // the first paint
        platform::soft::setAsyncKeyStateProvider([this] { return nextButtons(); });
    }
    ~ControlHarness() {
        platform::soft::resetInput();
        frame->forget();
        platform::soft::destroyHostWindow(host);
    }

    // Adds the control to the frame (the frame takes the reference) and listens to it.
    template <typename Control>
    Control* add(Control* control) {
        control->setListener(&listener);
        frame->addView(control);
        return control;
    }

    // Presses at the first step's point with its buttons, moves through the others, then
    // releases at the last point.
    void run(CControl* control, const std::vector<Step>& steps) {
        settle();
        mouse.play(steps);
        setCursor(steps.front().where);
        CDrawContext context(frame, nullptr, frame->getPlatformWindow());
        CPoint where = steps.front().where;
        control->mouse(&context, where, steps.front().buttons);
    }
    void drag(CControl* control, CPoint from, long buttons, const std::vector<CPoint>& path = {}) {
        std::vector<Step> steps{{from, buttons}};
        for (const CPoint& p : path)
            steps.push_back({p, buttons});
        run(control, steps);
    }

    // A press whose button is already up when the control looks.
    void tap(CControl* control, CPoint at, long buttons) {
        mouse.script = {{at, 0}};
        mouse.next = 0;
        setCursor(at);
        CDrawContext context(frame, nullptr, frame->getPlatformWindow());
        CPoint where = at;
        control->mouse(&context, where, buttons);
    }

    // The frame's idle: redraws what is dirty, as between user actions.
    void settle() { frame->idle(); }

    // Pixels of the frame's window after it redrew what is dirty.
    CColor pixel(CCoord x, CCoord y) {
        settle();
        int w = 0, h = 0;
        const auto rgba = platform::soft::windowPixels(frame->getPlatformWindow(), &w, &h);
        const std::uint8_t* p = &rgba[4 * (std::size_t(y) * w + x)];
        return CColor{p[0], p[1], p[2], 255};
    }
    // Draws the whole frame now (for a control just added).
    void redrawAll() {
        CDrawContext context(frame, nullptr, frame->getPlatformWindow());
        frame->draw(&context);
    }

    RecordingEditor editor;
    RecordingListener listener;
    CFrame* frame;

  private:
    int nextButtons() {
        return mouse.nextButtons([this](CPoint at) { setCursor(at); });
    }
    void setCursor(CPoint at) {
        int x = 0, y = 0;
        platform::getWindowScreenOrigin(frame->getPlatformWindow(), &x, &y);
        platform::soft::setCursorScreenPos(x + at.h, y + at.v);
    }

    void* host;
    MouseScript mouse;
};

}  // namespace testing
}  // namespace tanuvo::gui
