// The DSP binary's exported entry: one plug-in descriptor, with the options interface.
#include <cstring>

#include <lv2/core/lv2.h>
#include <lv2/options/options.h>

#include "lv2/BleepifierLv2.h"

using namespace tanuvo::sound::lv2;

namespace {

LV2_Handle instantiate(const LV2_Descriptor*, double rate, const char*,
                       const LV2_Feature* const* features) {
    // A rate the core cannot be built for would play on other settings: no instance instead.
    if (!tanuvo::sound::vst::isSupportedSampleRate(rate)) {
        return nullptr;
    }
    try {
        const OptionKeys keys = mapOptionKeys(features);
        return new BleepifierLv2(rate, announcedLengths(keys, features), keys);
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

uint32_t getOptions(LV2_Handle handle, LV2_Options_Option* options) {
    return self(handle)->getOptions(options);
}

uint32_t setOptions(LV2_Handle handle, const LV2_Options_Option* options) {
    return self(handle)->setOptions(options);
}

const LV2_Options_Interface kOptions = {getOptions, setOptions};

const void* extensionData(const char* uri) {
    return uri && std::strcmp(uri, LV2_OPTIONS__interface) == 0 ? &kOptions : nullptr;
}

const LV2_Descriptor kDescriptor = {kPluginUri, instantiate, connectPort, activate,
                                    run,        deactivate,  cleanup,     extensionData};

}  // namespace

LV2_SYMBOL_EXPORT const LV2_Descriptor* lv2_descriptor(uint32_t index) {
    return index == 0 ? &kDescriptor : nullptr;
}
