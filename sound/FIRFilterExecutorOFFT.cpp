#include "sound/FIRFilterExecutorOFFT.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "sound/FloatLanes.h"
#include "sound/RealDft.h"

namespace tanuvo::sound {

namespace {

// The input's transform, its product with the taps' and the product's inverse, into output.
BLEEP_WIDE_GLUE void convolveByTransforms(float* output, const float* input, int length,
                                          int tapCount, int n, const double* h, double* x,
                                          double* p, int* ip, double* w) {
    const int total = length + tapCount;
    for (int i = 0; i < total; ++i) {
        x[i] = input[i];
    }
    for (int i = total; i < n; ++i) {
        x[i] = 0.0;
    }
    realDft(n, 1, x, ip, w);

    p[0] = x[0] * h[0];
    p[1] = x[1] * h[1];
    for (int k = 1; k < n / 2; ++k) {
        const float xr = static_cast<float>(x[2 * k]);
        const float xi = static_cast<float>(x[2 * k + 1]);
        const float hr = static_cast<float>(h[2 * k]);
        const float hi = static_cast<float>(h[2 * k + 1]);
        p[2 * k] = xr * hr - xi * hi;
        p[2 * k + 1] = xr * hi + xi * hr;
    }
    realDft(n, -1, p, ip, w);

    const double scale = 2.0 / n;
    for (int j = 0; j < length; ++j) {
        output[j] = static_cast<float>(p[tapCount + j] * scale);
    }
}

}  // namespace

FIRFilterExecutorOFFT::FirWorkArea::FirWorkArea(int n)
    : length(n),
      keptTaps(n),
      tapTransform(n),
      signalTransform(n),
      product(n),
      bitReversal(static_cast<int>(std::sqrt(n * 0.5)) + 2, 0),
      twiddles(n / 2, 0.0) {
    // Builds the tables now rather than in the first call that needs them.
    realDft(n, 1, product.data(), bitReversal.data(), twiddles.data());
}

FIRFilterExecutorOFFT::FIRFilterExecutorOFFT(int longestInput) {
    if (longestInput > 0) {
        area = std::make_unique<FirWorkArea>(
            transformLengthFor(std::min(longestInput, kMaxTransformLength)));
    }
}

FIRFilterExecutorOFFT::FirWorkArea& FIRFilterExecutorOFFT::workAreaFor(int n) {
    if (!area || area->length < n) {
        area = std::make_unique<FirWorkArea>(n);
    }
    return *area;
}

void FIRFilterExecutorOFFT::execute(float* output, const float* input, int length, int tapCount,
                                    const float* taps) {
    if (length <= 0 || output == nullptr) {
        return;
    }
    if (tapCount < 0 || input == nullptr || taps == nullptr) {
        tapCount = 0;
    }
    if (tapCount == 0) {
        for (int j = 0; j < length; ++j) {
            output[j] = 0.0f;
        }
        return;
    }
    if (tapCount > kMaxTransformLength / 2) {
        // Beyond any filter this system designs; answer silence rather than exhaust memory.
        for (int j = 0; j < length; ++j) {
            output[j] = 0.0f;
        }
        return;
    }
    // Each output sample depends only on its own stretch of input, so a block too long for
    // one transform is filtered in consecutive pieces.
    const int pieceLimit = kMaxTransformLength - tapCount;
    while (length > pieceLimit) {
        execute(output, input, pieceLimit, tapCount, taps);
        output += pieceLimit;
        input += pieceLimit;
        length -= pieceLimit;
    }

    const int total = length + tapCount;
    const int n = transformLengthFor(total);
    FirWorkArea& work = workAreaFor(n);
    double* h = work.tapTransform.data();
    double* x = work.signalTransform.data();
    double* p = work.product.data();
    int* ip = work.bitReversal.data();
    double* w = work.twiddles.data();
    const bool tapsKept = work.keptTapCount == tapCount && work.keptLength == n &&
                          std::memcmp(work.keptTaps.data(), taps, sizeof(float) * tapCount) == 0;
    if (!tapsKept) {
        for (int i = 0; i < n; ++i) {
            h[i] = i < tapCount ? taps[i] : 0.0;
        }
        realDft(n, 1, h, ip, w);
        std::copy(taps, taps + tapCount, work.keptTaps.begin());
        work.keptTapCount = tapCount;
        work.keptLength = n;
    }
    convolveByTransforms(output, input, length, tapCount, n, h, x, p, ip, w);
}

}  // namespace tanuvo::sound
