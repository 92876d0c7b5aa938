#pragma once

#include <string>
#include <vector>

#include "tools/bleepify/Picture.h"

namespace tanuvo::bleepify {

// Four stacked panels: the input's waveform and sonogram (frequency over time), then the output's,
// on one time axis, so the picture shows how the output follows the input's melody.
Picture drawComparison(const std::vector<float>& input, const std::vector<float>& output,
                       int sampleRate, const std::string& outputTitle);

}  // namespace tanuvo::bleepify
