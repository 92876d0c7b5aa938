// The DSP binary's exported entry: one plug-in descriptor.
#include <new>

#include <lv2/core/lv2.h>

#include "lv2/BleepifierLv2.h"

using tanuvo::sound::lv2::BleepifierLv2;

namespace {

LV2_Handle instantiate(const LV2_Descriptor*, double rate, const char*,
                       const LV2_Feature* const* features) {
    try {
        return new BleepifierLv2(rate, tanuvo::sound::lv2::planBlocks(features));
    } catch (...) {
        // Nothing escapes into the host: a failed construction is an answer of null.
        return nullptr;
    }
}

BleepifierLv2* self(LV2_Handle handle) {
    return static_cast<BleepifierLv2*>(handle);
}

void connectPort(LV2_Handle handle, uint32_t port, void* data) {
    self(handle)->connect(port, data);
}

void activate(LV2_Handle handle) {
    self(handle)->activate();
}

void run(LV2_Handle handle, uint32_t frames) {
    self(handle)->run(frames);
}

void deactivate(LV2_Handle) {}

void cleanup(LV2_Handle handle) {
    delete self(handle);
}

const void* extensionData(const char*) {
    return nullptr;
}

const LV2_Descriptor kDescriptor = {tanuvo::sound::lv2::kPluginUri,
                                    instantiate,
                                    connectPort,
                                    activate,
                                    run,
                                    deactivate,
                                    cleanup,
                                    extensionData};

}  // namespace

LV2_SYMBOL_EXPORT const LV2_Descriptor* lv2_descriptor(uint32_t index) {
    return index == 0 ? &kDescriptor : nullptr;
}
