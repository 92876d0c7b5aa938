#include "lv2/UiEffect.h"

#include <cstring>

#include "lv2/Lv2Ports.h"
#include "plugin/AEffEditor.h"

namespace tanuvo::sound::lv2 {

UiEffect::UiEffect(LV2UI_Write_Function write, LV2UI_Controller controller,
                   const LV2UI_Touch* touch)
    : AudioEffectX(nullptr, 0, vst::kNumParams),
      write(write),
      controller(controller),
      touch(touch ? *touch : LV2UI_Touch{}) {
    for (const vst::ParameterInfo& param : vst::kParameters) {
        values[param.index] = param.defaultValue;
    }
}

void UiEffect::setParameter(int32_t index, float value) {
    if (index < 0 || index >= vst::kNumParams) {
        return;
    }
    values[index] = value;
    if (vst::AEffEditor* editor = getEditor()) {
        editor->setParameter(index, value);
    }
}

float UiEffect::getParameter(int32_t index) {
    return index >= 0 && index < vst::kNumParams ? values[index] : 0.0f;
}

void UiEffect::setParameterAutomated(int32_t index, float value) {
    setParameter(index, value);
    if (write && index >= 0 && index < vst::kNumParams) {
        const float port = vst::fromNormalised(vst::kParameters[index], value);
        write(controller, controlPort(index), sizeof(port), 0, &port);
    }
}

bool UiEffect::beginEdit(int32_t index) {
    return sendTouch(index, true);
}

bool UiEffect::endEdit(int32_t index) {
    return sendTouch(index, false);
}

// Controls without a parameter (the editor's reset button) have no port to touch.
bool UiEffect::sendTouch(int32_t index, bool grabbed) {
    if (!touch.touch || index < 0 || index >= vst::kNumParams) {
        return false;
    }
    touch.touch(touch.handle, controlPort(index), grabbed);
    return true;
}

void UiEffect::portEvent(uint32_t port, uint32_t size, uint32_t format, const void* buffer) {
    if (format != 0 || size != sizeof(float) || !buffer || port < kFirstControl ||
        port >= kLatency) {
        return;
    }
    float value;
    std::memcpy(&value, buffer, sizeof(value));
    const int32_t index = static_cast<int32_t>(port - kFirstControl);
    setParameter(index, vst::toNormalised(vst::kParameters[index], value));
}

}  // namespace tanuvo::sound::lv2
