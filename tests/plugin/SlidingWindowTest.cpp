#include "plugin/SlidingWindow.h"

#include <gtest/gtest.h>

#include <limits>
#include <vector>

using tanuvo::sound::vst::SlidingWindow;

TEST(SlidingWindow, AppendShiftsInHopSamplesAndRefreshesWork) {
    SlidingWindow window(256);
    EXPECT_EQ(window.hop, 256);
    EXPECT_EQ(window.length, 1024);
    std::vector<float> block(256);
    for (int round = 0; round < 5; ++round) {
        for (int i = 0; i < 256; ++i) {
            block[i] = static_cast<float>(round * 256 + i);
        }
        window.append(block.data(), 256);
    }
    // The last four blocks, oldest first.
    for (int i = 0; i < 1024; ++i) {
        ASSERT_EQ(window.history[i], static_cast<float>(256 + i));
    }
    EXPECT_EQ(window.work, window.history);
    // The generator may overwrite work; history stays the true input.
    window.work[1023] = -1.0f;
    EXPECT_EQ(window.history[1023], 1279.0f);
}

TEST(SlidingWindow, HopIsLimitedAndShortBlocksAppendOnlyWhatTheyHold) {
    EXPECT_EQ(SlidingWindow(4096).hop, 1024);
    SlidingWindow window(256);
    float three[] = {1.0f, 2.0f, 3.0f};
    window.append(three, 3);
    EXPECT_EQ(window.history[1021], 1.0f);
    EXPECT_EQ(window.history[1023], 3.0f);
    EXPECT_EQ(window.history[1020], 0.0f);

    // Non-finite samples enter as silence: with small host blocks one NaN would otherwise spoil
    // every window it stays in.
    const float bad[] = {1.0f, std::numeric_limits<float>::quiet_NaN(),
                         std::numeric_limits<float>::infinity(),
                         -std::numeric_limits<float>::infinity()};
    window.append(bad, 4);
    EXPECT_EQ(window.work[1020], 1.0f);
    for (int i = 1021; i < 1024; ++i) {
        EXPECT_EQ(window.work[i], 0.0f) << i;
        EXPECT_EQ(window.history[i], 0.0f) << i;
    }
}
