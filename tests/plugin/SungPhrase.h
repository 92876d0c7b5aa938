#pragma once

#include <cmath>
#include <vector>

namespace tanuvo::sound::vst::testing {

// A short sung-like line: notes with falling harmonics, vibrato and a swell on each, silent
// pauses between them, silence at both ends, and a length that is a whole number of
// `lengthMultiple` samples, so that playing it twice repeats every analysis window.
inline std::vector<float> makeSungPhrase(double sampleRate, int lengthMultiple = 2048) {
    constexpr double kPi = 3.14159265358979323846;
    const double notes[] = {220.0, 261.6, 329.6, 196.0};
    const int lead = lengthMultiple;
    const int noteLength = static_cast<int>(0.22 * sampleRate);
    const int pauseLength = static_cast<int>(0.06 * sampleRate);
    int total = lead + static_cast<int>(std::size(notes)) * (noteLength + pauseLength) + lead;
    total = (total + lengthMultiple - 1) / lengthMultiple * lengthMultiple;

    std::vector<float> samples(total, 0.0f);
    int start = lead;
    for (double pitch : notes) {
        double phase = 0.0;
        for (int i = 0; i < noteLength; ++i) {
            const double t = i / sampleRate;
            const double frequency = pitch * (1.0 + 0.012 * std::sin(2.0 * kPi * 5.5 * t));
            phase += 2.0 * kPi * frequency / sampleRate;
            const double envelope = 0.4 * std::sin(kPi * i / noteLength);
            double value = 0.0;
            for (int h = 1; h <= 8; ++h) {
                value += std::sin(h * phase + 0.7 * h * h) / h;
            }
            samples[start + i] = static_cast<float>(envelope * value * 0.5);
        }
        start += noteLength + pauseLength;
    }
    return samples;
}

}  // namespace tanuvo::sound::vst::testing
