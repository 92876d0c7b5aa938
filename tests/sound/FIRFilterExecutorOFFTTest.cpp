#include "sound/FIRFilterExecutorOFFT.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "tests/support/AllocationCounter.h"
#include "tests/sound/VoiceSignal.h"

namespace tanuvo::sound {
namespace {

using testing::randomSamples;

std::vector<float> directConvolution(const std::vector<float>& input, int length,
                                     const std::vector<float>& taps, int tapCount) {
    std::vector<float> output(length);
    for (int j = 0; j < length; ++j) {
        double sum = 0.0;
        for (int k = 0; k < tapCount; ++k) {
            sum += static_cast<double>(taps[k]) * input[tapCount + j - k];
        }
        output[j] = static_cast<float>(sum);
    }
    return output;
}

TEST(FIRFilterExecutorOFFTTest, MatchesDirectConvolutionForManyShapes) {
    FIRFilterExecutorOFFT executor;
    const int shapes[][2] = {{1024, 1022}, {1024, 310}, {256, 3}, {1, 1}, {7, 9}, {1000, 1}};
    unsigned seed = 1;
    for (const auto& shape : shapes) {
        const int length = shape[0];
        const int tapCount = shape[1];
        const std::vector<float> input = randomSamples(length + tapCount, seed++);
        const std::vector<float> taps = randomSamples(tapCount, seed++);
        std::vector<float> output(length, 99.0f);
        executor.execute(output.data(), input.data(), length, tapCount, taps.data());
        const std::vector<float> expected = directConvolution(input, length, taps, tapCount);
        for (int j = 0; j < length; ++j) {
            ASSERT_NEAR(expected[j], output[j], 2e-4) << length << "/" << tapCount << " at " << j;
        }
    }
}

TEST(FIRFilterExecutorOFFTTest, KeptTapTransformFollowsEveryChangeOfTheTaps) {
    // The same taps again, others, the first again, fewer of them, a longer transform, and new
    // values in the same array: each call must filter with exactly the taps it passes.
    FIRFilterExecutorOFFT executor(2048);
    const std::vector<float> input = randomSamples(1400, 5);
    std::vector<float> a = randomSamples(300, 6);
    const std::vector<float> b = randomSamples(300, 7);
    const std::vector<float>* tapSets[] = {&a, &a, &b, &a, &a, &a, &a};
    const int counts[] = {300, 300, 300, 300, 299, 299, 299};
    const int lengths[] = {600, 600, 600, 600, 600, 1100, 600};
    for (int call = 0; call < 7; ++call) {
        if (call == 6) {
            a[17] += 0.5f;
        }
        const std::vector<float>& taps = *tapSets[call];
        std::vector<float> output(lengths[call]);
        executor.execute(output.data(), input.data(), lengths[call], counts[call], taps.data());
        const std::vector<float> expected =
            directConvolution(input, lengths[call], taps, counts[call]);
        for (int j = 0; j < lengths[call]; ++j) {
            ASSERT_NEAR(expected[j], output[j], 1e-4) << "call " << call << ", sample " << j;
        }
    }
}

TEST(FIRFilterExecutorOFFTTest, UnitAndDelayTaps) {
    FIRFilterExecutorOFFT executor;
    const std::vector<float> input = {0.5f, 1.0f, -2.0f, 3.0f, 0.25f};
    std::vector<float> output(4);
    const float unit[] = {1.0f};
    executor.execute(output.data(), input.data(), 4, 1, unit);
    for (int j = 0; j < 4; ++j) {
        EXPECT_NEAR(input[1 + j], output[j], 1e-6) << j;
    }
    const float delay[] = {0.0f, 1.0f};
    std::vector<float> delayed(3);
    executor.execute(delayed.data(), input.data(), 3, 2, delay);
    EXPECT_NEAR(1.0f, delayed[0], 1e-6);
    EXPECT_NEAR(-2.0f, delayed[1], 1e-6);
    EXPECT_NEAR(3.0f, delayed[2], 1e-6);
}

TEST(FIRFilterExecutorOFFTTest, NoTapsGiveSilence) {
    FIRFilterExecutorOFFT executor;
    const std::vector<float> input = randomSamples(64, 3);
    std::vector<float> output(64, 5.0f);
    executor.execute(output.data(), input.data(), 64, 0, nullptr);
    EXPECT_EQ(std::vector<float>(64, 0.0f), output);
    executor.execute(output.data(), input.data(), 0, 3, input.data());
    executor.execute(output.data(), input.data(), -4, 3, input.data());
}

TEST(FIRFilterExecutorOFFTTest, ReservedWorkAreaServesEveryShorterCallWithoutAllocating) {
    FIRFilterExecutorOFFT executor(2 * 1024);
    EXPECT_EQ(2048, executor.transformLength());
    const std::vector<float> input = randomSamples(4096, 4);
    const std::vector<float> taps = randomSamples(1022, 5);
    std::vector<float> output(1024);
    {
        testing::AllocationCounter counter;
        executor.execute(output.data(), input.data(), 1024, 1022, taps.data());
        executor.execute(output.data(), input.data(), 3, 1, taps.data());
        executor.execute(output.data(), input.data(), 256, 10, taps.data());
        EXPECT_EQ(0, counter.allocations());
    }
    // The long tables give the short transform exactly what tables of its own length give.
    FIRFilterExecutorOFFT own(256 + 10);
    EXPECT_EQ(512, own.transformLength());
    std::vector<float> ownOutput(256);
    own.execute(ownOutput.data(), input.data(), 256, 10, taps.data());
    EXPECT_EQ(ownOutput, std::vector<float>(output.begin(), output.begin() + 256));
    const std::vector<float> expected =
        directConvolution(input, 256, std::vector<float>(taps.begin(), taps.begin() + 10), 10);
    for (int j = 0; j < 256; ++j) {
        ASSERT_NEAR(expected[j], output[j], 1e-4) << j;
    }
    // A call longer than reserved still gets a correct answer.
    own.execute(output.data(), input.data(), 1024, 1022, taps.data());
    EXPECT_EQ(2048, own.transformLength());
    const std::vector<float> longExpected = directConvolution(input, 1024, taps, 1022);
    for (int j = 0; j < 1024; ++j) {
        ASSERT_NEAR(longExpected[j], output[j], 1e-4) << j;
    }
}

}  // namespace
}  // namespace tanuvo::sound
