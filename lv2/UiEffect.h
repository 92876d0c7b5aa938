#pragma once

#include <array>

#include <lv2/ui/ui.h>

#include "plugin/AudioEffect.h"
#include "plugin/ParameterTable.h"

namespace tanuvo::sound::lv2 {

// What the editor sees of the plug-in inside an LV2 UI, which has no plug-in object at hand: the
// values the host last sent to the control ports, and the user's edits passed on to the host's
// write function in the ports' units. The editor's gestures become the host's touch calls, where
// the host offers them, so that touch and latch automation can record from the editor.
class UiEffect : public vst::AudioEffectX {
  public:
    UiEffect(LV2UI_Write_Function write, LV2UI_Controller controller,
             const LV2UI_Touch* touch = nullptr);

    void setParameter(int32_t index, float value) override;
    float getParameter(int32_t index) override;
    void setParameterAutomated(int32_t index, float value) override;
    // True when the host heard of the gesture: a parameter's, with the touch feature at hand.
    bool beginEdit(int32_t index) override;
    bool endEdit(int32_t index) override;

    // A control port's new value from the host (float protocol only).
    void portEvent(uint32_t port, uint32_t size, uint32_t format, const void* buffer);

  private:
    bool sendTouch(int32_t index, bool grabbed);

    LV2UI_Write_Function write;
    LV2UI_Controller controller;
    LV2UI_Touch touch{};  // a copy: the host's feature list may not outlive instantiation
    std::array<float, vst::kNumParams> values{};  // normalised, as the editor takes them
};

}  // namespace tanuvo::sound::lv2
