#pragma once

#include "sound/NDSFCalculatorBase.h"

#include <cstddef>
#include <map>
#include <vector>

namespace tanuvo::sound {

// NSDF through the real DFT: the autocorrelation is the inverse transform of the power spectrum of
// the window zero-padded to at least twice its length; the energy term is a running sum.
class NSDFCalculatorOFFT : public NDSFCalculatorBase {
  public:
    NSDFCalculatorOFFT(double sampleRate, int windowSize);

    // A count outside 1 .. windowSize() is clamped to it (a count below 1 writes nothing and
    // returns 0); the return value is the number of lags written.
    int computeNsdf(float* out, const float* samples, int count) override;

    // Number of transform lengths that have a work set; one per distinct padded length ever used.
    std::size_t workSetCount() const { return workSets_.size(); }

  private:
    // Arrays for one transform length, kept for reuse so that the steady state neither allocates
    // nor rebuilds trigonometric tables.
    struct FftWorkSet {
        explicit FftWorkSet(int length);
        std::vector<double> signal;
        std::vector<double> spectrum;
        std::vector<int> bitReversal;
        std::vector<double> twiddles;
    };

    std::map<int, FftWorkSet> workSets_;
};

}  // namespace tanuvo::sound
