#include "sound/BandPassTapCache.h"

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

void designBandPassTaps(float* taps, std::vector<float>& window, int order, double frequency,
                        double sampleRate, double widthRatio) {
    const int length = order + 1;
    if (static_cast<int>(window.size()) < length) {
        window.resize(length);
    }
    const double widthAbove = widthRatio > 0.0 ? frequency * widthRatio : 2.0;
    makeHannWindow(window.data(), length);
    const float lowCutoff = static_cast<float>((frequency - 2.0) * (1.0 / sampleRate));
    const float highCutoff = static_cast<float>((frequency + widthAbove) * (1.0 / sampleRate));
    fillSincBandPass(order, taps, lowCutoff, highCutoff, window.data());
}

}  // namespace

ArrayHolder::ArrayHolder() : slots(kFineSlots + kCoarseSlots) {}

int ArrayHolder::slotIndex(double frequency) {
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

const float* ArrayHolder::getTaps(double frequency, int order, double sampleRate,
                                  double widthRatio) {
    if (order < 0) {
        order = 0;
    }
    const int slot = slotIndex(frequency);
    if (slot < 0) {
        return designInto(uncached, order, frequency, sampleRate, widthRatio);
    }
    TapSet& set = slots[slot];
    if (set.order == order) {
        return set.taps.get();
    }
    return designInto(set, order, frequency, sampleRate, widthRatio);
}

const float* ArrayHolder::designInto(TapSet& set, int order, double frequency, double sampleRate,
                                     double widthRatio) {
    if (set.capacity < order + 1) {
        // Allocate before touching the set so that a failed allocation leaves it as it was.
        std::unique_ptr<float[]> taps(new float[order + 1]);
        set.taps = std::move(taps);
        set.capacity = order + 1;
    }
    set.order = -1;
    designBandPassTaps(set.taps.get(), window, order, frequency, sampleRate, widthRatio);
    set.order = order;
    return set.taps.get();
}

void ArrayHolder::clear() {
    for (TapSet& set : slots) {
        if (set.taps) {
            set = TapSet();
        }
    }
}

const float* ArrayHolder::cachedTaps(int slot) const {
    if (slot < 0 || slot >= static_cast<int>(slots.size())) {
        return nullptr;
    }
    return slots[slot].order >= 0 ? slots[slot].taps.get() : nullptr;
}

int ArrayHolder::cachedOrder(int slot) const {
    if (slot < 0 || slot >= static_cast<int>(slots.size())) {
        return -1;
    }
    return slots[slot].order;
}

int ArrayHolder::filledSlotCount() const {
    int filled = 0;
    for (const TapSet& set : slots) {
        filled += set.order >= 0 ? 1 : 0;
    }
    return filled;
}

}  // namespace tanuvo::sound
