#include "plugin/ParameterTable.h"

#include <algorithm>
#include <cmath>

#include "sound/LinearInterpolator.h"

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

float withinRange(const ParameterInfo& param, float normalised) {
    return std::clamp(normalised, toNormalised(param, param.minimum),
                      toNormalised(param, param.maximum));
}

float heldValue(const ParameterInfo& param, float normalised) {
    const float value = withinRange(param, normalised);
    switch (param.unit) {
        case ParameterUnit::Toggle:
            return value != 0.0f ? 1.0f : 0.0f;
        case ParameterUnit::Choice:
            return waveformValue(waveformIndex(value));
        default:
            return value;
    }
}

double evaluateCurve(const PointTable& curve, float x) {
    // A lookup of its own per call: hosts may set parameters from two threads at once (automation
    // on the audio thread, the editor on the UI thread), and a shared one could pair one curve's
    // points with another's.
    LinearInterpolator lookup;
    lookup.restartSearch = true;
    lookup.setPoints(curve.x, curve.y, PointTable::kCount);
    return lookup.evaluate(x);
}

}  // namespace tanuvo::sound::vst
