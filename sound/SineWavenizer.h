#pragma once

#include <algorithm>
#include <atomic>
#include <memory>
#include <vector>

#include "sound/BandPassTapCache.h"
#include "sound/FIRFilterExecutorOFFT.h"
#include "sound/IWavenizer.h"
#include "sound/PartitionedFilter.h"

namespace tanuvo::sound {

// The input before the windows of a caller that slides its analysis window by less than its
// length: each call's window is kept, and at the next call the samples that left the window (its
// first `advance` ones) join the departed input, the stretch the filter reaches back into.
struct InputRing {
    InputRing(int windowLength, int hop);

    // The next window is the previous one moved on by advance samples (0 to windowLength).
    void depart(int advance);
    void remember(const float* buffer, int length);

    int windowLength;
    int hop;                      // the usual advance
    std::vector<float> previous;  // the previous call's window
    std::vector<float> departed;  // the last windowLength samples before the window, oldest first
};

// Band-passes the input around the detected pitch: the input's own fundamental, with its
// amplitude and phase, delayed by half the filter order.
class SineWavenizer : public IWavenizer {
  public:
    // A ring of past windows is kept when 0 < blockSize < windowLength: the caller then passes
    // its whole sliding window, advanced by blockSize samples since the previous call.
    SineWavenizer(double sampleRate, int windowLength, IFIRFilterExecutor* firExecutor,
                  int blockSize);

    // Leaves the buffer unchanged when disabled, when length < 2 or length > windowLength, or
    // when frequency is not positive.
    void wavenize(float* buffer, int length, double frequency) override;
    // With the ring and from at or past the newest hop, only the newest hop samples are filtered.
    void wavenizeTail(float* buffer, int length, double frequency, int from) override;

    // Relative width of the pass band above the pitch; safe to write from another thread.
    std::atomic<double> widthRatio{0.0};

    // Frees the cached tap sets for reuse at the start of the next wavenize, on the audio thread,
    // so that a parameter thread never touches taps that a running filter reads.
    void requestTapCacheClear() { tapCacheClearRequested.store(true, std::memory_order_release); }

    // For callers with a ring: the next buffer is the previous one moved on by this many samples
    // instead of the ring's hop (a host block shorter than announced). For that call only.
    void setAdvance(int samples) { advance = samples; }

    // For callers without a ring: the next buffer begins this many samples before the end of the
    // previous one (a window that reaches back over input already seen), so the filter continues
    // from the input before that point. 0, the default, for buffers that follow each other.
    void setOverlap(int samples) { overlap = std::max(0, samples); }
    int overlapSamples() const { return overlap; }

    // Filter order used for a call of this length: about 3.1 periods, even, at most length - 1.
    int filterOrder(double frequency, int length) const;

    double sampleRate() const { return rate; }
    int windowLength() const { return window; }
    BandPassTapCache& tapCache() { return *taps; }
    const InputRing* inputRing() const { return ring.get(); }

  private:
    void prepareInput(const float* buffer, int length, int order);
    // Writes the filtered window to buffer. When the call repeats the previous one's filter and
    // its input is that call's input advanced by the ring's hop, only the newest hop samples are
    // filtered and the rest is the previous result, shifted, unless the window then holds
    // near-silent samples: those are taken from a whole-window transform, as every sample is in a
    // call that repeats nothing.
    void filter(float* buffer, int length, int order, const float* bandPass);
    // Writes only the newest hop samples of the filtered window to buffer, through the block
    // filter while the taps stay and the input slides by one hop, else afresh.
    void filterNewest(float* buffer, int length, int order, const float* bandPass);
    // Whether the previous call's taps, length and order are those given and its input is the
    // present one less its newest hop.
    bool continuesPrevious(int length, int order, const float* bandPass) const;
    void rememberFilter(const float* bandPass, int length, int order);
    // Designs (or finds) the taps and builds the filter input; null when the call does nothing.
    const float* prepare(float* buffer, int length, double frequency, int& order);

    double rate;
    int window;
    std::vector<float> history;
    int historyLength;
    int overlap = 0;
    int advance = -1;  // the ring's hop
    std::vector<float> work;
    // The previous call's filter input, taps and result, for the shifted reuse in filter().
    std::vector<float> previousWork;
    std::vector<float> previousTaps;
    std::vector<float> filtered;
    int previousLength = -1;
    int previousOrder = -1;
    // Whether filtered holds the previous call's whole window (not only its newest hop).
    bool filteredWhole = false;
    // Filters the newest hop samples while the taps stay; loaded by each whole-window filter.
    std::unique_ptr<PartitionedFilter> blockFilter;
    bool blockFilterLoaded = false;
    std::unique_ptr<BandPassTapCache> taps;
    IFIRFilterExecutor* firExecutor;
    std::unique_ptr<InputRing> ring;
    std::atomic<bool> tapCacheClearRequested{false};
};

// The first step of every generator that reshapes the sine: answers false when the call must
// leave the buffer as it is (shaper disabled, no buffer, fewer than two samples), otherwise
// runs the sine generator over the buffer and answers true.
bool runSineForShaping(const IWavenizer& shaper, SineWavenizer* sine, float* buffer, int length,
                       double frequency);

// For a shaper whose buffer reaches back over the previous one (the sine's overlap): how far
// before the buffer's start the cycle that ends at its first upward crossing began, found among
// the previous call's crossings (positions in that buffer, increasing); 0 when none precedes it.
int carriedCycleStart(const std::vector<int>& previousCrossings, int moved, int firstCrossing);

}  // namespace tanuvo::sound
