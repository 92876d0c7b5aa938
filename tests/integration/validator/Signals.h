#pragma once

// Test inputs a host plays through the plug-in.

#include <cstdint>
#include <string>
#include <vector>

namespace validator {

// A voice-like tone (a few harmonics under a fixed formant) gliding exponentially from fromHz to
// toHz, peak about 0.6.
std::vector<float> glide(double rate, int frames, double fromHz = 66.0, double toHz = 1450.0);
// A pure sine of amplitude 0.5.
std::vector<float> sine(double rate, int frames, double hz);
// White noise in -0.5..0.5 from a fixed seed.
std::vector<float> noise(int frames, uint32_t seed = 1);
std::vector<float> silence(int frames);
// The glide scaled to the denormal range (peak about 1e-39).
std::vector<float> denormalLevel(double rate, int frames);

// The four inputs every rate and block size plays.
struct NamedSignal {
    std::string name;
    std::vector<float> samples;
};
std::vector<NamedSignal> standardInputs(double rate, int frames);

}  // namespace validator
