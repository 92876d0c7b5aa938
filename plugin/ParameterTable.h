#pragma once
// The one description of the plug-in's eight parameters: their ranges and defaults, the
// waveforms' names and the curves that turn values into the generators' settings. The effect
// layer, the program defaults, the editor, the renderer and the LV2 description all read it, so
// no two of them can disagree.

#include <array>
#include <cstdint>

namespace tanuvo::sound::vst {

// The sample rates the signal chain is built for.
constexpr float kMinSampleRate = 1000.0f;
constexpr float kMaxSampleRate = 768000.0f;
// Whether the chain can be built for a rate (NaN cannot).
constexpr bool isSupportedSampleRate(double rate) {
    return rate >= kMinSampleRate && rate <= kMaxSampleRate;
}

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

// A waveform's name in each form a user meets it.
struct WaveformNames {
    const char* display;  // the Effect parameter's display, at most eight characters
    const char* menu;     // the editor's waveform menu
    const char* word;     // file names and the renderer's --effect option
};

constexpr int32_t kWaveformCount = 6;
// The generators in selection order.
inline constexpr WaveformNames kWaveforms[kWaveformCount] = {
    {"Sine", "Sine Wave", "sine"},
    {"Square", "Square Wave", "square"},
    {"Triangle", "Triangle Wave", "triangle"},
    {"Saw", "Saw Wave", "saw"},
    {"Noise(L)", "Noise(Long)", "noise-long"},
    {"Noise(S)", "Noise(Short)", "noise-short"},
};

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

// The Effect choices, named as the Effect display names them.
inline constexpr std::array<ScalePoint, kWaveformCount> kWaveformPoints = [] {
    std::array<ScalePoint, kWaveformCount> points{};
    for (int32_t i = 0; i < kWaveformCount; ++i) {
        points[i] = {float(i), kWaveforms[i].display};
    }
    return points;
}();
inline constexpr ScalePoint kStepsPoints[] = {
    {0.0f, "2 steps"}, {0.5f, "15 steps"}, {1.0f, "smooth"}};

struct ParameterInfo {
    ParameterIndex index;
    const char* name;    // the host's name
    const char* symbol;  // a short identifier: LV2 port symbol, renderer option
    float defaultValue;  // normalised
    ParameterUnit unit;
    float minimum;  // in the parameter's unit
    float maximum;
    int scalePointCount = 0;
    const ScalePoint* scalePoints = nullptr;
};

inline constexpr ParameterInfo kParameters[kNumParams] = {
    {kVolume, "Volume", "volume", 1.0f, ParameterUnit::Fraction, 0.0f, 1.0f},
    {kPower, "Power", "power", 1.0f, ParameterUnit::Toggle, 0.0f, 1.0f},
    {kEffect, "Effect", "effect", 0.0f, ParameterUnit::Choice, 0.0f, float(kWaveformCount - 1),
     kWaveformCount, kWaveformPoints.data()},
    {kMix, "Mix", "mix", 1.0f, ParameterUnit::Fraction, 0.0f, 1.0f},
    {kDepth, "Depth", "depth", 1.0f, ParameterUnit::Fraction, 0.0f, 1.0f},
    // The square accepts duty ratios from 1% to 99% only.
    {kDutyRatio, "DutyRatio", "duty_ratio", 0.25f, ParameterUnit::Percent, 1.0f, 99.0f},
    {kTone, "Tone", "tone", 1.0f, ParameterUnit::Fraction, 0.0f, 1.0f},
    {kSteps, "Steps", "steps", 0.5f, ParameterUnit::Fraction, 0.0f, 1.0f, 3, kStepsPoints},
};

// The Effect value that selects a generator: index / 6 (the reciprocal rounded to float first),
// and exactly 1 for the last, so that each value maps back to its index.
float waveformValue(int32_t index);
// The generator an Effect value selects; negative values and NaN select the first.
int32_t waveformIndex(float value);

// A value in the parameter's unit as the normalised value the plug-in takes, and back.
float toNormalised(const ParameterInfo& param, float value);
float fromNormalised(const ParameterInfo& param, float normalised);

// A normalised value (not NaN) held within the parameter's range.
float withinRange(const ParameterInfo& param, float normalised);
// The normalised value the plug-in holds for one a host sets (not NaN): within the range, a
// toggle at 0 or 1, a choice at the value of the generator it selects.
float heldValue(const ParameterInfo& param, float normalised);

// ---- Value curves ----------------------------------------------------------------------------

// A curve through three points from a normalised value to a generator's setting.
struct PointTable {
    static constexpr int kCount = 3;
    float x[kCount];
    float y[kCount];
};

// Depth narrows the band-pass filter around the pitch (its width relative to the pitch); the
// widest band turns the filter off.
inline constexpr float kFilterOffWidth = 10.0f;
inline constexpr PointTable kDepthToBandWidth{{0.0f, 0.5f, 1.0f}, {kFilterOffWidth, 1.0f, 0.0f}};
// Depth also sets the wet signal's gain, which makes up for the level a narrow band loses.
inline constexpr PointTable kDepthToWetGain{{0.0f, 0.9f, 1.0f}, {1.0f, 5.0f, 50.0f}};
// The default depth sits on the curve's last point.
inline constexpr float kDefaultWetGain = kDepthToWetGain.y[PointTable::kCount - 1];
static_assert(kParameters[kDepth].defaultValue == kDepthToWetGain.x[PointTable::kCount - 1]);
// Tone: the gain on the sine before the square clips it; the top of the range plays the ideal
// square.
inline constexpr PointTable kToneToClipGain{{0.0f, 0.5f, 1.0f}, {1.5f, 5.0f, 15.0f}};
// Steps: the triangle's step count (truncated); the top of the range plays a smooth triangle.
inline constexpr PointTable kStepsToTriangleSteps{{0.0f, 0.5f, 1.0f}, {2.0f, 15.0f, 29.0f}};

// Piecewise-linear lookup in 32-bit floats: the first interval with x[i] <= x <= x[i+1] wins,
// so a value on a shared point uses the lower interval. Outside the curve (or NaN): -1.0.
// Safe from any thread: every call searches on its own.
double evaluateCurve(const PointTable& curve, float x);

}  // namespace tanuvo::sound::vst
