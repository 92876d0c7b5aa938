#pragma once

#include "plugin/ParameterTable.h"

namespace tanuvo::sound::lv2 {

// A factory preset: every parameter in its unit (as the LV2 ports take it), in table order.
struct FactoryPreset {
    const char* symbol;  // the last part of the preset's URI
    const char* label;
    float values[vst::kNumParams];
};

// At least one per waveform, each showing its character and playing near the input's level
// (the default Depth plays far below it).
extern const FactoryPreset kFactoryPresets[];
extern const int kFactoryPresetCount;

}  // namespace tanuvo::sound::lv2
