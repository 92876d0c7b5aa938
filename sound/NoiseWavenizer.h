#pragma once

#include <vector>

#include "sound/IWavenizer.h"

namespace tanuvo::sound {

class SineWavenizer;

// The 16-bit shift register and its clock, shared by both noise generators.
struct NoiseSource {
    NoiseSource(int shiftRegister, int output, double phaseStep, double phase)
        : shiftRegister(shiftRegister), output(output), phaseStep(phaseStep), phase(phase) {}

    int shiftRegister;
    // Current level: 0 before the first clock, then +1 or -1.
    int output;
    double phaseStep;
    double phase;
};

// Two-level noise cycle by cycle between the sine's upward zero crossings, at the sine's
// amplitude, from a shift register clocked at 25 times the pitch.
class NoiseWavenizer : public IWavenizer {
  public:
    // shortMode picks the feedback tap with a 93-state cycle instead of 32767 states.
    NoiseWavenizer(SineWavenizer* sine, NoiseSource* noiseSource, bool shortMode);

    void wavenize(float* buffer, int length, double frequency) override;
    void wavenizeTail(float* buffer, int length, double frequency, int from) override;

    // Overwrites buffer[start .. end - 1] with the register's level times the larger of |min|
    // and |max|, clocking the register every 2 / rate of clock phase.
    void noiseSegment(float* buffer, int start, int end, float min, float max, double rate);

    SineWavenizer* const sine;
    NoiseSource* const noiseSource;
    const bool shortMode;
    double clockRatio = 0.5;
    float lastMin = 0.0f;
    float lastMax = 0.0f;
    double gain = 1.0;

  private:
    std::vector<int> crossings;
    // The register's level at each sample of the window, taken before the levels are scaled.
    std::vector<signed char> levels;
};

}  // namespace tanuvo::sound
