#include "sound/PartitionedFilter.h"
#include "tests/sound/VoiceSignal.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

namespace tanuvo::sound {
namespace {

// Block after block against the filter's direct sum, for orders around the partition boundaries,
// block lengths that are and are not powers of two, and a restart in the middle.
TEST(PartitionedFilterTest, ConsecutiveBlocksMatchTheDirectSum) {
    std::mt19937 rng(23);
    for (int block : {1, 3, 32, 100, 128}) {
        for (int order : {1, block - 1, block, block + 1, 5 * block + 7, 700}) {
            if (order < 1) {
                continue;
            }
            SCOPED_TRACE(::testing::Message() << "block " << block << ", order " << order);
            const std::vector<float> taps = testing::randomSamples(order, rng);
            const std::vector<float> x = testing::randomSamples(6000, rng);
            PartitionedFilter filter(block, 1024);
            const int history = order + 4 * block + 256;
            ASSERT_TRUE(filter.fits(order, history));
            int end = history;
            filter.load(taps.data(), order, x.data() + end, history);
            std::vector<float> out(block);
            double worst = 0.0;
            for (int round = 0; round < 12 && end + block <= static_cast<int>(x.size()); ++round) {
                if (round == 6) {
                    end += 3 * block + 1;  // a jump, then a fresh start from there
                    filter.load(taps.data(), order, x.data() + end, history);
                }
                end += block;
                filter.next(out.data(), x.data() + end);
                for (int j = 0; j < block; ++j) {
                    double direct = 0.0;
                    for (int k = 0; k < order; ++k) {
                        direct += static_cast<double>(taps[k]) * x[end - block + j - k];
                    }
                    worst = std::fmax(worst, std::fabs(direct - out[j]));
                }
            }
            // Float outputs of sums of up to 700 products of magnitude below one.
            EXPECT_LT(worst, 1e-5);
        }
    }
}

TEST(PartitionedFilterTest, FitsOnlyFiltersItHasRoomForAndInputItCanReach) {
    PartitionedFilter filter(32, 1024);
    EXPECT_FALSE(filter.fits(0, 5000));
    EXPECT_TRUE(filter.fits(1024, 5000));
    EXPECT_FALSE(filter.fits(1025, 5000));
    // 22 partitions of 32 taps reach back 21 blocks and one transform of 64 samples.
    EXPECT_TRUE(filter.fits(700, 21 * 32 + 64));
    EXPECT_FALSE(filter.fits(700, 21 * 32 + 63));
}

}  // namespace
}  // namespace tanuvo::sound
