#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include <lv2/core/lv2.h>

#include "lv2/BlockGatherer.h"
#include "lv2/Lv2Ports.h"
#include "plugin/Bleepifier.h"

namespace tanuvo::sound::lv2 {

// The analysis block length and whether every run has exactly that length, as the host's
// features and buffer-size options tell.
struct BlockPlan {
    int32_t length = kDefaultBlockLength;
    bool fixed = false;
};
BlockPlan planBlocks(const LV2_Feature* const* features);

// One LV2 instance: the plug-in core behind LV2 ports. With the host's promise of fixed blocks
// of N, run plays exactly what the VST edition plays for a host announcing N; otherwise runs
// are gathered into blocks of N and the output is N samples late, as the latency port says.
class BleepifierLv2 {
  public:
    BleepifierLv2(double sampleRate, const BlockPlan& plan);

    void connect(uint32_t port, void* data);
    void activate();
    void run(uint32_t frames);

    int32_t latency() const { return plan.fixed ? 0 : plan.length; }

  private:
    void applyControls();
    void process(const float* in, float* out0, float* out1, int32_t frames);

    BlockPlan plan;
    vst::Bleepifier effect{nullptr};
    std::unique_ptr<BlockGatherer> gatherer;  // only without fixed blocks

    const float* audioIn = nullptr;
    float* audioOut[2] = {nullptr, nullptr};
    std::array<const float*, vst::kNumParams> controls{};
    float* latencyOut = nullptr;
    // The port values last given to the core, compared bit for bit so that NaN is applied once.
    std::array<uint32_t, vst::kNumParams> appliedBits{};
    std::array<bool, vst::kNumParams> applied{};
};

}  // namespace tanuvo::sound::lv2
