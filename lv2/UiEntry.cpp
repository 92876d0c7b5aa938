// The UI binary's exported entry: the plug-in's editor in an X11 window of the host's.
#include <cstring>
#include <memory>
#include <new>

#include <lv2/ui/ui.h>

#include "editor/BleepifierEditor.h"
#include "gui/CFrame.h"
#include "gui/platform/soft/NativeWindowSystem.h"
#include "lv2/FeatureLookup.h"
#include "lv2/Lv2Ports.h"
#include "lv2/UiEffect.h"

namespace {

using tanuvo::sound::lv2::featureData;
using tanuvo::sound::lv2::UiEffect;
using tanuvo::sound::vst::BleepifierEditor;

struct UiInstance {
    std::unique_ptr<UiEffect> effect;  // owns the editor
    BleepifierEditor* editor = nullptr;
};

LV2UI_Handle instantiate(const LV2UI_Descriptor*, const char*, const char*,
                         LV2UI_Write_Function write, LV2UI_Controller controller,
                         LV2UI_Widget* widget, const LV2_Feature* const* features) {
    void* parent = const_cast<void*>(featureData(features, LV2_UI__parent));
    if (!parent || !widget) {
        return nullptr;  // the editor lives only inside a window of the host's
    }
    try {
        auto instance = std::make_unique<UiInstance>();
        instance->effect = std::make_unique<UiEffect>(
            write, controller,
            static_cast<const LV2UI_Touch*>(featureData(features, LV2_UI__touch)));
        // Registers itself as the effect's editor, which the effect deletes.
        instance->editor = new BleepifierEditor(instance->effect.get());
        if (!instance->editor->open(parent)) {
            return nullptr;
        }
        auto* windows = tanuvo::gui::platform::nativeWindowSystem();
        *widget = reinterpret_cast<LV2UI_Widget>(
            windows ? windows->nativeId(instance->editor->getFrame()->getPlatformWindow()) : 0);
        if (const auto* resize =
                static_cast<const LV2UI_Resize*>(featureData(features, LV2_UI__resize))) {
            ERect* rect = nullptr;
            if (instance->editor->getRect(&rect) && rect) {
                resize->ui_resize(resize->handle, rect->right - rect->left,
                                  rect->bottom - rect->top);
            }
        }
        return instance.release();
    } catch (...) {
        // Nothing escapes into the host.
        return nullptr;
    }
}

void cleanup(LV2UI_Handle handle) {
    auto* instance = static_cast<UiInstance*>(handle);
    instance->editor->close();
    delete instance;
}

void portEvent(LV2UI_Handle handle, uint32_t port, uint32_t size, uint32_t format,
               const void* buffer) {
    static_cast<UiInstance*>(handle)->effect->portEvent(port, size, format, buffer);
}

int idle(LV2UI_Handle handle) {
    static_cast<UiInstance*>(handle)->editor->idle();
    return 0;
}

const LV2UI_Idle_Interface kIdle = {idle};

const void* extensionData(const char* uri) {
    return uri && std::strcmp(uri, LV2_UI__idleInterface) == 0 ? &kIdle : nullptr;
}

const LV2UI_Descriptor kDescriptor = {tanuvo::sound::lv2::kUiUri, instantiate, cleanup, portEvent,
                                      extensionData};

}  // namespace

LV2_SYMBOL_EXPORT const LV2UI_Descriptor* lv2ui_descriptor(uint32_t index) {
    return index == 0 ? &kDescriptor : nullptr;
}
