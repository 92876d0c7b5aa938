#pragma once
// What a frame needs from the editor that owns it. The plug-in's editor base implements it, so
// the toolkit reaches the host without depending on the plug-in classes.

#include <cstdint>

namespace tanuvo::gui {

class IFrameEditor {
  public:
    virtual ~IFrameEditor() = default;
    // Redraws and gives the host time while a control tracks the mouse.
    virtual void doIdleStuff() = 0;
    virtual void beginEdit(std::int32_t index) = 0;
    virtual void endEdit(std::int32_t index) = 0;
    // The host's answer to "sizeWindow", and its resizing of the editor window.
    virtual bool canHostSizeWindow() = 0;
    virtual bool hostSizeWindow(std::int32_t width, std::int32_t height) = 0;
    // 2: knobs track linearly; anything else: circularly.
    virtual std::int32_t getKnobMode() const = 0;
};

}  // namespace tanuvo::gui
