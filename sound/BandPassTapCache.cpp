#include "sound/BandPassTapCache.h"

#include <algorithm>
#include <cmath>

namespace tanuvo::sound {
namespace {

constexpr double kTwoPi = 6.283185307179586;

void makeHannWindow(float* window, int length) {
    for (int i = 0; i < length; ++i) {
        // An odd length gets the symmetric form so that the centre tap is weighted 1.
        double position = (length % 2 == 0) ? i : i + 0.5;
        window[i] = static_cast<float>(0.5 - 0.5 * std::cos(kTwoPi * position / length));
    }
}

double sinc(double x) {
    return x == 0.0 ? 1.0 : std::sin(x) / x;
}

// Difference of two ideal low-passes, cut-offs in cycles per sample, shaped by the window.
void fillSincBandPass(int order, float* taps, float lowCutoff, float highCutoff,
                      const float* window) {
    const int half = order / 2;
    const double low = lowCutoff;
    const double high = highCutoff;
    for (int i = -half; i <= half; ++i) {
        taps[i + half] = static_cast<float>(2.0 * high * sinc(kTwoPi * high * i) -
                                            2.0 * low * sinc(kTwoPi * low * i));
    }
    for (int k = 0; k <= order; ++k) {
        taps[k] *= window[k];
    }
}

void designBandPassTaps(float* taps, float* window, int order, double frequency, double sampleRate,
                        double widthRatio) {
    const int length = order + 1;
    const double widthAbove = widthRatio > 0.0 ? frequency * widthRatio : 2.0;
    makeHannWindow(window, length);
    const float lowCutoff = static_cast<float>((frequency - 2.0) * (1.0 / sampleRate));
    const float highCutoff = static_cast<float>((frequency + widthAbove) * (1.0 / sampleRate));
    fillSincBandPass(order, taps, lowCutoff, highCutoff, window);
}

}  // namespace

BandPassTapCache::BandPassTapCache(int setCount, int maxTaps)
    : tapLimit(std::max(1, maxTaps)),
      sets(std::clamp(setCount, 1, kMaxSetCount)),
      slotSets(kFineSlots + kCoarseSlots, -1) {
    // One block: the sets, the uncached set and the design window.
    storage.assign((sets.size() + 2) * static_cast<size_t>(tapLimit), 0.0f);
    float* next = storage.data();
    for (TapSet& set : sets) {
        set.taps = next;
        next += tapLimit;
    }
    uncached.taps = next;
    window = next + tapLimit;
}

int BandPassTapCache::slotIndex(double frequency) {
    if (!(frequency >= 0.0)) {
        return -1;
    }
    if (frequency < 1000.0) {
        return static_cast<int>(frequency * 10.0);
    }
    if (frequency < 10000.0) {
        return kFineSlots + static_cast<int>(frequency) - 1000;
    }
    return -1;
}

const float* BandPassTapCache::getTaps(double frequency, int order, double sampleRate,
                                       double widthRatio) {
    if (order < 0) {
        order = 0;
    }
    if (order >= tapLimit) {
        return nullptr;
    }
    const int slot = slotIndex(frequency);
    if (slot < 0) {
        return designInto(uncached, order, frequency, sampleRate, widthRatio);
    }
    int index = slotSets[slot];
    if (index < 0) {
        index = takeSet();
        sets[index].slot = slot;
        sets[index].order = -1;
        slotSets[slot] = static_cast<std::int16_t>(index);
    }
    TapSet& set = sets[index];
    set.lastUse = ++useClock;
    if (set.order == order) {
        return set.taps;
    }
    return designInto(set, order, frequency, sampleRate, widthRatio);
}

int BandPassTapCache::takeSet() {
    if (setsInUse < static_cast<int>(sets.size())) {
        return setsInUse++;
    }
    int oldest = 0;
    for (int i = 1; i < setsInUse; ++i) {
        if (sets[i].lastUse < sets[oldest].lastUse) {
            oldest = i;
        }
    }
    slotSets[sets[oldest].slot] = -1;
    return oldest;
}

const float* BandPassTapCache::designInto(TapSet& set, int order, double frequency,
                                          double sampleRate, double widthRatio) {
    designBandPassTaps(set.taps, window, order, frequency, sampleRate, widthRatio);
    set.order = order;
    return set.taps;
}

void BandPassTapCache::clear() {
    for (int i = 0; i < setsInUse; ++i) {
        slotSets[sets[i].slot] = -1;
        sets[i].slot = -1;
        sets[i].order = -1;
    }
    setsInUse = 0;
}

const float* BandPassTapCache::cachedTaps(int slot) const {
    const int order = cachedOrder(slot);
    return order >= 0 ? sets[slotSets[slot]].taps : nullptr;
}

int BandPassTapCache::cachedOrder(int slot) const {
    if (slot < 0 || slot >= static_cast<int>(slotSets.size()) || slotSets[slot] < 0) {
        return -1;
    }
    return sets[slotSets[slot]].order;
}

int BandPassTapCache::filledSlotCount() const {
    int filled = 0;
    for (int i = 0; i < setsInUse; ++i) {
        filled += sets[i].order >= 0 ? 1 : 0;
    }
    return filled;
}

}  // namespace tanuvo::sound
