#pragma once

#include <vector>

namespace tanuvo::bleepify {

// A short sung-like melody made in code: a voice-like harmonic tone with formants, note
// glides, delayed vibrato, a loudness envelope per phrase and silent pauses between phrases.
// Deterministic; about seven seconds long, peaking at half of full scale.
std::vector<float> makeDemoPhrase(int sampleRate);

}  // namespace tanuvo::bleepify
