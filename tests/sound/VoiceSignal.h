#pragma once

#include <cmath>
#include <vector>

namespace tanuvo::sound::testing {

constexpr double kPi = 3.14159265358979323846;

// A recorded-like voice: harmonics falling off with order, a slow vibrato around the pitch and
// a loudness envelope that swells and fades.
inline std::vector<float> makeVoice(double pitch, double sampleRate, int count,
                                    double vibratoDepth = 0.01) {
    std::vector<float> samples(count);
    double phase = 0.0;
    for (int i = 0; i < count; ++i) {
        const double t = i / sampleRate;
        const double frequency = pitch * (1.0 + vibratoDepth * std::sin(2.0 * kPi * 5.0 * t));
        phase += 2.0 * kPi * frequency / sampleRate;
        const double envelope = 0.3 + 0.2 * std::sin(2.0 * kPi * 1.5 * t);
        double value = 0.0;
        for (int h = 1; h <= 6; ++h) {
            value += std::sin(h * phase + 0.3 * h) / (h * h);
        }
        samples[i] = static_cast<float>(envelope * value);
    }
    return samples;
}

inline std::vector<float> makeSine(double frequency, double sampleRate, int count,
                                   double amplitude = 1.0, double phase = 0.0) {
    std::vector<float> samples(count);
    for (int i = 0; i < count; ++i) {
        samples[i] = static_cast<float>(amplitude *
                                        std::sin(2.0 * kPi * frequency * i / sampleRate + phase));
    }
    return samples;
}

}  // namespace tanuvo::sound::testing
