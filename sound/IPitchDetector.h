#pragma once

namespace tanuvo::sound {

// Finds the pitch of one analysis window.
class IPitchDetector {
  public:
    virtual ~IPitchDetector() = default;

    // Frequency in hertz of samples[0 .. count-1], or exactly -1.0 when there is none.
    // count is at least 1 and at most the window size the detector was built for.
    virtual double detectPitch(const float* samples, int count) = 0;
};

}  // namespace tanuvo::sound
