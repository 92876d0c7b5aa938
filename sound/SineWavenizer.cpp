#include "sound/SineWavenizer.h"

#include "sound/FloatLanes.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace tanuvo::sound {
namespace {

// The shapers act on signs and exact levels, so samples as small as the transforms' rounding must
// come out exactly as a whole-window transform gives them: a window that holds a sample this
// small against its loudest one is filtered whole.
constexpr float kShiftedReuseFloor = 1e-5f;

bool holdsNearSilence(const float* v, int n) {
    float quietest = std::fabs(v[0]);
    float loudest = quietest;
    int i = 0;
    if (n >= lanes::kWidth) {
        const lanes::v4i magnitude = {0x7fffffff, 0x7fffffff, 0x7fffffff, 0x7fffffff};
        lanes::v4f low = lanes::broadcast(quietest);
        lanes::v4f high = low;
        for (; i + lanes::kWidth <= n; i += lanes::kWidth) {
            const lanes::v4f a = reinterpret_cast<lanes::v4f>(
                reinterpret_cast<lanes::v4i>(lanes::load(v + i)) & magnitude);
            low = lanes::select(a < low, a, low);
            high = lanes::select(a > high, a, high);
        }
        for (int k = 0; k < lanes::kWidth; ++k) {
            quietest = std::min(quietest, low[k]);
            loudest = std::max(loudest, high[k]);
        }
    }
    for (; i < n; ++i) {
        const float a = std::fabs(v[i]);
        quietest = std::min(quietest, a);
        loudest = std::max(loudest, a);
    }
    return quietest < kShiftedReuseFloor * loudest || loudest == 0.0f;
}

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
      previousWork(work.size(), 0.0f),
      previousTaps(window, 0.0f),
      filtered(window, 0.0f),
      taps(std::make_unique<ArrayHolder>(tapSetCount(window), std::max(1, window))),
      firExecutor(firExecutor) {
    if (blockSize > 0 && blockSize < window) {
        ring = std::make_unique<InputRing>(window, blockSize, window / blockSize + 1);
        blockFilter = std::make_unique<PartitionedFilter>(blockSize, window);
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
    filter(buffer, length, order, bandPass);
}

void SineWavenizer::filter(float* buffer, int length, int order, const float* bandPass) {
    // The last designed tap is left out: the filter runs with order taps.
    if (!ring || bandPass == nullptr) {
        firExecutor->execute(buffer, work.data(), length, order, bandPass);
        previousLength = -1;
        return;
    }
    const int hop = ring->hop;
    const int span = order + length;
    const bool shifted =
        hop < length && length == previousLength && order == previousOrder &&
        std::memcmp(bandPass, previousTaps.data(), sizeof(float) * order) == 0 &&
        std::memcmp(work.data(), previousWork.data() + hop, sizeof(float) * (span - hop)) == 0;
    bool reused = false;
    if (shifted) {
        // Each output sample depends only on its own stretch of input and the taps, so the
        // samples both windows share are the previous results.
        std::copy(filtered.begin() + hop, filtered.begin() + length, filtered.begin());
        if (blockFilterLoaded) {
            blockFilter->next(filtered.data() + (length - hop), work.data() + span);
        } else {
            firExecutor->execute(filtered.data() + (length - hop), work.data() + (length - hop),
                                 hop, order, bandPass);
        }
        reused = !holdsNearSilence(filtered.data(), length);
    }
    if (!reused) {
        firExecutor->execute(filtered.data(), work.data(), length, order, bandPass);
    }
    if (!shifted) {
        std::copy(bandPass, bandPass + order, previousTaps.begin());
        previousLength = length;
        previousOrder = order;
        blockFilterLoaded = blockFilter->fits(order, span);
        if (blockFilterLoaded) {
            blockFilter->load(bandPass, order, work.data() + span, span);
        }
    }
    std::copy(filtered.begin(), filtered.begin() + length, buffer);
    work.swap(previousWork);
}

void SineWavenizer::prepareInput(const float* buffer, int length, int order) {
    if (ring) {
        // The first hop samples of each past window are the ones that left the window at the
        // next call; newest first, they rebuild the input that precedes the buffer, as far back
        // as the filter reaches.
        const int hop = ring->hop;
        const int reach = std::min(window, order);
        for (int age = 0; age < ring->slotCount && age * hop < reach; ++age) {
            const float* slot = ring->slots[ring->slotCount - 1 - age].data();
            const int end = window - age * hop;
            const int begin = std::max(window - reach, end - hop);
            std::copy(slot + (begin - (end - hop)), slot + hop, history.begin() + begin);
        }
    }

    // A flattened ring always fills the whole history.
    const int known = ring ? window : std::max(0, historyLength - overlap);
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
