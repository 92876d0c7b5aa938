#include "sound/BandPassTapCache.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <vector>

#include "tests/support/AllocationCounter.h"

namespace tanuvo::sound {
namespace {

constexpr double kPi = 3.14159265358979323846;

// Gain of the taps at a frequency (magnitude of their transfer function).
double gainAt(const float* taps, int count, double frequency, double sampleRate) {
    std::complex<double> sum = 0.0;
    for (int k = 0; k < count; ++k) {
        sum +=
            static_cast<double>(taps[k]) * std::polar(1.0, -2.0 * kPi * frequency * k / sampleRate);
    }
    return std::abs(sum);
}

double hann(int i, int length) {
    return 0.5 - 0.5 * std::cos(2.0 * kPi * (i + 0.5) / length);
}

TEST(BandPassTapCacheTest, SlotArithmetic) {
    EXPECT_EQ(4400, BandPassTapCache::slotIndex(440.04));
    EXPECT_EQ(4400, BandPassTapCache::slotIndex(440.06));
    EXPECT_EQ(9999, BandPassTapCache::slotIndex(999.99));
    EXPECT_EQ(10000, BandPassTapCache::slotIndex(1000.0));
    EXPECT_EQ(10000 + 8999, BandPassTapCache::slotIndex(9999.9));
    EXPECT_EQ(-1, BandPassTapCache::slotIndex(10000.0));
    EXPECT_EQ(-1, BandPassTapCache::slotIndex(12000.0));
    EXPECT_EQ(-1, BandPassTapCache::slotIndex(-5.0));
    EXPECT_EQ(-1, BandPassTapCache::slotIndex(std::nan("")));
}

TEST(BandPassTapCacheTest, OneSlotServesEveryFrequencyInItWithTheFirstDesign) {
    BandPassTapCache holder;
    const float* first = holder.getTaps(440.04, 310, 44100.0, 0.0);
    std::vector<float> firstCopy(first, first + 311);
    const float* second = holder.getTaps(440.06, 310, 48000.0, 1.0);
    EXPECT_EQ(first, second);
    EXPECT_EQ(firstCopy, std::vector<float>(second, second + 311));
    EXPECT_EQ(first, holder.cachedTaps(4400));
    EXPECT_EQ(1, holder.filledSlotCount());

    // Neighbouring slots on both sides of the fine/coarse border are distinct.
    const float* fine = holder.getTaps(999.99, 4, 44100.0, 0.0);
    const float* coarse = holder.getTaps(1000.0, 4, 44100.0, 0.0);
    EXPECT_NE(fine, coarse);
    EXPECT_EQ(fine, holder.cachedTaps(9999));
    EXPECT_EQ(coarse, holder.cachedTaps(10000));
    EXPECT_EQ(coarse, holder.getTaps(1000.9, 4, 44100.0, 0.0));
    holder.getTaps(9999.9, 4, 44100.0, 0.0);
    EXPECT_NE(nullptr, holder.cachedTaps(18999));
    EXPECT_EQ(4, holder.filledSlotCount());
}

TEST(BandPassTapCacheTest, HighFrequenciesAreDesignedAfreshWithoutFillingASlot) {
    BandPassTapCache holder;
    const float* taps = holder.getTaps(12000.0, 4, 44100.0, 0.0);
    const std::vector<float> at12000(taps, taps + 5);
    const float* other = holder.getTaps(12500.0, 4, 44100.0, 0.0);
    EXPECT_NE(at12000[1], other[1]);
    const float* again = holder.getTaps(12000.0, 4, 44100.0, 0.0);
    EXPECT_EQ(at12000, std::vector<float>(again, again + 5));
    EXPECT_FLOAT_EQ(
        static_cast<float>(2.0 * (static_cast<double>(static_cast<float>(12502.0 / 44100.0)) -
                                  static_cast<float>(12498.0 / 44100.0))),
        other[2]);
    EXPECT_EQ(0, holder.filledSlotCount());
    // Repeated uncached designs reuse one buffer owned by the holder instead of leaking one.
    testing::AllocationCounter counter;
    for (int i = 0; i < 10; ++i) {
        holder.getTaps(12000.0 + i, 4, 44100.0, 0.0);
    }
    EXPECT_EQ(0, counter.allocations());
}

TEST(BandPassTapCacheTest, FiveTapDesignAtOneKilohertz) {
    BandPassTapCache narrow;
    const float* taps = narrow.getTaps(1000.0, 4, 44100.0, 0.0);
    const double low = static_cast<float>(998.0 / 44100.0);
    const double high = static_cast<float>(1002.0 / 44100.0);
    for (int i = -2; i <= 2; ++i) {
        const double x = 2.0 * kPi * i;
        const double expected = i == 0 ? 2.0 * (high - low)
                                       : 2.0 * high * std::sin(x * high) / (x * high) -
                                             2.0 * low * std::sin(x * low) / (x * low);
        EXPECT_NEAR(expected * static_cast<float>(hann(i + 2, 5)), taps[i + 2], 1e-9) << i;
    }
    EXPECT_FLOAT_EQ(taps[0], taps[4]);
    EXPECT_FLOAT_EQ(taps[1], taps[3]);
    EXPECT_FLOAT_EQ(static_cast<float>(2.0 * (high - low)), taps[2]);

    BandPassTapCache wide;
    const float* wideTaps = wide.getTaps(1000.0, 4, 44100.0, 0.5);
    EXPECT_FLOAT_EQ(
        static_cast<float>(2.0 * (static_cast<double>(static_cast<float>(1500.0 / 44100.0)) - low)),
        wideTaps[2]);
}

TEST(BandPassTapCacheTest, LongDesignPassesItsBandAndStopsTheRest) {
    BandPassTapCache holder;
    const float* taps = holder.getTaps(441.0, 1022, 44100.0, 0.5);
    const double inBand = gainAt(taps, 1023, 550.0, 44100.0);
    EXPECT_NEAR(1.0, inBand, 0.1);
    EXPECT_LT(gainAt(taps, 1023, 200.0, 44100.0), 0.01);
    EXPECT_LT(gainAt(taps, 1023, 2000.0, 44100.0), 0.01);
}

TEST(BandPassTapCacheTest, NeverHandsOutASetOfAnotherOrder) {
    BandPassTapCache holder;
    BandPassTapCache reference;
    holder.getTaps(440.0, 310, 44100.0, 0.0);
    // A larger order than the cached set: a set with enough taps, designed for that order.
    const float* larger = holder.getTaps(440.0, 1022, 44100.0, 0.0);
    const float* expectedLarger = reference.getTaps(440.0, 1022, 44100.0, 0.0);
    EXPECT_EQ(std::vector<float>(expectedLarger, expectedLarger + 1023),
              std::vector<float>(larger, larger + 1023));
    EXPECT_EQ(1022, holder.cachedOrder(4400));
    // A smaller order: its own centred design, not the first taps of the longer set.
    BandPassTapCache referenceSmall;
    const float* smaller = holder.getTaps(440.0, 200, 44100.0, 0.0);
    const float* expectedSmaller = referenceSmall.getTaps(440.0, 200, 44100.0, 0.0);
    EXPECT_EQ(std::vector<float>(expectedSmaller, expectedSmaller + 201),
              std::vector<float>(smaller, smaller + 201));
    EXPECT_EQ(200, holder.cachedOrder(4400));
}

TEST(BandPassTapCacheTest, ClearMakesTheNextRequestDesignWithItsOwnArguments) {
    BandPassTapCache holder;
    const float narrowCentre = holder.getTaps(500.0, 100, 44100.0, 0.0)[50];
    EXPECT_FLOAT_EQ(narrowCentre, holder.getTaps(500.0, 100, 44100.0, 1.0)[50]);
    testing::AllocationCounter counter;
    holder.clear();
    EXPECT_EQ(0, counter.releases());
    EXPECT_EQ(0, holder.filledSlotCount());
    EXPECT_EQ(nullptr, holder.cachedTaps(5000));
    const float wideCentre = holder.getTaps(500.0, 100, 44100.0, 1.0)[50];
    EXPECT_FLOAT_EQ(
        static_cast<float>(2.0 * (static_cast<double>(static_cast<float>(1000.0 / 44100.0)) -
                                  static_cast<float>(498.0 / 44100.0))),
        wideCentre);
}

TEST(BandPassTapCacheTest, AFullCacheRefillsTheLeastRecentlyUsedSetForTheNewRequest) {
    BandPassTapCache holder(3, 64);
    const float* a;
    const float* b;
    const float* d;
    const float* again;
    {
        testing::AllocationCounter counter;
        a = holder.getTaps(200.0, 40, 44100.0, 0.0);
        b = holder.getTaps(300.0, 40, 44100.0, 0.0);
        holder.getTaps(400.0, 40, 44100.0, 0.0);
        holder.getTaps(200.05, 40, 48000.0, 1.0);  // a hit in the slot of 200 Hz: now most recent
        d = holder.getTaps(500.0, 40, 44100.0, 0.5);
        EXPECT_EQ(b, d);  // 300 Hz was the least recently used
        EXPECT_EQ(nullptr, holder.cachedTaps(BandPassTapCache::slotIndex(300.0)));
        EXPECT_EQ(a, holder.cachedTaps(BandPassTapCache::slotIndex(200.0)));
        EXPECT_EQ(3, holder.filledSlotCount());
        EXPECT_EQ(0, counter.allocations() + counter.releases());
    }
    // Each refilled slot holds the design of the request that refilled it, as a fresh cache would.
    BandPassTapCache fresh(1, 64);
    const float* expected = fresh.getTaps(500.0, 40, 44100.0, 0.5);
    EXPECT_EQ(std::vector<float>(expected, expected + 41), std::vector<float>(d, d + 41));
    again = holder.getTaps(300.07, 40, 48000.0, 1.0);  // takes over the set of 400 Hz
    EXPECT_EQ(nullptr, holder.cachedTaps(BandPassTapCache::slotIndex(400.0)));
    expected = fresh.getTaps(300.07, 40, 48000.0, 1.0);
    EXPECT_EQ(std::vector<float>(expected, expected + 41), std::vector<float>(again, again + 41));

    // No room for a longer set than the storage was made for.
    EXPECT_EQ(nullptr, holder.getTaps(200.0, 64, 44100.0, 0.0));
    EXPECT_NE(nullptr, holder.getTaps(200.0, 62, 44100.0, 0.0));
}

}  // namespace
}  // namespace tanuvo::sound
