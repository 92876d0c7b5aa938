#include "lv2/FactoryPresets.h"

#include <iterator>

namespace tanuvo::sound::lv2 {

// Volume, Power, Effect, Mix, Depth, DutyRatio (%), Tone, Steps. The pitched waves play at the
// Depth where they follow low and high voices as well as the band's purest tone does, and nearly
// as loud as the level peak just below it; wider bands play the voice's second harmonic. The
// noises follow no pitch and keep the Depth that plays nearest the input's level.
const FactoryPreset kFactoryPresets[] = {
    {"sine", "Sine", {1.0f, 1.0f, 0.0f, 1.0f, 0.97f, 25.0f, 1.0f, 0.5f}},
    {"square-12", "Square, thin pulse 12.5%", {1.0f, 1.0f, 1.0f, 1.0f, 0.97f, 12.5f, 1.0f, 0.5f}},
    {"square-25", "Square, pulse 25%", {1.0f, 1.0f, 1.0f, 1.0f, 0.97f, 25.0f, 1.0f, 0.5f}},
    {"square-50", "Square, hollow 50%", {1.0f, 1.0f, 1.0f, 1.0f, 0.97f, 50.0f, 1.0f, 0.5f}},
    {"triangle-stepped", "Triangle, 15 steps", {1.0f, 1.0f, 2.0f, 1.0f, 0.97f, 25.0f, 1.0f, 0.5f}},
    {"triangle-smooth", "Triangle, smooth", {1.0f, 1.0f, 2.0f, 1.0f, 0.97f, 25.0f, 1.0f, 1.0f}},
    {"saw", "Saw", {1.0f, 1.0f, 3.0f, 1.0f, 0.97f, 25.0f, 1.0f, 0.5f}},
    {"noise-long", "Noise, long", {1.0f, 1.0f, 4.0f, 1.0f, 0.58f, 25.0f, 1.0f, 0.5f}},
    {"noise-short", "Noise, short", {1.0f, 1.0f, 5.0f, 1.0f, 0.58f, 25.0f, 1.0f, 0.5f}},
};
const int kFactoryPresetCount = static_cast<int>(std::size(kFactoryPresets));

}  // namespace tanuvo::sound::lv2
