#pragma once

#include <cmath>
#include <random>
#include <vector>

#include "sound/IWavenizer.h"

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

// A 220 Hz voice through a generator in three whole windows of 1024: the last window's output.
inline std::vector<float> shapedVoice(IWavenizer& generator) {
    const std::vector<float> voice = makeVoice(220.0, 44100.0, 3072);
    std::vector<float> buffer;
    for (int start = 0; start < 3072; start += 1024) {
        buffer.assign(voice.begin() + start, voice.begin() + start + 1024);
        generator.wavenize(buffer.data(), 1024, 220.0);
    }
    return buffer;
}

// Uniform noise in [-1, 1): reproducible input for the transforms and filters.
template <typename T = float>
std::vector<T> randomSamples(int count, std::mt19937& rng) {
    std::uniform_real_distribution<T> value(T(-1), T(1));
    std::vector<T> samples(count);
    for (T& x : samples)
        x = value(rng);
    return samples;
}
template <typename T = float>
std::vector<T> randomSamples(int count, unsigned seed) {
    std::mt19937 rng(seed);
    return randomSamples<T>(count, rng);
}

}  // namespace tanuvo::sound::testing
