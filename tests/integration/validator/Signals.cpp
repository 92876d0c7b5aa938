#include "Signals.h"

#include <cmath>

namespace validator {

namespace {

constexpr double kTwoPi = 6.283185307179586;

// Harmonics of the phase weighted by a broad formant near 700 Hz, as a sung vowel has.
double voice(double phase, double hz) {
    double sum = 0.0;
    for (int k = 1; k <= 6; ++k) {
        const double f = k * hz;
        const double weight = 1.0 / (1.0 + ((f - 700.0) / 900.0) * ((f - 700.0) / 900.0)) / k;
        sum += weight * std::sin(k * phase);
    }
    return 0.35 * sum;
}

}  // namespace

std::vector<float> glide(double rate, int frames, double fromHz, double toHz) {
    std::vector<float> x(frames);
    double phase = 0.0;
    for (int i = 0; i < frames; ++i) {
        const double hz =
            fromHz * std::pow(toHz / fromHz, frames > 1 ? double(i) / (frames - 1) : 0);
        phase = std::fmod(phase + kTwoPi * hz / rate, kTwoPi);
        x[i] = static_cast<float>(voice(phase, hz));
    }
    return x;
}

std::vector<float> sine(double rate, int frames, double hz) {
    std::vector<float> x(frames);
    for (int i = 0; i < frames; ++i) {
        x[i] = static_cast<float>(0.5 * std::sin(std::fmod(kTwoPi * hz * i / rate, kTwoPi)));
    }
    return x;
}

std::vector<float> noise(int frames, uint32_t seed) {
    std::vector<float> x(frames);
    for (float& v : x) {
        seed = seed * 1664525u + 1013904223u;
        v = static_cast<float>((seed >> 8) / 16777216.0 - 0.5);
    }
    return x;
}

std::vector<float> silence(int frames) {
    return std::vector<float>(frames, 0.0f);
}

std::vector<float> denormalLevel(double rate, int frames) {
    std::vector<float> x = glide(rate, frames);
    for (float& v : x) {
        v *= 1.6e-39f;
    }
    return x;
}

std::vector<NamedSignal> standardInputs(double rate, int frames) {
    return {{"glide", glide(rate, frames)},
            {"noise", noise(frames)},
            {"silence", silence(frames)},
            {"denormal-level", denormalLevel(rate, frames)}};
}

}  // namespace validator
