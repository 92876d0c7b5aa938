#pragma once

#include <memory>
#include <vector>

namespace tanuvo::sound {

// Applies an FIR filter to a block that comes preceded by its own history.
class IFIRFilterExecutor {
  public:
    virtual ~IFIRFilterExecutor() = default;

    // input holds tapCount history samples followed by length block samples; writes
    // output[j] = sum over k < tapCount of taps[k] * input[tapCount + j - k], j < length.
    // output may alias the caller's block but not input.
    virtual void execute(float* output, const float* input, int length, int tapCount,
                         const float* taps) = 0;
};

// Fast convolution through the real transform, in one work set whose tables serve every
// transform length up to its own.
class FIRFilterExecutorOFFT : public IFIRFilterExecutor {
  public:
    // Reserves the work set for calls with length + tapCount up to longestInput, so that they
    // never allocate; a longer call enlarges it first.
    explicit FIRFilterExecutorOFFT(int longestInput = 0);

    void execute(float* output, const float* input, int length, int tapCount,
                 const float* taps) override;

    int transformLength() const { return area ? area->length : 0; }

    // Largest transform length this executor accepts; longer blocks are filtered piecewise.
    static constexpr int kMaxTransformLength = 1 << 24;

  private:
    struct FirWorkArea {
        explicit FirWorkArea(int n);
        int length;
        // The taps whose transform tapTransform holds, at keptLength points: calls that repeat
        // them (a steady pitch) transform only the signal.
        std::vector<float> keptTaps;
        int keptTapCount = -1;
        int keptLength = 0;
        std::vector<double> tapTransform;
        std::vector<double> signalTransform;
        std::vector<double> product;
        std::vector<int> bitReversal;
        std::vector<double> twiddles;
    };

    FirWorkArea& workAreaFor(int n);

    std::unique_ptr<FirWorkArea> area;
};

}  // namespace tanuvo::sound
