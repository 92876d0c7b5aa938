#pragma once

#include <vector>

namespace tanuvo::sound {

// Filters consecutive blocks of one length with the taps split into partitions of that length:
// a block costs one short transform each way and a spectrum product per partition, where a
// transform over block and filter together would cost far more for short blocks. It keeps the
// spectra of the inputs of the last blocks, so it serves only blocks that follow one another;
// load() starts it over from any stretch of input.
class PartitionedFilter {
  public:
    // Allocates everything for filters of up to longestOrder taps over blocks of blockLength.
    PartitionedFilter(int blockLength, int longestOrder);

    int blockLength() const { return block; }

    // Whether load() can take a filter of order taps (at least one) with inputLength samples
    // of input behind the next block's start.
    bool fits(int order, int inputLength) const;

    // Takes order taps, and the input that ends at end (inputLength samples before it are
    // readable), as the filter's state after the block that ends there. Requires fits().
    void load(const float* taps, int order, const float* end, int inputLength);

    // Filters the block of blockLength samples that ends at end, the previous block's end
    // advanced by one block: output[j] = sum over k < order of taps[k] * end[j - blockLength - k].
    void next(float* output, const float* end);

  private:
    int partitionCount(int order) const { return (order + block - 1) / block; }
    // The spectrum of the transformLength input samples that end at end.
    void inputSpectrum(const float* end, double* spectrum);

    int block;
    int transformLength;
    int maxPartitions;
    int partitions = 0;
    int newest = 0;  // slot of the newest block's input spectrum
    std::vector<double> tapSpectra;
    std::vector<double> turnedTapSpectra;
    std::vector<double> inputSpectra;
    std::vector<double> sum;
    std::vector<int> bitReversal;
    std::vector<double> twiddles;
};

}  // namespace tanuvo::sound
