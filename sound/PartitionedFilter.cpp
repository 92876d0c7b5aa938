#include "sound/PartitionedFilter.h"

#include <algorithm>
#include <cmath>

#include "sound/FloatLanes.h"
#include "sound/RealDft.h"

namespace tanuvo::sound {

PartitionedFilter::PartitionedFilter(int blockLength, int longestOrder)
    : block(std::max(1, blockLength)),
      // Twice the block: the circular convolution of a block-long partition with the transform's
      // input is then the linear one over the last block of outputs.
      transformLength(transformLengthFor(2 * block)),
      maxPartitions(std::max(1, (std::max(1, longestOrder) + block - 1) / block)),
      tapSpectra(static_cast<size_t>(maxPartitions) * transformLength, 0.0),
      turnedTapSpectra(tapSpectra.size(), 0.0),
      inputSpectra(tapSpectra.size(), 0.0),
      sum(transformLength, 0.0),
      bitReversal(static_cast<int>(std::floor(std::sqrt(transformLength * 0.5))) + 2, 0),
      twiddles(transformLength / 2, 0.0) {
    // Builds the tables now rather than in the first block.
    realDft(transformLength, 1, sum.data(), bitReversal.data(), twiddles.data());
    std::fill(sum.begin(), sum.end(), 0.0);
}

bool PartitionedFilter::fits(int order, int inputLength) const {
    if (order < 1) {
        return false;
    }
    const int count = partitionCount(order);
    return count <= maxPartitions && (count - 1) * block + transformLength <= inputLength;
}

void PartitionedFilter::inputSpectrum(const float* end, double* spectrum) {
    const float* start = end - transformLength;
    for (int i = 0; i < transformLength; ++i) {
        spectrum[i] = start[i];
    }
    realDft(transformLength, 1, spectrum, bitReversal.data(), twiddles.data());
}

void PartitionedFilter::load(const float* taps, int order, const float* end, int inputLength) {
    if (!fits(order, inputLength)) {
        return;
    }
    partitions = partitionCount(order);
    for (int p = 0; p < partitions; ++p) {
        double* h = tapSpectra.data() + static_cast<size_t>(p) * transformLength;
        const int first = p * block;
        const int count = std::min(block, order - first);
        for (int k = 0; k < transformLength; ++k) {
            h[k] = k < count ? taps[first + k] : 0.0;
        }
        realDft(transformLength, 1, h, bitReversal.data(), twiddles.data());
        double* turned = turnedTapSpectra.data() + static_cast<size_t>(p) * transformLength;
        for (int k = 2; k < transformLength; k += 2) {
            turned[k] = -h[k + 1];
            turned[k + 1] = h[k];
        }
    }
    // Slot p holds the input of the block p blocks before the newest.
    newest = 0;
    for (int p = 0; p < partitions; ++p) {
        inputSpectrum(end - p * block,
                      inputSpectra.data() + static_cast<size_t>(p) * transformLength);
    }
}

void PartitionedFilter::next(float* output, const float* end) {
    if (partitions == 0) {
        return;
    }
    newest = (newest + partitions - 1) % partitions;
    inputSpectrum(end, inputSpectra.data() + static_cast<size_t>(newest) * transformLength);

    // Partition p meets the input of the block p blocks back. Bins 0 and n/2 are real and share
    // the first pair; every other pair is one complex product, done two doubles at a time with the
    // partition's spectrum also kept turned a quarter (-im, re).
    std::fill(sum.begin(), sum.end(), 0.0);
    double* y = sum.data();
    const int n = transformLength;
    for (int p = 0; p < partitions; ++p) {
        const size_t tapOffset = static_cast<size_t>(p) * n;
        const double* h = tapSpectra.data() + tapOffset;
        const double* turned = turnedTapSpectra.data() + tapOffset;
        const double* x = inputSpectra.data() + static_cast<size_t>((newest + p) % partitions) * n;
        y[0] += h[0] * x[0];
        y[1] += h[1] * x[1];
        for (int k = 2; k < n; k += 2) {
            const lanes::v2d xk = lanes::load(x + k);
            const lanes::v2d re = __builtin_shufflevector(xk, xk, 0, 0);
            const lanes::v2d im = __builtin_shufflevector(xk, xk, 1, 1);
            lanes::store(
                y + k, lanes::load(y + k) + lanes::load(h + k) * re + lanes::load(turned + k) * im);
        }
    }
    realDft(n, -1, y, bitReversal.data(), twiddles.data());
    const double scale = 2.0 / n;
    for (int j = 0; j < block; ++j) {
        output[j] = static_cast<float>(y[n - block + j] * scale);
    }
}

}  // namespace tanuvo::sound
