#pragma once
// The LV2 edition's URIs and port layout, shared by the plug-in, its UI and the description
// written at build time.

#include <cstdint>

#include "plugin/ParameterTable.h"

namespace tanuvo::sound::lv2 {

inline constexpr const char* kPluginUri = "http://tanuvo.example/plugins/bleepifier";
inline constexpr const char* kUiUri = "http://tanuvo.example/plugins/bleepifier#ui";

// Audio in, two audio outs, one control input per parameter in the table's order, then the
// latency the plug-in reports.
enum PortIndex : uint32_t {
    kAudioIn = 0,
    kAudioOutLeft = 1,
    kAudioOutRight = 2,
    kFirstControl = 3,
    kLatency = kFirstControl + vst::kNumParams,
    kPortCount
};

constexpr uint32_t controlPort(int32_t parameter) {
    return kFirstControl + static_cast<uint32_t>(parameter);
}

// Without a block length from the host, the plug-in analyses blocks of this many samples,
// which is also the VST edition's block length before a host announces one.
constexpr int32_t kDefaultBlockLength = 1024;

}  // namespace tanuvo::sound::lv2
