#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include <lv2/core/lv2.h>
#include <lv2/options/options.h>
#include <lv2/urid/urid.h>

#include "lv2/BlockGatherer.h"
#include "lv2/Lv2Ports.h"
#include "plugin/Bleepifier.h"

namespace tanuvo::sound::lv2 {

// The URIDs of the buffer-size options in the host's map; zero where the host gave no map.
struct OptionKeys {
    LV2_URID nominal = 0;
    LV2_URID maximum = 0;
    LV2_URID intType = 0;
};
OptionKeys mapOptionKeys(const LV2_Feature* const* features);

// The block lengths a host announced; 0 where it announced none.
struct BlockLengths {
    int32_t nominal = 0;
    int32_t maximum = 0;
};
// Takes the buffer-size options of a null-terminated options array (which may be null) into
// lengths; answers LV2_Options_Status bits for the entries it could not take.
uint32_t readBlockLengths(const OptionKeys& keys, const LV2_Options_Option* options,
                          BlockLengths& lengths);
// The lengths in the options the host gave at instantiation.
BlockLengths announcedLengths(const OptionKeys& keys, const LV2_Feature* const* features);

// The analysis block length, and whether it is the host's own: a host that announces a length
// (nominal, else maximum) is played straight through, any cycle length, without latency.
struct BlockPlan {
    int32_t length = kDefaultBlockLength;
    bool announced = false;
};
BlockPlan planBlocks(const BlockLengths& lengths);

// One LV2 instance: the plug-in core behind LV2 ports. With a block length from the host, run
// plays exactly what the VST edition plays for a host announcing that length and running the same
// cycles; without one, runs are gathered into blocks of the default length and the output is
// that many samples late, as the latency port says.
class BleepifierLv2 {
  public:
    BleepifierLv2(double sampleRate, const BlockLengths& lengths, const OptionKeys& keys = {});

    void connect(uint32_t port, void* data);
    void activate();
    void run(uint32_t frames);

    // The options interface. Both are in the instantiation threading class, never concurrent with
    // run, so a new block length rebuilds the core here and run stays free of allocation.
    uint32_t setOptions(const LV2_Options_Option* options);
    uint32_t getOptions(LV2_Options_Option* options) const;

    int32_t blockLength() const { return plan.length; }
    int32_t latency() const { return gatherer ? plan.length : 0; }

  private:
    // Rebuilds for a new plan; false (or an exception) leaves the previous plan whole.
    bool adopt(const BlockPlan& next);
    void applyControls();
    void process(const float* in, float* out0, float* out1, int32_t frames);

    double sampleRate;
    OptionKeys keys;
    BlockLengths lengths;
    BlockPlan plan;
    std::unique_ptr<vst::Bleepifier> effect;
    std::unique_ptr<BlockGatherer> gatherer;  // only without a host block length
    bool played = false;                      // since the core was built

    const float* audioIn = nullptr;
    float* audioOut[2] = {nullptr, nullptr};
    std::array<const float*, vst::kNumParams> controls{};
    float* latencyOut = nullptr;
    // The port values last given to the core, compared bit for bit so that NaN is applied once.
    std::array<uint32_t, vst::kNumParams> appliedBits{};
    std::array<bool, vst::kNumParams> applied{};
};

}  // namespace tanuvo::sound::lv2
