#include "sound/SquareWavenizer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include "sound/SineWavenizer.h"
#include "tests/sound/VoiceSignal.h"

namespace tanuvo::sound {
namespace {

using testing::kPi;
using testing::makeVoice;

constexpr double kRate = 44100.0;

std::vector<int> upwardCrossings(const std::vector<float>& v, int from, int to) {
    std::vector<int> crossings;
    for (int i = std::max(from, 1); i < to; ++i) {
        if (v[i - 1] <= 0.0f && v[i] > 0.0f) {
            crossings.push_back(i);
        }
    }
    return crossings;
}

// A sine of period 100 samples whose upward crossings fall at 10, 110, 210, ...
std::vector<float> periodHundred(int count, float amplitude = 1.0f) {
    std::vector<float> samples(count);
    for (int i = 0; i < count; ++i) {
        samples[i] = static_cast<float>(amplitude * std::sin(2.0 * kPi * (i - 9.5) / 100.0));
    }
    return samples;
}

struct Chain {
    explicit Chain(bool filter, int window = 1024)
        : sine(kRate, window, &executor, window), square(&sine) {
        sine.enabled = filter;
    }
    FIRFilterExecutorOFFT executor;
    SineWavenizer sine;
    SquareWavenizer square;
};

void expectIdealCycles(const std::vector<float>& before, const std::vector<float>& after,
                       double duty, int begin, int end) {
    const std::vector<int> crossings = upwardCrossings(before, begin, end);
    ASSERT_GE(crossings.size(), 2u);
    for (size_t c = 1; c < crossings.size(); ++c) {
        const int start = crossings[c - 1];
        const int stop = crossings[c];
        const float max = *std::max_element(before.begin() + start, before.begin() + stop);
        const float min =
            std::min(0.0f, *std::min_element(before.begin() + start, before.begin() + stop));
        const int high = static_cast<int>((stop - start) * duty);
        for (int i = start; i < stop; ++i) {
            const float expected = before[i] == 0.0f ? 0.0f : (i < start + high ? max : min);
            ASSERT_EQ(expected, after[i]) << "cycle at " << start << ", sample " << i;
        }
    }
}

TEST(SquareWavenizerTest, IdealSquareHoldsTheCycleMaximumForTheDutyThenItsMinimum) {
    Chain chain(false, 512);
    chain.square.tone = 0.0;
    std::vector<float> input = periodHundred(512, 0.7f);
    input[180] = 0.0f;  // an exact zero in a low half stays zero
    std::vector<float> buffer = input;
    chain.square.wavenize(buffer.data(), 512, 441.0);
    expectIdealCycles(input, buffer, 0.25, 0, 512);
    EXPECT_EQ(0.0f, buffer[180]);
    // The head has no previous cycle yet: its levels are the zero start values.
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(0.0f, buffer[i]) << i;
    }
    EXPECT_EQ(510, chain.square.lastCrossing);
    EXPECT_EQ(*std::max_element(input.begin() + 410, input.begin() + 510), chain.square.lastMax);
}

TEST(SquareWavenizerTest, FewerThanTwoCrossingsKeepTheSineAndTheCarriedState) {
    Chain chain(false, 256);
    std::vector<float> input(256);
    for (int i = 0; i < 256; ++i) {
        input[i] = static_cast<float>(std::sin(2.0 * kPi * i / 400.0 - 0.3));
    }
    std::vector<float> buffer = input;
    chain.square.wavenize(buffer.data(), 256, 110.0);
    EXPECT_EQ(input, buffer);
    EXPECT_EQ(0, chain.square.lastCrossing);
    EXPECT_TRUE(chain.square.edgeShape.empty());
}

TEST(SquareWavenizerTest, NearSilenceKeepsTheSineOnTheTonedPath) {
    Chain chain(false, 512);
    std::vector<float> input = periodHundred(512, 1.0e-8f);
    std::vector<float> buffer = input;
    chain.square.wavenize(buffer.data(), 512, 441.0);
    EXPECT_EQ(input, buffer);
}

TEST(SquareWavenizerTest, TonedSquareMovesTheFallingEdgeToTheDutyRatio) {
    for (double duty : {0.25, 0.5, 0.7}) {
        Chain chain(false, 512);
        chain.square.tone = 5.0;
        chain.square.dutyRatio = duty;
        const std::vector<float> input = periodHundred(512);
        std::vector<float> buffer = input;
        chain.square.wavenize(buffer.data(), 512, 441.0);
        // The rising edges stay where the input crosses zero upward.
        EXPECT_EQ(upwardCrossings(input, 0, 512), upwardCrossings(buffer, 0, 512)) << duty;
        for (int start = 10; start + 100 <= 512; start += 100) {
            int firstNegative = -1;
            for (int i = start; i < start + 100; ++i) {
                ASSERT_LE(std::fabs(buffer[i]), 1.0f);
                if (firstNegative < 0 && buffer[i] < 0.0f) {
                    firstNegative = i;
                }
            }
            EXPECT_EQ(start + static_cast<int>(100 * duty), firstNegative) << duty;
            // Clipping makes most of the cycle sit on its two levels.
            const float max = *std::max_element(input.begin() + start, input.begin() + start + 100);
            const int atLevels =
                static_cast<int>(std::count_if(buffer.begin() + start, buffer.begin() + start + 100,
                                               [max](float v) { return std::fabs(v) == max; }));
            EXPECT_GT(atLevels, 80) << duty;
        }
        EXPECT_FALSE(chain.square.edgeShape.empty());
    }
}

TEST(SquareWavenizerTest, HeadContinuesTheCycleOfThePreviousCallWithTheCarriedEdge) {
    Chain chain(false, 256);
    chain.square.tone = 5.0;
    chain.square.dutyRatio = 0.6;
    const std::vector<float> input = periodHundred(512);
    std::vector<float> first(input.begin(), input.begin() + 256);
    chain.square.wavenize(first.data(), 256, 441.0);
    EXPECT_EQ(210, chain.square.lastCrossing);
    std::vector<float> second(input.begin() + 256, input.end());
    chain.square.wavenize(second.data(), 256, 441.0);
    // The head cycle began 46 samples before this buffer, so 60% of it ends at sample 14.
    int firstNegative = -1;
    for (int i = 0; i < 54 && firstNegative < 0; ++i) {
        if (second[i] < 0.0f) {
            firstNegative = i;
        }
    }
    EXPECT_EQ(14, firstNegative);
    EXPECT_EQ(254, chain.square.lastCrossing);
}

TEST(SquareWavenizerTest, DegenerateSegmentsNeverWriteOutsideTheBuffer) {
    std::mt19937 generator(7);
    std::uniform_real_distribution<float> level(-1.0f, 1.0f);
    std::uniform_int_distribution<int> shape(0, 3);
    for (int trial = 0; trial < 200; ++trial) {
        Chain chain(false, 300);
        chain.square.tone = trial % 4 == 0 ? 0.0 : 1.5 + trial % 13;
        chain.square.dutyRatio = 0.01 + (trial % 7) * 0.16;
        for (int call = 0; call < 3; ++call) {
            const int length = 2 + (trial * 37 + call * 11) % 298;
            std::vector<float> guarded(length + 64, 1234.5f);
            float* buffer = guarded.data() + 32;
            for (int i = 0; i < length; ++i) {
                // Mix noise, exact zeros, cycles without a negative sample and long plateaus.
                switch (shape(generator)) {
                    case 0:
                        buffer[i] = level(generator);
                        break;
                    case 1:
                        buffer[i] = 0.0f;
                        break;
                    case 2:
                        buffer[i] = i % 9 < 5 ? 0.5f : 0.0f;
                        break;
                    default:
                        buffer[i] = i % 23 < 3 ? -0.25f : 1.0f;
                        break;
                }
            }
            chain.square.wavenize(buffer, length, 441.0);
            for (int i = 0; i < 32; ++i) {
                ASSERT_EQ(1234.5f, guarded[i]) << trial;
                ASSERT_EQ(1234.5f, guarded[32 + length + i]) << trial;
            }
            for (int i = 0; i < length; ++i) {
                ASSERT_TRUE(std::isfinite(buffer[i])) << trial;
            }
        }
    }
}

TEST(SquareWavenizerTest, TurnsAVoiceIntoTwoLevelCyclesAtItsPitch) {
    Chain chain(true, 1024);
    chain.square.tone = 0.0;
    chain.sine.widthRatio = 0.5;
    const std::vector<float> voice = makeVoice(220.0, kRate, 4096);
    for (int start = 0; start < 4096; start += 1024) {
        std::vector<float> sine(voice.begin() + start, voice.begin() + start + 1024);
        std::vector<float> square = sine;
        chain.square.wavenize(square.data(), 1024, 220.0);
        if (start == 0) {
            continue;
        }
        const std::vector<int> crossings = upwardCrossings(square, 0, 1024);
        ASSERT_GE(crossings.size(), 4u);
        // Cycles last about one pitch period and sit on two levels, high for about a quarter.
        for (size_t c = 1; c < crossings.size(); ++c) {
            const int length = crossings[c] - crossings[c - 1];
            EXPECT_NEAR(kRate / 220.0, length, 8.0);
            int high = 0;
            for (int i = crossings[c - 1]; i < crossings[c]; ++i) {
                high += square[i] > 0.0f ? 1 : 0;
            }
            EXPECT_EQ(static_cast<int>(length * 0.25), high);
        }
    }
}

}  // namespace
}  // namespace tanuvo::sound
