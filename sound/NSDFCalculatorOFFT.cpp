#include "sound/NSDFCalculatorOFFT.h"

#include "sound/EnergySweep.h"
#include "sound/FloatLanes.h"
#include "sound/RealDft.h"

#include <cmath>

namespace tanuvo::sound {

NSDFCalculatorOFFT::FftWorkSet::FftWorkSet(int length)
    : signal(length),
      spectrum(length),
      bitReversal(static_cast<int>(std::floor(std::sqrt(length * 0.5))) + 2, 0),
      twiddles(length / 2, 0.0) {}

namespace {

// Padding to twice the window makes the circular autocorrelation the linear one below it.
int paddedLength(int window) {
    return transformLengthFor(2 * window);
}

BLEEP_WIDE_GLUE void nsdfByTransforms(float* out, const float* samples, int w, int n, float* energy,
                                      float* autocorrelation, double* signal, double* spectrum,
                                      int* bitReversal, double* twiddles) {
    for (int j = 0; j < w; ++j) {
        signal[j] = samples[j];
    }
    for (int j = w; j < n; ++j) {
        signal[j] = 0.0;
    }
    // m'(tau) is a single-precision running sum from the largest lag (two samples) down to lag 0,
    // each add waiting on the last: the forward transform takes its steps between butterflies,
    // so that its latency hides behind their work (the transform's own passes are serial too).
    // The addends have no such chain and go four at a time.
    for (int tau = 0; tau < w; ++tau) {
        const float head = samples[w - 1 - tau];
        const float tail = samples[tau];
        energy[tau] = tail * tail + head * head;
    }
    EnergySweep sweep;
    sweep.energy = energy;
    sweep.length = w;
    realDft(n, 1, signal, bitReversal, twiddles, sweep);

    sweep.advance(w);  // the steps that did not fit, if any

    // Power spectrum: the bins in single precision, the Nyquist term in double.
    const float dc = static_cast<float>(signal[0]);
    spectrum[0] = dc * dc;
    spectrum[1] = signal[1] * signal[1];
    for (int k = 1; k < n / 2; ++k) {
        const float re = static_cast<float>(signal[2 * k]);
        const float im = static_cast<float>(signal[2 * k + 1]);
        spectrum[2 * k] = re * re + im * im;
        spectrum[2 * k + 1] = 0.0;
    }
    realDft(n, -1, spectrum, bitReversal, twiddles);

    // No lag depends on another here, so this sweep runs four lags at a time.
    const double scale = 2.0 / n;
    for (int tau = 0; tau < w; ++tau) {
        const float r = static_cast<float>(spectrum[tau] * scale);
        autocorrelation[tau] = r;
        out[tau] = (r * 2.0f) / energy[tau];
    }
}

}  // namespace

NSDFCalculatorOFFT::NSDFCalculatorOFFT(double sampleRate, int windowSize)
    : NSDFCalculatorBase(sampleRate, windowSize), work_(paddedLength(windowSize_)) {
    // Builds the tables now rather than in the first audio block.
    realDft(transformLength(), 1, work_.signal.data(), work_.bitReversal.data(),
            work_.twiddles.data());
}

int NSDFCalculatorOFFT::computeNsdf(float* out, const float* samples, int count) {
    // The buffers hold windowSize() lags; a longer request would write past them.
    if (count > windowSize_) {
        count = windowSize_;
    }
    if (count < 1 || out == nullptr || samples == nullptr) {
        return 0;
    }
    FftWorkSet& set = work_;
    nsdfByTransforms(out, samples, count, paddedLength(count), energy_.data(),
                     autocorrelation_.data(), set.signal.data(), set.spectrum.data(),
                     set.bitReversal.data(), set.twiddles.data());
    return count;
}

}  // namespace tanuvo::sound
