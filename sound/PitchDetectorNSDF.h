#pragma once

#include "sound/INSDFCalculator.h"
#include "sound/IPitchDetector.h"

#include <vector>

namespace tanuvo::sound {

// Pitch from the NSDF's local maxima: among the peaks whose lag lies strictly between the lags of
// 1500 Hz and 65 Hz, the shortest lag whose value exceeds 0.85 of the largest one is the period.
class PitchDetectorNSDF : public IPitchDetector {
  public:
    // The calculator is borrowed, not owned, and must outlive the detector.
    PitchDetectorNSDF(double sampleRate, int windowSize, INSDFCalculator* calculator);

    // Sample rate / period lag, or -1.0 when no peak qualifies (silence, no pitch in range, or a
    // count below 1). A count above the window size is clamped to it.
    double detectPitch(const float* samples, int count) override;

    int minimumLag() const { return minimumLag_; }
    int maximumLag() const { return maximumLag_; }

  private:
    int windowSize_;
    int maximumLag_;
    int minimumLag_;
    std::vector<float> nsdf_;
    double samplePeriod_;
    INSDFCalculator* calculator_;
    double selectionRatio_ = 0.85;
    // Kept across calls so that the steady state does not allocate.
    std::vector<int> peaks_;
    std::vector<int> candidates_;
};

}  // namespace tanuvo::sound
