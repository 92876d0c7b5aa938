#pragma once

#include "sound/NSDFCalculatorBase.h"

#include <vector>

namespace tanuvo::sound {

// NSDF through the real DFT: the autocorrelation is the inverse transform of the power spectrum of
// the window zero-padded to at least twice its length; the energy term is a running sum.
class NSDFCalculatorOFFT : public NSDFCalculatorBase {
  public:
    NSDFCalculatorOFFT(double sampleRate, int windowSize);

    // A count outside 1 .. windowSize() is clamped to it (a count below 1 writes nothing and
    // returns 0); the return value is the number of lags written.
    int computeNsdf(float* out, const float* samples, int count) override;

    // Length of the one transform work set, made at construction: the padded length of the whole
    // window, whose tables serve every shorter transform too.
    int transformLength() const { return static_cast<int>(work_.signal.size()); }

  private:
    struct FftWorkSet {
        explicit FftWorkSet(int length);
        std::vector<double> signal;
        std::vector<double> spectrum;
        std::vector<int> bitReversal;
        std::vector<double> twiddles;
    };

    FftWorkSet work_;
};

}  // namespace tanuvo::sound
