#pragma once

namespace tanuvo::sound {

// Computes the normalized square difference function of one analysis window.
class INSDFCalculator {
  public:
    virtual ~INSDFCalculator() = default;

    // Writes n(tau) = 2 r(tau) / m'(tau) for tau = 0 .. count-1 into out and returns the number of
    // lags written. count is at least 1 and at most the window size the calculator was built for.
    virtual int computeNsdf(float* out, const float* samples, int count) = 0;
};

}  // namespace tanuvo::sound
