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

InputRing::InputRing(int windowLength, int hop)
    : windowLength(windowLength),
      hop(hop),
      previous(windowLength, 0.0f),
      departed(windowLength, 0.0f) {}

void InputRing::depart(int advance) {
    const int count = std::clamp(advance, 0, windowLength);
    std::memmove(departed.data(), departed.data() + count, sizeof(float) * (windowLength - count));
    std::copy(previous.begin(), previous.begin() + count, departed.end() - count);
}

void InputRing::remember(const float* buffer, int length) {
    const int kept = std::clamp(length, 0, windowLength);
    std::copy(buffer, buffer + kept, previous.begin());
    std::fill(previous.begin() + kept, previous.end(), 0.0f);
}

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
      taps(std::make_unique<BandPassTapCache>(tapSetCount(window), std::max(1, window))),
      firExecutor(firExecutor) {
    if (blockSize > 0 && blockSize < window) {
        ring = std::make_unique<InputRing>(window, blockSize);
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

const float* SineWavenizer::prepare(float* buffer, int length, double frequency, int& order) {
    if (!enabled) {
        return nullptr;
    }
    if (tapCacheClearRequested.exchange(false, std::memory_order_acq_rel)) {
        taps->clear();
    }
    if (buffer == nullptr || length < 2 || length > window || !(frequency > 0.0) ||
        firExecutor == nullptr) {
        return nullptr;
    }
    order = filterOrder(frequency, length);
    const float* bandPass =
        taps->getTaps(frequency, order, rate, widthRatio.load(std::memory_order_relaxed));
    prepareInput(buffer, length, order);
    return bandPass;
}

void SineWavenizer::wavenize(float* buffer, int length, double frequency) {
    int order = 0;
    if (const float* bandPass = prepare(buffer, length, frequency, order)) {
        filter(buffer, length, order, bandPass);
    }
}

void SineWavenizer::wavenizeTail(float* buffer, int length, double frequency, int from) {
    if (!ring || from < length - ring->hop) {
        wavenize(buffer, length, frequency);
        return;
    }
    int order = 0;
    if (const float* bandPass = prepare(buffer, length, frequency, order)) {
        filterNewest(buffer, length, order, bandPass);
    }
}

bool SineWavenizer::continuesPrevious(int length, int order, const float* bandPass) const {
    const int hop = ring->hop;
    const int span = order + length;
    return hop < length && length == previousLength && order == previousOrder &&
           std::memcmp(bandPass, previousTaps.data(), sizeof(float) * order) == 0 &&
           std::memcmp(work.data(), previousWork.data() + hop, sizeof(float) * (span - hop)) == 0;
}

void SineWavenizer::rememberFilter(const float* bandPass, int length, int order) {
    std::copy(bandPass, bandPass + order, previousTaps.begin());
    previousLength = length;
    previousOrder = order;
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
    const bool shifted = filteredWhole && continuesPrevious(length, order, bandPass);
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
        rememberFilter(bandPass, length, order);
        blockFilterLoaded = blockFilter->fits(order, span);
        if (blockFilterLoaded) {
            blockFilter->load(bandPass, order, work.data() + span, span);
        }
    }
    filteredWhole = true;
    std::copy(filtered.begin(), filtered.begin() + length, buffer);
    work.swap(previousWork);
}

void SineWavenizer::filterNewest(float* buffer, int length, int order, const float* bandPass) {
    const int hop = ring->hop;
    const int span = order + length;
    float* newest = filtered.data() + (length - hop);
    if (bandPass == nullptr || hop >= length) {
        filter(buffer, length, order, bandPass);
        return;
    }
    if (!continuesPrevious(length, order, bandPass)) {
        rememberFilter(bandPass, length, order);
        // Loaded with the input up to the block before the newest, the block filter then takes
        // the newest one as it would have after a whole-window filter.
        blockFilterLoaded = blockFilter->fits(order, span - hop);
        if (blockFilterLoaded) {
            blockFilter->load(bandPass, order, work.data() + (span - hop), span - hop);
        }
    }
    if (blockFilterLoaded) {
        blockFilter->next(newest, work.data() + span);
    } else {
        firExecutor->execute(newest, work.data() + (length - hop), hop, order, bandPass);
    }
    filteredWhole = false;
    std::copy(newest, newest + hop, buffer + (length - hop));
    work.swap(previousWork);
}

void SineWavenizer::prepareInput(const float* buffer, int length, int order) {
    if (ring) {
        ring->depart(advance >= 0 ? advance : ring->hop);
        advance = -1;
    }
    // The ring's departed input always fills the whole history.
    const float* past = ring ? ring->departed.data() : history.data();
    const int known = ring ? window : std::max(0, historyLength - overlap);
    const int missing = std::max(0, order - known);
    std::fill(work.begin(), work.begin() + missing, 0.0f);
    std::copy(past + (known - (order - missing)), past + known, work.begin() + missing);
    std::copy(buffer, buffer + length, work.begin() + order);

    if (ring) {
        ring->remember(buffer, length);
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

int carriedCycleStart(const std::vector<int>& previousCrossings, int moved, int firstCrossing) {
    // The same crossing seen from both buffers may differ by a sample; one that close to the
    // first crossing is that crossing, not the start of its cycle.
    for (auto it = previousCrossings.rbegin(); it != previousCrossings.rend(); ++it) {
        if (*it - moved < firstCrossing - 1) {
            return std::max(0, moved - *it);
        }
    }
    return 0;
}

}  // namespace tanuvo::sound
