#pragma once

#include "plugin/ParameterTable.h"

namespace tanuvo::sound {
class IPitchDetector;
class IWavenizer;
class SineWavenizer;
}  // namespace tanuvo::sound

namespace tanuvo::sound::vst {

struct SlidingWindow;

// What one block reads from the parameters, sampled once at the block's start.
struct MixSettings {
    bool powerOn = kParameters[kPower].defaultValue != 0.0f;
    float mix = kParameters[kMix].defaultValue;
    float volume = kParameters[kVolume].defaultValue;
    float depthGain = kDefaultWetGain;
};

// The signal-chain objects one block runs through. Nothing here is owned.
struct SignalPath {
    IPitchDetector* detector = nullptr;
    IWavenizer* wavenizer = nullptr;
    SlidingWindow* window = nullptr;  // present for host blocks shorter than the window
    int windowLength = 0;
    float* scratch = nullptr;  // windowLength floats for the wet copy
    // Without a sliding window: the latest windowLength input samples (hop windowLength), so that
    // a block shorter than announced is analysed in the context of the input before it.
    SlidingWindow* context = nullptr;
    SineWavenizer* sine = nullptr;  // told how each window joins the input before it
};

// Runs a host block of any length: split into pieces no longer than the window's hop (with a
// sliding window) or the window length (without), so nothing is read or written out of bounds.
void processBlock(const SignalPath& path, const MixSettings& settings, const float* in, float* out0,
                  float* out1, int frames);

}  // namespace tanuvo::sound::vst
