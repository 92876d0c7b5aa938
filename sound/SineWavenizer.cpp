#include "sound/SineWavenizer.h"

#include <algorithm>
#include <cmath>

namespace tanuvo::sound {

namespace {

// The tap cache's sets each have room for the longest filter a window allows; their number keeps
// the cache near one megabyte (256 sets for windows up to 1024 samples, 16 at 16384), which holds
// every pitch of a sung phrase while a long window's few blocks per second redesign cheaply.
int tapSetCount(int window) {
    constexpr int kTapBudget = 1 << 18;  // floats
    return std::clamp(kTapBudget / std::max(1, window), 16, 256);
}

}  // namespace

InputRing::InputRing(int slotLength, int hop, int slotCount)
    : slotLength(slotLength),
      hop(hop),
      slotCount(slotCount),
      slots(slotCount, std::vector<float>(slotLength, 0.0f)) {}

SineWavenizer::SineWavenizer(double sampleRate, int windowLength, IFIRFilterExecutor* firExecutor,
                             int blockSize)
    : rate(sampleRate),
      window(std::max(0, windowLength)),
      history(window, 0.0f),
      historyLength(window),
      work(2 * static_cast<size_t>(window), 0.0f),
      taps(std::make_unique<ArrayHolder>(tapSetCount(window), std::max(1, window))),
      firExecutor(firExecutor) {
    if (blockSize > 0 && blockSize < window) {
        ring = std::make_unique<InputRing>(window, blockSize, window / blockSize + 1);
    }
}

int SineWavenizer::filterOrder(double frequency, int length) const {
    double order = std::trunc(3.1 / (frequency / rate) + 0.5) - 1.0;
    const double limit = length - 2;
    // Also catches a not-a-number order from a degenerate sample rate.
    if (!(order <= limit)) {
        order = limit;
    }
    if (order < 0.0) {
        order = 0.0;
    }
    int result = static_cast<int>(order);
    if (result % 2 != 0) {
        ++result;
    }
    return result;
}

void SineWavenizer::wavenize(float* buffer, int length, double frequency) {
    if (!enabled) {
        return;
    }
    if (tapCacheClearRequested.exchange(false, std::memory_order_acq_rel)) {
        taps->clear();
    }
    if (buffer == nullptr || length < 2 || length > window || !(frequency > 0.0) ||
        firExecutor == nullptr) {
        return;
    }
    const int order = filterOrder(frequency, length);
    const float* bandPass =
        taps->getTaps(frequency, order, rate, widthRatio.load(std::memory_order_relaxed));
    prepareInput(buffer, length, order);
    // The last designed tap is left out: the filter runs with order taps.
    firExecutor->execute(buffer, work.data(), length, order, bandPass);
}

void SineWavenizer::prepareInput(const float* buffer, int length, int order) {
    if (ring) {
        // The first hop samples of each past window are the ones that left the window at the
        // next call; newest first, they rebuild the input that precedes the buffer.
        int filled = 0;
        for (int s = ring->slotCount - 1; s >= 0 && filled < window; --s) {
            const float* slot = ring->slots[s].data();
            for (int k = ring->hop - 1; k >= 0 && filled < window; --k) {
                history[window - 1 - filled] = slot[k];
                ++filled;
            }
        }
    }

    // A flattened ring always fills the whole history.
    const int known = ring ? window : historyLength;
    const int missing = std::max(0, order - known);
    std::fill(work.begin(), work.begin() + missing, 0.0f);
    std::copy(history.begin() + (known - (order - missing)), history.begin() + known,
              work.begin() + missing);
    std::copy(buffer, buffer + length, work.begin() + order);

    if (ring) {
        std::rotate(ring->slots.begin(), ring->slots.begin() + 1, ring->slots.end());
        std::vector<float>& newest = ring->slots.back();
        const int kept = std::min(length, ring->slotLength);
        std::copy(buffer, buffer + kept, newest.begin());
        std::fill(newest.begin() + kept, newest.end(), 0.0f);
    } else {
        std::copy(buffer, buffer + length, history.begin());
    }
    historyLength = length;
}

bool runSineForShaping(const IWavenizer& shaper, SineWavenizer* sine, float* buffer, int length,
                       double frequency) {
    if (!shaper.enabled || buffer == nullptr || length < 2) {
        return false;
    }
    if (sine != nullptr) {
        sine->wavenize(buffer, length, frequency);
    }
    return true;
}

}  // namespace tanuvo::sound
