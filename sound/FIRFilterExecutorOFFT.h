#pragma once

#include <map>
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

// Fast convolution through the real transform; keeps one work set per transform length.
class FIRFilterExecutorOFFT : public IFIRFilterExecutor {
  public:
    FIRFilterExecutorOFFT() = default;

    void execute(float* output, const float* input, int length, int tapCount,
                 const float* taps) override;

    int workAreaCount() const { return static_cast<int>(workAreas.size()); }
    bool hasWorkArea(int transformLength) const { return workAreas.count(transformLength) != 0; }

    // Largest transform length this executor accepts; longer blocks are filtered piecewise.
    static constexpr int kMaxTransformLength = 1 << 24;

  private:
    struct FirWorkArea {
        explicit FirWorkArea(int n);
        std::vector<double> tapTransform;
        std::vector<double> signalTransform;
        std::vector<double> product;
        std::vector<int> bitReversal;
        std::vector<double> twiddles;
    };

    FirWorkArea& workAreaFor(int n);

    std::map<int, std::unique_ptr<FirWorkArea>> workAreas;
};

}  // namespace tanuvo::sound
