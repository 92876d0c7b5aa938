#include "lv2/BleepifierLv2.h"

#include <algorithm>
#include <cstring>

#include <lv2/atom/atom.h>
#include <lv2/buf-size/buf-size.h>
#include <lv2/core/lv2.h>
#include <lv2/options/options.h>
#include <lv2/urid/urid.h>

#include "lv2/FeatureLookup.h"

namespace tanuvo::sound::lv2 {

BlockPlan planBlocks(const LV2_Feature* const* features) {
    BlockPlan plan;
    const auto* map = static_cast<const LV2_URID_Map*>(featureData(features, LV2_URID__map));
    const auto* options =
        static_cast<const LV2_Options_Option*>(featureData(features, LV2_OPTIONS__options));
    int32_t nominal = 0;
    int32_t maximum = 0;
    if (map && map->map && options) {
        const LV2_URID nominalKey = map->map(map->handle, LV2_BUF_SIZE__nominalBlockLength);
        const LV2_URID maximumKey = map->map(map->handle, LV2_BUF_SIZE__maxBlockLength);
        const LV2_URID intType = map->map(map->handle, LV2_ATOM__Int);
        for (const LV2_Options_Option* o = options; o->key != 0 || o->value != nullptr; ++o) {
            if (o->type != intType || o->size != sizeof(int32_t) || !o->value) {
                continue;
            }
            const int32_t value = *static_cast<const int32_t*>(o->value);
            if (o->key == nominalKey) {
                nominal = value;
            } else if (o->key == maximumKey) {
                maximum = value;
            }
        }
    }
    const int32_t announced = nominal > 0 ? nominal : maximum;
    if (announced > 0) {
        // Longer blocks are analysed in pieces of the core's longest block, as in the VST edition.
        plan.length = std::min(announced, vst::Bleepifier::kMaxBlockSize);
        plan.fixed = findFeature(features, LV2_BUF_SIZE__fixedBlockLength) != nullptr;
    }
    return plan;
}

BleepifierLv2::BleepifierLv2(double sampleRate, const BlockPlan& plan) : plan(plan) {
    effect.setSampleRate(static_cast<float>(sampleRate));
    effect.setBlockSize(plan.length);
    if (!plan.fixed) {
        gatherer = std::make_unique<BlockGatherer>(plan.length);
    }
}

void BleepifierLv2::connect(uint32_t port, void* data) {
    switch (port) {
        case kAudioIn:
            audioIn = static_cast<const float*>(data);
            break;
        case kAudioOutLeft:
        case kAudioOutRight:
            audioOut[port - kAudioOutLeft] = static_cast<float*>(data);
            break;
        case kLatency:
            latencyOut = static_cast<float*>(data);
            break;
        default:
            if (port >= kFirstControl && port < kLatency) {
                controls[port - kFirstControl] = static_cast<const float*>(data);
            }
            break;
    }
}

void BleepifierLv2::activate() {
    if (gatherer) {
        gatherer->reset();
    }
}

void BleepifierLv2::applyControls() {
    for (int32_t i = 0; i < vst::kNumParams; ++i) {
        if (!controls[i]) {
            continue;
        }
        const float value = *controls[i];
        uint32_t bits;
        std::memcpy(&bits, &value, sizeof(bits));
        if (applied[i] && bits == appliedBits[i]) {
            continue;
        }
        effect.setParameter(i, vst::toNormalised(vst::kParameters[i], value));
        appliedBits[i] = bits;
        applied[i] = true;
    }
}

void BleepifierLv2::process(const float* in, float* out0, float* out1, int32_t frames) {
    float* inputs[1] = {const_cast<float*>(in)};
    float* outputs[2] = {out0, out1};
    effect.processReplacing(inputs, outputs, frames);
}

void BleepifierLv2::run(uint32_t frames) {
    if (latencyOut) {
        *latencyOut = static_cast<float>(latency());
    }
    applyControls();
    if (!audioIn || !audioOut[0] || !audioOut[1] || frames == 0) {
        return;
    }
    // No host runs this many frames; the bound keeps the count a valid block length.
    const int32_t count = static_cast<int32_t>(std::min<uint32_t>(frames, 1u << 30));
    if (!gatherer) {
        process(audioIn, audioOut[0], audioOut[1], count);
        return;
    }
    gatherer->run(
        audioIn, audioOut[0], audioOut[1], count,
        [this](const float* in, float* out0, float* out1, int n) { process(in, out0, out1, n); });
}

}  // namespace tanuvo::sound::lv2
