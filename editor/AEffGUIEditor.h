#pragma once
// The editor base bound to the GUI toolkit: owns the frame, keeps the editor rectangle, routes
// keys and the wheel to the frame, passes edit gestures to the plug-in and runs the
// idle-and-wait routine that controls call while they track the mouse.

#include "plugin/AEffEditor.h"
#include "gui/CFrame.h"
#include "gui/IFrameEditor.h"

#include <cstdint>

namespace tanuvo::sound::vst {

class AEffGUIEditor : public AEffEditor, public tanuvo::gui::IFrameEditor {
  public:
    // Registers itself as the plug-in's editor.
    explicit AEffGUIEditor(AudioEffect* effect);
    // Releases a frame that is still open.
    ~AEffGUIEditor() override;

    bool getRect(ERect** rect) override;
    void idle() override;
    bool onKeyDown(VstKeyCode& keyCode) override;
    bool onKeyUp(VstKeyCode& keyCode) override;
    bool onWheel(float distance) override;
    bool setKnobMode(int mode) override;

    void beginEdit(int32_t index) override;
    void endEdit(int32_t index) override;
    void doIdleStuff() override;

    bool canHostSizeWindow() override;
    bool hostSizeWindow(int32_t width, int32_t height) override;
    int32_t getKnobMode() const override { return knobMode; }

    tanuvo::gui::CFrame* getFrame() const { return frame; }

    // The last mode given to any editor of the process; 2 makes knobs track linearly.
    static inline int32_t knobMode = 0;

  protected:
    ERect rect{0, 0, 0, 0};
    int32_t lastTicks;
    bool inIdleStuff = false;
    bool oleInitialized = false;
    tanuvo::gui::CFrame* frame = nullptr;
};

}  // namespace tanuvo::sound::vst
