#include "lv2/BleepifierLv2.h"

#include <algorithm>
#include <cstring>

#include <lv2/atom/atom.h>
#include <lv2/buf-size/buf-size.h>

#include "lv2/FeatureLookup.h"

namespace tanuvo::sound::lv2 {

OptionKeys mapOptionKeys(const LV2_Feature* const* features) {
    OptionKeys keys;
    const auto* map = static_cast<const LV2_URID_Map*>(featureData(features, LV2_URID__map));
    if (map && map->map) {
        keys.nominal = map->map(map->handle, LV2_BUF_SIZE__nominalBlockLength);
        keys.maximum = map->map(map->handle, LV2_BUF_SIZE__maxBlockLength);
        keys.intType = map->map(map->handle, LV2_ATOM__Int);
    }
    return keys;
}

uint32_t readBlockLengths(const OptionKeys& keys, const LV2_Options_Option* options,
                          BlockLengths& lengths) {
    uint32_t status = LV2_OPTIONS_SUCCESS;
    for (const LV2_Options_Option* o = options; o && (o->key != 0 || o->value); ++o) {
        int32_t* length = nullptr;
        if (keys.nominal != 0 && o->key == keys.nominal) {
            length = &lengths.nominal;
        } else if (keys.maximum != 0 && o->key == keys.maximum) {
            length = &lengths.maximum;
        } else {
            status |= LV2_OPTIONS_ERR_BAD_KEY;
            continue;
        }
        int32_t value = 0;
        if (o->type == keys.intType && o->size == sizeof(int32_t) && o->value) {
            std::memcpy(&value, o->value, sizeof(value));
        }
        if (value <= 0) {
            status |= LV2_OPTIONS_ERR_BAD_VALUE;
            continue;
        }
        *length = value;
    }
    return status;
}

BlockLengths announcedLengths(const OptionKeys& keys, const LV2_Feature* const* features) {
    BlockLengths lengths;
    readBlockLengths(
        keys, static_cast<const LV2_Options_Option*>(featureData(features, LV2_OPTIONS__options)),
        lengths);
    return lengths;
}

BlockPlan planBlocks(const BlockLengths& lengths) {
    BlockPlan plan;
    const int32_t announced = lengths.nominal > 0 ? lengths.nominal : lengths.maximum;
    if (announced > 0) {
        // Longer cycles are analysed in pieces of the core's longest block, as in the VST edition.
        plan.length = std::min(announced, vst::Bleepifier::kMaxBlockSize);
        plan.announced = true;
    }
    return plan;
}

namespace {

std::unique_ptr<vst::Bleepifier> makeEffect(double sampleRate, int32_t blockLength) {
    auto effect = std::make_unique<vst::Bleepifier>(nullptr);
    effect->setSampleRate(static_cast<float>(sampleRate));
    effect->setBlockSize(blockLength);
    return effect;
}

}  // namespace

BleepifierLv2::BleepifierLv2(double sampleRate, const BlockLengths& lengths, const OptionKeys& keys)
    : sampleRate(sampleRate), keys(keys), lengths(lengths), plan(planBlocks(lengths)) {
    effect = makeEffect(sampleRate, plan.length);
    if (!plan.announced) {
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

bool BleepifierLv2::adopt(const BlockPlan& next) {
    // What may fail comes first, so that a failure leaves the previous plan playing.
    std::unique_ptr<BlockGatherer> nextGatherer;
    if (!next.announced && !(gatherer && gatherer->blockLength() == next.length)) {
        nextGatherer = std::make_unique<BlockGatherer>(next.length);
    }
    if (effect->getBlockSize() != next.length) {
        effect->setBlockSize(next.length);
        if (effect->getBlockSize() != next.length) {
            return false;
        }
    }
    plan = next;
    if (plan.announced) {
        gatherer.reset();
    } else if (nextGatherer) {
        gatherer = std::move(nextGatherer);
    }
    return true;
}

uint32_t BleepifierLv2::setOptions(const LV2_Options_Option* options) {
    BlockLengths next = lengths;
    const uint32_t status = readBlockLengths(keys, options, next);
    try {
        if (!adopt(planBlocks(next))) {
            return status | LV2_OPTIONS_ERR_UNKNOWN;
        }
    } catch (...) {
        return status | LV2_OPTIONS_ERR_UNKNOWN;
    }
    lengths = next;
    return status;
}

uint32_t BleepifierLv2::getOptions(LV2_Options_Option* options) const {
    uint32_t status = LV2_OPTIONS_SUCCESS;
    for (LV2_Options_Option* o = options; o && o->key != 0; ++o) {
        const int32_t* value = nullptr;
        if (keys.nominal != 0 && o->key == keys.nominal) {
            value = &lengths.nominal;
        } else if (keys.maximum != 0 && o->key == keys.maximum) {
            value = &lengths.maximum;
        }
        if (!value || *value <= 0) {
            status |= LV2_OPTIONS_ERR_BAD_KEY;
            continue;
        }
        o->size = sizeof(int32_t);
        o->type = keys.intType;
        o->value = value;
    }
    return status;
}

void BleepifierLv2::activate() {
    // Activation forgets the instance's history: a core that has played is built anew (the
    // ports' values reach it on the next run), and the gathered input is dropped.
    if (played) {
        try {
            effect = makeEffect(sampleRate, plan.length);
            applied.fill(false);
            played = false;
        } catch (...) {
            // Out of memory: the core keeps its history rather than the host losing the plug-in.
        }
    }
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
        effect->setParameter(i, vst::toNormalised(vst::kParameters[i], value));
        appliedBits[i] = bits;
        applied[i] = true;
    }
}

void BleepifierLv2::process(const float* in, float* out0, float* out1, int32_t frames) {
    float* inputs[1] = {const_cast<float*>(in)};
    float* outputs[2] = {out0, out1};
    effect->processReplacing(inputs, outputs, frames);
    played = true;
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
