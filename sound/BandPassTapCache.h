#pragma once

#include <memory>
#include <vector>

namespace tanuvo::sound {

// Source of band-pass FIR taps around a pitch.
class AbstractHolder {
  public:
    virtual ~AbstractHolder() = default;

    // At least order + 1 taps (order even, >= 0) for a pass band from frequency - 2 Hz up to
    // frequency * (1 + widthRatio), or frequency + 2 Hz when widthRatio is not positive.
    // The array stays owned by the holder and is valid until the next getTaps or clear.
    virtual const float* getTaps(double frequency, int order, double sampleRate,
                                 double widthRatio) = 0;
    virtual void clear() = 0;
};

// Caches designed tap sets by frequency: 0.1 Hz slots below 1000 Hz, 1 Hz slots up to 10000 Hz.
// A slot keeps the design of the request that filled it whatever the later sample rate, width
// ratio or exact frequency (clear() after changing the width); only a request of another order
// redesigns it, so the caller always reads a set of the order it asked for.
class ArrayHolder : public AbstractHolder {
  public:
    static constexpr int kFineSlots = 10000;
    static constexpr int kCoarseSlots = 9000;

    ArrayHolder();

    const float* getTaps(double frequency, int order, double sampleRate,
                         double widthRatio) override;
    void clear() override;

    // Slot of a frequency: fine slots first, then coarse ones; -1 when it is not cached.
    static int slotIndex(double frequency);
    // The cached set of a slot, or null when the slot is empty.
    const float* cachedTaps(int slot) const;
    int cachedOrder(int slot) const;
    int filledSlotCount() const;

  private:
    struct TapSet {
        std::unique_ptr<float[]> taps;
        int capacity = 0;
        int order = -1;
    };

    const float* designInto(TapSet& set, int order, double frequency, double sampleRate,
                            double widthRatio);

    std::vector<TapSet> slots;
    // Sets for 10000 Hz and above live here, redesigned on each request, so none leaks.
    TapSet uncached;
    std::vector<float> window;
};

}  // namespace tanuvo::sound
