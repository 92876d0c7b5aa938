#include "plugin/ParameterTable.h"

#include <algorithm>
#include <cmath>

namespace tanuvo::sound::vst {

namespace {
constexpr int32_t kLastWave = kWaveformCount - 1;
constexpr float kWaveStep = static_cast<float>(1.0 / kWaveformCount);
}  // namespace

float waveformValue(int32_t index) {
    return index >= kLastWave ? 1.0f : static_cast<float>(std::max(index, 0)) * kWaveStep;
}

int32_t waveformIndex(float value) {
    const float scaled = static_cast<float>(kWaveformCount) * value;
    // Truncation of a negative or NaN value would be undefined or negative: take the first.
    const int32_t wave =
        scaled > 0.0f ? static_cast<int32_t>(std::min(scaled, float(kWaveformCount))) : 0;
    return std::min(wave, kLastWave);
}

float toNormalised(const ParameterInfo& param, float value) {
    switch (param.unit) {
        case ParameterUnit::Toggle:
            return value != 0.0f ? 1.0f : 0.0f;
        case ParameterUnit::Choice: {
            const float index = std::isnan(value) ? 0.0f : std::round(value);
            return waveformValue(static_cast<int32_t>(std::clamp(index, 0.0f, float(kLastWave))));
        }
        case ParameterUnit::Percent:
            return value / 100.0f;
        case ParameterUnit::Fraction:
        default:
            return value;
    }
}

float fromNormalised(const ParameterInfo& param, float normalised) {
    switch (param.unit) {
        case ParameterUnit::Toggle:
            return normalised != 0.0f ? 1.0f : 0.0f;
        case ParameterUnit::Choice:
            return static_cast<float>(waveformIndex(normalised));
        case ParameterUnit::Percent:
            return normalised * 100.0f;
        case ParameterUnit::Fraction:
        default:
            return normalised;
    }
}

}  // namespace tanuvo::sound::vst
