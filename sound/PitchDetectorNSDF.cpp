#include "sound/PitchDetectorNSDF.h"

#include "sound/PeakFinding.h"

#include <algorithm>

namespace tanuvo::sound {

namespace {

// Lag bound for a sample rate, truncated toward zero; a rate a host should never send (NaN,
// negative, absurdly large) gives a bound that no peak can pass instead of an undefined cast.
int lagBound(double sampleRate, double seconds) {
    const double lag = sampleRate * seconds;
    if (!(lag >= 0.0)) {
        return 0;
    }
    return static_cast<int>(std::min(lag, 1.0e9));
}

}  // namespace

PitchDetectorNSDF::PitchDetectorNSDF(double sampleRate, int windowSize, INSDFCalculator* calculator)
    : windowSize_(std::max(windowSize, 0)),
      maximumLag_(lagBound(sampleRate, 0.015384615384615385)),
      minimumLag_(lagBound(sampleRate, 0.0006666666666666666)),
      nsdf_(windowSize_),
      samplePeriod_(1.0 / sampleRate),
      calculator_(calculator) {
    // An NSDF of w lags has fewer than w/2 local maxima.
    peaks_.reserve(windowSize_ / 2 + 1);
    candidates_.reserve(windowSize_ / 2 + 1);
}

double PitchDetectorNSDF::detectPitch(const float* samples, int count) {
    count = std::min(count, windowSize_);
    if (count < 1 || samples == nullptr || calculator_ == nullptr) {
        return -1.0;
    }
    const int lags = calculator_->computeNsdf(nsdf_.data(), samples, count);
    if (lags < 1) {
        return -1.0;
    }
    const float* nsdf = nsdf_.data();

    // A peak at p is decided by the lags up to p + 1, so the walk stops where the candidates end
    // (maximumLag_ is at most 1e9).
    peaks_.clear();
    findPeakIndices(peaks_, nsdf, std::min({lags, count, maximumLag_ + 1}));
    candidates_.clear();
    for (int p : peaks_) {
        if (p > minimumLag_ && p < maximumLag_) {
            candidates_.push_back(p);
        }
    }

    float best = 0.0f;
    for (int p : candidates_) {
        if (nsdf[p] > best) {
            best = nsdf[p];
        }
    }
    const float threshold = static_cast<float>(best * selectionRatio_);
    for (int p : candidates_) {
        if (nsdf[p] > threshold) {
            return 1.0 / (p * samplePeriod_);
        }
    }
    return -1.0;
}

}  // namespace tanuvo::sound
