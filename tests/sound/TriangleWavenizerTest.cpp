#include "sound/TriangleWavenizer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <vector>

#include "sound/SineWavenizer.h"
#include "tests/sound/VoiceSignal.h"

namespace tanuvo::sound {
namespace {

using testing::kPi;
using testing::makeVoice;

constexpr double kRate = 44100.0;

struct Chain {
    Chain(bool filter, int window, int steps)
        : sine(kRate, window, &executor, window), triangle(&sine, steps) {
        sine.enabled = filter;
    }
    FIRFilterExecutorOFFT executor;
    SineWavenizer sine;
    TriangleWavenizer triangle;
};

std::vector<float> periodHundred(int count) {
    std::vector<float> samples(count);
    for (int i = 0; i < count; ++i) {
        samples[i] = static_cast<float>(0.8 * std::sin(2.0 * kPi * (i - 9.5) / 100.0));
    }
    return samples;
}

TEST(TriangleWavenizerTest, HalfCycleAcrossZeroDropsToFourteenStairsOverHundredSamples) {
    std::vector<float> buffer(100, 7.0f);
    TriangleWavenizer::stepSegment(buffer.data(), 0, 100, 0.5f, -0.5f, 15);
    for (int i = 0; i < 100; ++i) {
        const int stair = std::min(i / 7, 14);
        EXPECT_NEAR(0.5f - stair / 14.0f, buffer[i], 1e-5f) << i;
    }
    EXPECT_NEAR(-0.5f, buffer[98], 1e-5f);
}

TEST(TriangleWavenizerTest, HalfCycleOverNinetySamplesMakesFifteenLevelsOfSix) {
    std::vector<float> buffer(90, 7.0f);
    TriangleWavenizer::stepSegment(buffer.data(), 0, 90, 0.5f, -0.5f, 15);
    for (int i = 0; i < 90; ++i) {
        EXPECT_NEAR(0.5f - (i / 6) / 15.0f, buffer[i], 1e-5f) << i;
    }
    EXPECT_NEAR(-0.5f + 1.0f / 15.0f, buffer[89], 1e-5f);
}

TEST(TriangleWavenizerTest, OneSidedSegmentsUseHalfTheStairsAndShortOnesAreKept) {
    std::vector<float> buffer(40, 7.0f);
    // Both ends positive: 15 / 2 = 7 stairs of 0.6 / 7 upward, 40 = 7 * 5 + 5 samples.
    TriangleWavenizer::stepSegment(buffer.data(), 0, 40, 0.2f, 0.8f, 15);
    for (int i = 0; i < 40; ++i) {
        EXPECT_NEAR(0.2f + std::min(i / 5, 7) * (0.6f / 7.0f), buffer[i], 1e-5f) << i;
    }
    std::vector<float> shortSegment = {0.1f, 0.2f, 0.3f};
    TriangleWavenizer::stepSegment(shortSegment.data(), 0, 3, 0.1f, -0.3f, 15);
    EXPECT_EQ((std::vector<float>{0.1f, 0.2f, 0.3f}), shortSegment);
}

TEST(TriangleWavenizerTest, SmoothTriangleJoinsTheExtremesByStraightLines) {
    for (int steps : {0, 1}) {
        Chain chain(false, 512, steps);
        const std::vector<float> input = periodHundred(512);
        std::vector<float> buffer = input;
        chain.triangle.wavenize(buffer.data(), 512, 441.0);
        // Knots: 0, each half-cycle's extreme, and the last sample.
        std::vector<int> knots = {0};
        for (int start = 10; start < 512; start += 50) {
            const int end = std::min(start + 50, 512);
            auto extreme = input[start] > 0.0f
                               ? std::max_element(input.begin() + start, input.begin() + end)
                               : std::min_element(input.begin() + start, input.begin() + end);
            knots.push_back(static_cast<int>(extreme - input.begin()));
        }
        if (knots.back() != 511) {
            knots.push_back(511);
        }
        for (size_t k = 1; k < knots.size(); ++k) {
            const int a = knots[k - 1];
            const int b = knots[k];
            for (int i = a; i <= b; ++i) {
                const float expected = input[a] + (input[b] - input[a]) * (i - a) / (b - a);
                ASSERT_NEAR(expected, buffer[i], 1e-5f) << steps << " at " << i;
            }
        }
    }
}

TEST(TriangleWavenizerTest, SmoothTriangleWithItsLastPeakOnTheLastButOneSampleEndsOnTheSine) {
    Chain chain(false, 512, 0);
    std::vector<float> input(512);
    for (int i = 0; i < 512; ++i) {
        input[i] = static_cast<float>(0.8 * std::sin(2.0 * kPi * (i - 485) / 100.0));  // peak 510
    }
    std::vector<float> buffer = input;
    chain.triangle.wavenize(buffer.data(), 512, 441.0);
    EXPECT_EQ(buffer[510], input[510]);
    EXPECT_EQ(buffer[511], input[511]);
}

TEST(TriangleWavenizerTest, SmoothTriangleWithFewerThanTwoExtremesKeepsTheSine) {
    Chain chain(false, 64, 0);
    std::vector<float> input(64);
    for (int i = 0; i < 64; ++i) {
        input[i] = 0.1f + i * 0.01f;
    }
    std::vector<float> buffer = input;
    chain.triangle.wavenize(buffer.data(), 64, 441.0);
    EXPECT_EQ(input, buffer);
}

TEST(TriangleWavenizerTest, SteppedTriangleClimbsInStairsBetweenExtremes) {
    Chain chain(false, 512, 10);
    const std::vector<float> input = periodHundred(512);
    std::vector<float> buffer = input;
    chain.triangle.wavenize(buffer.data(), 512, 441.0);
    // Between a peak and the next trough (50 samples, across zero) ten stairs of five samples.
    const int peak = static_cast<int>(std::max_element(input.begin() + 110, input.begin() + 160) -
                                      input.begin());
    const float top = input[peak];
    const float bottom = *std::min_element(input.begin() + 160, input.begin() + 210);
    const float stair = (std::fabs(top) + std::fabs(bottom)) / 10.0f;
    for (int i = peak; i < peak + 50; ++i) {
        EXPECT_NEAR(top - ((i - peak) / 5) * stair, buffer[i], 1e-5f) << i;
    }
}

TEST(TriangleWavenizerTest, TurnsAVoiceIntoStairsOfFewLevelsPerHalfCycle) {
    Chain chain(true, 1024, 8);
    chain.sine.widthRatio = 0.5;
    const std::vector<float> buffer = testing::shapedVoice(chain.triangle);
    // About 100 samples per half-cycle on at most 9 levels: long runs of equal samples.
    int changes = 0;
    for (int i = 1; i < 1024; ++i) {
        changes += buffer[i] != buffer[i - 1] ? 1 : 0;
    }
    EXPECT_GT(changes, 50);
    EXPECT_LT(changes, 1024 / 8);
    const float peak = *std::max_element(buffer.begin(), buffer.end());
    EXPECT_GT(peak, 0.01f);
}

}  // namespace
}  // namespace tanuvo::sound
