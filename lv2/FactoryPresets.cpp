#include "lv2/FactoryPresets.h"

#include <iterator>

namespace tanuvo::sound::lv2 {

// Volume, Power, Effect, Mix, Depth, DutyRatio (%), Tone, Steps. Each Depth brings its
// waveform to within 2 dB of the input's level on the demo phrase.
const FactoryPreset kFactoryPresets[] = {
    {"sine", "Sine", {1.0f, 1.0f, 0.0f, 1.0f, 0.5f, 25.0f, 1.0f, 0.5f}},
    {"square-12", "Square, thin pulse 12.5%", {1.0f, 1.0f, 1.0f, 1.0f, 0.55f, 12.5f, 1.0f, 0.5f}},
    {"square-25", "Square, pulse 25%", {1.0f, 1.0f, 1.0f, 1.0f, 0.55f, 25.0f, 1.0f, 0.5f}},
    {"square-50", "Square, hollow 50%", {1.0f, 1.0f, 1.0f, 1.0f, 0.55f, 50.0f, 1.0f, 0.5f}},
    {"triangle-stepped", "Triangle, 15 steps", {1.0f, 1.0f, 2.0f, 1.0f, 0.5f, 25.0f, 1.0f, 0.5f}},
    {"triangle-smooth", "Triangle, smooth", {1.0f, 1.0f, 2.0f, 1.0f, 0.5f, 25.0f, 1.0f, 1.0f}},
    {"saw", "Saw", {1.0f, 1.0f, 3.0f, 1.0f, 0.5f, 25.0f, 1.0f, 0.5f}},
    {"noise-long", "Noise, long", {1.0f, 1.0f, 4.0f, 1.0f, 0.58f, 25.0f, 1.0f, 0.5f}},
    {"noise-short", "Noise, short", {1.0f, 1.0f, 5.0f, 1.0f, 0.58f, 25.0f, 1.0f, 0.5f}},
};
const int kFactoryPresetCount = static_cast<int>(std::size(kFactoryPresets));

}  // namespace tanuvo::sound::lv2
