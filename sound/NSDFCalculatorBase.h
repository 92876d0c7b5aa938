#pragma once

#include "sound/INSDFCalculator.h"

#include <vector>

namespace tanuvo::sound {

// Holds what every NSDF calculator keeps per window size: after each call, the autocorrelation
// r(tau) and the energy term m'(tau) of the lags it computed.
class NSDFCalculatorBase : public INSDFCalculator {
  public:
    NSDFCalculatorBase(double sampleRate, int windowSize);

    double sampleRate() const { return sampleRate_; }
    int windowSize() const { return windowSize_; }
    const float* autocorrelation() const { return autocorrelation_.data(); }
    const float* energy() const { return energy_.data(); }

  protected:
    double sampleRate_;
    int windowSize_;
    std::vector<float> autocorrelation_;
    std::vector<float> energy_;
};

}  // namespace tanuvo::sound
