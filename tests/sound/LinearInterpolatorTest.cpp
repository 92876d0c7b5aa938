#include "sound/LinearInterpolator.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace tanuvo::sound {
namespace {

const float kXs[] = {0.0f, 0.5f, 1.0f};
const float kYs[] = {10.0f, 1.0f, 0.0f};

std::string messageOf(const float* xs, const float* ys, int count) {
    LinearInterpolator interpolator;
    try {
        interpolator.setPoints(xs, ys, count);
    } catch (const char* message) {
        return message;
    }
    return "";
}

TEST(LinearInterpolatorTest, RestartingSearchEvaluatesEveryPositionFromTheFirstInterval) {
    LinearInterpolator interpolator;
    interpolator.restartSearch = true;
    interpolator.setPoints(kXs, kYs, 3);
    EXPECT_FLOAT_EQ(5.5f, interpolator.evaluate(0.25f));
    EXPECT_FLOAT_EQ(0.0f, interpolator.evaluate(1.0f));
    // A shared point belongs to the first interval that holds it.
    EXPECT_FLOAT_EQ(1.0f, interpolator.evaluate(0.5f));
    EXPECT_EQ(0, interpolator.lastInterval);
    EXPECT_FLOAT_EQ(-1.0f, interpolator.evaluate(1.5f));
    EXPECT_FLOAT_EQ(-1.0f, interpolator.evaluate(-0.1f));
    EXPECT_FLOAT_EQ(-1.0f, interpolator.evaluate(std::nanf("")));
    EXPECT_FLOAT_EQ(5.5f, interpolator.evaluate(0.25f));
}

TEST(LinearInterpolatorTest, RememberedIntervalOnlyMovesForwardUntilPointsAreSetAgain) {
    LinearInterpolator interpolator;
    interpolator.setPoints(kXs, kYs, 3);
    EXPECT_FLOAT_EQ(0.5f, interpolator.evaluate(0.75f));
    EXPECT_EQ(1, interpolator.lastInterval);
    EXPECT_FLOAT_EQ(-1.0f, interpolator.evaluate(0.25f));
    EXPECT_EQ(1, interpolator.lastInterval);
    interpolator.setPoints(kXs, kYs, 3);
    EXPECT_EQ(0, interpolator.lastInterval);
    EXPECT_FLOAT_EQ(5.5f, interpolator.evaluate(0.25f));
}

TEST(LinearInterpolatorTest, SequentialReadingFollowsTheSegments) {
    const float xs[] = {0.0f, 10.0f, 20.0f, 40.0f};
    const float ys[] = {0.0f, 1.0f, -1.0f, 1.0f};
    LinearInterpolator interpolator;
    interpolator.setPoints(xs, ys, 4);
    for (int i = 0; i <= 40; ++i) {
        float expected = i <= 10   ? i / 10.0f
                         : i <= 20 ? 1.0f - (i - 10) / 5.0f
                                   : -1.0f + (i - 20) / 10.0f;
        EXPECT_NEAR(expected, interpolator.evaluate(static_cast<float>(i)), 1e-6f) << i;
    }
}

TEST(LinearInterpolatorTest, EvaluatingAStretchEqualsEvaluatingEachPositionInTurn) {
    // Knots on and between integers, stretches starting before, inside and past the points, the
    // remembered interval carried from one stretch to the next, and restarting searches.
    std::mt19937 rng(3);
    for (int round = 0; round < 300; ++round) {
        std::vector<float> xs, ys;
        float x = static_cast<float>(static_cast<int>(rng() % 7) - 3);
        for (int k = 0; k < 2 + static_cast<int>(rng() % 12); ++k) {
            xs.push_back(x);
            ys.push_back(static_cast<float>(rng() % 2001) / 1000.0f - 1.0f);
            x += rng() % 3 == 0 ? 0.5f : static_cast<float>(1 + rng() % 9);
        }
        LinearInterpolator one, many;
        one.setPoints(xs.data(), ys.data(), static_cast<int>(xs.size()));
        many.setPoints(xs.data(), ys.data(), static_cast<int>(xs.size()));
        one.restartSearch = many.restartSearch = round % 5 == 0;
        for (int stretch = 0; stretch < 3; ++stretch) {
            const int first = static_cast<int>(rng() % 40) - 8;
            const int n = 1 + static_cast<int>(rng() % 30);
            std::vector<float> expected(n), got(n);
            for (int k = 0; k < n; ++k) {
                expected[k] = one.evaluate(static_cast<float>(first + k));
            }
            many.evaluateAt(got.data(), n, first);
            ASSERT_EQ(0, std::memcmp(expected.data(), got.data(), sizeof(float) * n)) << round;
            ASSERT_EQ(one.lastInterval, many.lastInterval) << round;
        }
    }
}

TEST(LinearInterpolatorTest, NoIntervalLeftToTryGivesZero) {
    LinearInterpolator interpolator;
    interpolator.setPoints(kXs, kYs, 3);
    interpolator.lastInterval = 2;
    EXPECT_FLOAT_EQ(0.0f, interpolator.evaluate(0.75f));
}

TEST(LinearInterpolatorTest, BadPointsThrowTheirMessagesAndStoreNothing) {
    const float repeated[] = {0.0f, 1.0f, 1.0f};
    const float falling[] = {0.0f, 2.0f, 1.0f};
    EXPECT_EQ("Invalid Interpolate Size", messageOf(kXs, kYs, 1));
    EXPECT_EQ("Invalid Interpolate Size", messageOf(kXs, kYs, 0));
    EXPECT_EQ("Invalid Interpolate Size", messageOf(nullptr, kYs, 3));
    EXPECT_EQ("x is required strict increment", messageOf(repeated, kYs, 3));
    EXPECT_EQ("x is required strict increment", messageOf(falling, kYs, 3));
    EXPECT_EQ("", messageOf(kXs, kYs, 3));

    LinearInterpolator interpolator;
    interpolator.setPoints(kXs, kYs, 3);
    interpolator.evaluate(0.75f);
    EXPECT_ANY_THROW(interpolator.setPoints(repeated, kYs, 3));
    EXPECT_EQ(kXs, interpolator.xs);
    EXPECT_EQ(1, interpolator.lastInterval);
}

}  // namespace
}  // namespace tanuvo::sound
