#pragma once

#include <cstdint>
#include <vector>

namespace tanuvo::sound {

// Band-pass FIR taps around a pitch, designed on request and cached by frequency: 0.1 Hz slots
// below 1000 Hz, 1 Hz slots up to 10000 Hz. A slot keeps the design of the request that filled it
// whatever the later sample rate, width ratio or exact frequency (clear() after changing the
// width); only a request of another order redesigns it, so the caller always reads a set of the
// order it asked for.
//
// The sets live in storage reserved at construction, so that the audio thread never allocates:
// a fixed number of sets of at most maxTaps taps each. When all are taken, the least recently
// used one is taken from its slot and designed afresh for the request that needs it.
class BandPassTapCache {
  public:
    static constexpr int kFineSlots = 10000;
    static constexpr int kCoarseSlots = 9000;
    static constexpr int kMaxSetCount = INT16_MAX;

    // setCount is clamped to 1 .. kMaxSetCount, maxTaps to at least 1.
    explicit BandPassTapCache(int setCount = 64, int maxTaps = 1024);
    BandPassTapCache(const BandPassTapCache&) = delete;
    BandPassTapCache& operator=(const BandPassTapCache&) = delete;

    // At least order + 1 taps (order even, >= 0) for a pass band from frequency - 2 Hz up to
    // frequency * (1 + widthRatio), or frequency + 2 Hz when widthRatio is not positive. The
    // array stays owned by the cache and is valid until the next getTaps or clear. Null when
    // order + 1 exceeds maxTaps(): there is no room for such a set.
    const float* getTaps(double frequency, int order, double sampleRate, double widthRatio);
    // Frees every set for reuse; releases no memory.
    void clear();

    // Slot of a frequency: fine slots first, then coarse ones; -1 when it is not cached.
    static int slotIndex(double frequency);
    // The cached set of a slot, or null when the slot is empty.
    const float* cachedTaps(int slot) const;
    int cachedOrder(int slot) const;
    int filledSlotCount() const;
    int maxTaps() const { return tapLimit; }

  private:
    struct TapSet {
        float* taps = nullptr;
        int order = -1;
        int slot = -1;
        std::uint64_t lastUse = 0;
    };

    const float* designInto(TapSet& set, int order, double frequency, double sampleRate,
                            double widthRatio);
    // A set for a slot that has none: a never used one, else the least recently used.
    int takeSet();

    int tapLimit;
    std::vector<float> storage;  // every set's taps, then the uncached set's, then the window
    std::vector<TapSet> sets;
    int setsInUse = 0;  // sets[0 .. setsInUse) hold a slot
    std::uint64_t useClock = 0;
    std::vector<std::int16_t> slotSets;  // set index of each slot, or -1
    // Sets for 10000 Hz and above are redesigned on each request in this one.
    TapSet uncached;
    float* window;
};

}  // namespace tanuvo::sound
