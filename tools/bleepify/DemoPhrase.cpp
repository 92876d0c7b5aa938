#include "tools/bleepify/DemoPhrase.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace tanuvo::bleepify {

namespace {

constexpr double kPi = 3.14159265358979323846;

struct Note {
    double midi;
    double seconds;
};

struct Phrase {
    double start;
    std::vector<Note> notes;
};

// Two phrases with a breath between them and silence at both ends.
const std::vector<Phrase> kPhrases = {
    {0.30, {{57, 0.45}, {60, 0.45}, {64, 0.45}, {62, 0.40}, {60, 0.40}, {57, 0.75}}},
    {3.75, {{64, 0.40}, {67, 0.40}, {69, 0.55}, {67, 0.40}, {64, 0.40}, {62, 1.00}}},
};
constexpr double kTotalSeconds = 7.2;
constexpr double kGlideSeconds = 0.12;
constexpr double kAttackSeconds = 0.08;
constexpr double kReleaseSeconds = 0.18;

double midiToHz(double midi) {
    return 440.0 * std::pow(2.0, (midi - 69.0) / 12.0);
}

// The "ah" vowel: a gently falling source shaped by three resonances.
double harmonicGain(double hz) {
    const double formants[3][3] = {{730.0, 90.0, 1.0}, {1090.0, 110.0, 0.5}, {2440.0, 170.0, 0.25}};
    double gain = 0.05;
    for (const auto& formant : formants) {
        const double distance = (hz - formant[0]) / formant[1];
        gain += formant[2] / (1.0 + distance * distance);
    }
    return gain / std::sqrt(1.0 + hz / 300.0);
}

// Small deterministic noise for breath and pitch jitter.
class Noise {
  public:
    double next() {
        state_ = state_ * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<double>(state_ >> 11) / static_cast<double>(1ULL << 53) * 2.0 - 1.0;
    }

  private:
    uint64_t state_ = 0x1234567ULL;
};

}  // namespace

std::vector<float> makeDemoPhrase(int sampleRate) {
    const double rate = sampleRate;
    std::vector<double> voice(static_cast<size_t>(kTotalSeconds * rate), 0.0);
    Noise noise;
    double breathState = 0.0;

    for (const Phrase& phrase : kPhrases) {
        double length = 0.0;
        for (const Note& note : phrase.notes) {
            length += note.seconds;
        }
        double phase = 0.0;
        const size_t first = static_cast<size_t>(phrase.start * rate);
        const size_t count = static_cast<size_t>(length * rate);
        size_t noteIndex = 0;
        double noteStart = 0.0;
        for (size_t n = 0; n < count && first + n < voice.size(); ++n) {
            const double t = static_cast<double>(n) / rate;
            while (noteIndex + 1 < phrase.notes.size() &&
                   t >= noteStart + phrase.notes[noteIndex].seconds) {
                noteStart += phrase.notes[noteIndex].seconds;
                ++noteIndex;
            }
            const double inNote = t - noteStart;
            // Glide in from the previous note, then vibrato that grows after the onset.
            double midi = phrase.notes[noteIndex].midi;
            if (noteIndex > 0 && inNote < kGlideSeconds) {
                const double previous = phrase.notes[noteIndex - 1].midi;
                const double x = inNote / kGlideSeconds;
                midi = previous + (midi - previous) * (x * x * (3.0 - 2.0 * x));
            }
            const double vibratoDepth = 0.35 * std::clamp((inNote - 0.15) / 0.3, 0.0, 1.0);
            midi += vibratoDepth * std::sin(2.0 * kPi * 5.5 * t) + 0.02 * noise.next();
            const double hz = midiToHz(midi);
            phase += 2.0 * kPi * hz / rate;

            double sample = 0.0;
            // Harmonics fade out towards the top so none switches on or off with a click.
            const double top = std::min(8000.0, 0.45 * rate);
            for (int k = 1; k * hz < top; ++k) {
                const double fade = std::min(1.0, (top - k * hz) / 1500.0);
                // Spread harmonic phases, as in a voice, so the peaks stay even.
                sample += fade * harmonicGain(k * hz) * std::sin(k * phase + 2.4 * k * k);
            }
            breathState = 0.9 * breathState + 0.1 * noise.next();
            sample += 0.02 * breathState;

            // Phrase envelope with a slight swell on each note.
            const double attack = std::min(1.0, t / kAttackSeconds);
            const double release = std::clamp((length - t) / kReleaseSeconds, 0.0, 1.0);
            const double swell = 0.8 + 0.2 * std::sin(kPi * std::min(1.0, inNote / 0.4));
            voice[first + n] = sample * attack * release * swell;
        }
    }

    double peak = 0.0;
    for (double sample : voice) {
        peak = std::max(peak, std::abs(sample));
    }
    std::vector<float> result(voice.size());
    for (size_t i = 0; i < voice.size(); ++i) {
        result[i] = static_cast<float>(peak > 0.0 ? 0.5 * voice[i] / peak : 0.0);
    }
    return result;
}

}  // namespace tanuvo::bleepify
