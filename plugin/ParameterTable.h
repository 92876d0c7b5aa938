#pragma once
// The one description of the plug-in's eight parameters. The effect layer's answers, the program
// defaults, the editor's reset values, the renderer's options and the LV2 description all read
// it, so no two of them can disagree.

#include <cstdint>

namespace tanuvo::sound::vst {

// Parameter indices; also the editor's control tags.
enum ParameterIndex : int32_t {
    kVolume = 0,
    kPower,
    kEffect,
    kMix,
    kDepth,
    kDutyRatio,
    kTone,
    kSteps,
    kNumParams
};

constexpr int32_t kWaveformCount = 6;
// The generators in selection order, as the Effect display names them.
inline constexpr const char* kWaveformNames[kWaveformCount] = {"Sine", "Square",   "Triangle",
                                                               "Saw",  "Noise(L)", "Noise(S)"};

// The units a user reads a parameter in where hosts show units of their own (the VST interface
// itself always carries normalised values from 0 to 1).
enum class ParameterUnit {
    Fraction,  // the normalised value itself
    Toggle,    // off 0, on 1
    Choice,    // the waveform index, 0 to kWaveformCount - 1
    Percent,   // the normalised value times 100
};

struct ScalePoint {
    float value;  // in the parameter's unit
    const char* label;
};

struct ParameterInfo {
    ParameterIndex index;
    const char* name;    // the host's name
    const char* symbol;  // a short identifier: LV2 port symbol, renderer option
    float defaultValue;  // normalised
    ParameterUnit unit;
    float minimum;  // in the parameter's unit
    float maximum;
    int scalePointCount;
    ScalePoint scalePoints[kWaveformCount];
};

inline constexpr ParameterInfo kParameters[kNumParams] = {
    {kVolume, "Volume", "volume", 1.0f, ParameterUnit::Fraction, 0.0f, 1.0f, 0, {}},
    {kPower, "Power", "power", 1.0f, ParameterUnit::Toggle, 0.0f, 1.0f, 0, {}},
    {kEffect,
     "Effect",
     "effect",
     0.0f,
     ParameterUnit::Choice,
     0.0f,
     float(kWaveformCount - 1),
     kWaveformCount,
     {{0.0f, kWaveformNames[0]},
      {1.0f, kWaveformNames[1]},
      {2.0f, kWaveformNames[2]},
      {3.0f, kWaveformNames[3]},
      {4.0f, kWaveformNames[4]},
      {5.0f, kWaveformNames[5]}}},
    {kMix, "Mix", "mix", 1.0f, ParameterUnit::Fraction, 0.0f, 1.0f, 0, {}},
    {kDepth, "Depth", "depth", 1.0f, ParameterUnit::Fraction, 0.0f, 1.0f, 0, {}},
    // The square accepts duty ratios from 1% to 99% only.
    {kDutyRatio, "DutyRatio", "duty_ratio", 0.25f, ParameterUnit::Percent, 1.0f, 99.0f, 0, {}},
    {kTone, "Tone", "tone", 1.0f, ParameterUnit::Fraction, 0.0f, 1.0f, 0, {}},
    {kSteps,
     "Steps",
     "steps",
     0.5f,
     ParameterUnit::Fraction,
     0.0f,
     1.0f,
     3,
     {{0.0f, "2 steps"}, {0.5f, "15 steps"}, {1.0f, "smooth"}}},
};

// The Effect value that selects a generator: index / 6 (the reciprocal rounded to float first),
// and exactly 1 for the last, so that each value maps back to its index.
float waveformValue(int32_t index);
// The generator an Effect value selects; negative values and NaN select the first.
int32_t waveformIndex(float value);

// A value in the parameter's unit as the normalised value the plug-in takes, and back.
float toNormalised(const ParameterInfo& param, float value);
float fromNormalised(const ParameterInfo& param, float normalised);

}  // namespace tanuvo::sound::vst
