#include "sound/SawWavenizer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "sound/SineWavenizer.h"
#include "tests/sound/VoiceSignal.h"

namespace tanuvo::sound {
namespace {

using testing::makeVoice;

constexpr double kRate = 44100.0;

struct Chain {
    Chain(bool filter, int window) : sine(kRate, window, &executor, window), saw(&sine) {
        sine.enabled = filter;
    }
    FIRFilterExecutorOFFT executor;
    SineWavenizer sine;
    SawWavenizer saw;
};

// Upward crossings at 10, 110 and 210; the cycles peak at 0.8 and 0.6.
std::vector<float> threeCrossings() {
    std::vector<float> samples(256);
    for (int i = 0; i < 256; ++i) {
        const int phase = (i - 10 + 100) % 100;
        const bool high = phase < 50 && i >= 10;
        const float peak = i < 110 ? 0.8f : 0.6f;
        samples[i] = high ? (phase == 25 ? peak : 0.3f) : -0.4f;
    }
    return samples;
}

float line(float x0, float y0, float x1, float y1, float x) {
    return (x - x0) / (x1 - x0) * (y1 - y0) + y0;
}

TEST(SawWavenizerTest, RampsBetweenPointsAroundEachCrossing) {
    Chain chain(false, 256);
    std::vector<float> buffer = threeCrossings();
    chain.saw.wavenize(buffer.data(), 256, 441.0);
    // Points 0, 9, 11, 109, 111, 209, 211 and the predicted crossing at 309.
    const float xs[] = {0, 9, 11, 109, 111, 209, 211, 309};
    const float ys[] = {0.0f, -0.8f, 0.8f, -0.6f, 0.6f, -0.6f, 0.6f, -0.6f};
    for (int i = 0; i < 256; ++i) {
        int k = 0;
        while (!(xs[k] <= i && i <= xs[k + 1])) {
            ++k;
        }
        ASSERT_NEAR(line(xs[k], ys[k], xs[k + 1], ys[k + 1], static_cast<float>(i)), buffer[i],
                    1e-6f)
            << i;
    }
    EXPECT_EQ(46, chain.saw.carryOffset);
    EXPECT_FLOAT_EQ(0.6f, chain.saw.carryAmplitude);
}

TEST(SawWavenizerTest, NextCallContinuesTheRampThatBeganBeforeIt) {
    Chain chain(false, 256);
    std::vector<float> first = threeCrossings();
    chain.saw.wavenize(first.data(), 256, 441.0);
    // The next buffer crosses at 54, 154 and 254, after the crossing 46 samples before it.
    std::vector<float> second(256);
    for (int i = 0; i < 256; ++i) {
        const int phase = (i + 46) % 100;
        second[i] = phase < 50 ? (phase == 25 ? 0.5f : 0.3f) : -0.4f;
    }
    chain.saw.wavenize(second.data(), 256, 441.0);
    // Positions count from that crossing: points (0, 0.6 carried), (46 + 53, -0.5),
    // (46 + 55, 0.5), ...; sample i reads position i + 46.
    EXPECT_NEAR(line(0.0f, 0.6f, 99.0f, -0.5f, 46.0f), second[0], 1e-6f);
    EXPECT_NEAR(line(0.0f, 0.6f, 99.0f, -0.5f, 46.0f + 30.0f), second[30], 1e-6f);
    EXPECT_NEAR(0.0f, second[54], 1e-6f);
    EXPECT_NEAR(0.5f, second[55], 1e-6f);
    EXPECT_EQ(256 - 254, chain.saw.carryOffset);
    EXPECT_FLOAT_EQ(0.5f, chain.saw.carryAmplitude);
}

TEST(SawWavenizerTest, FewerThanTwoCrossingsKeepTheSineAndTheCarriedState) {
    Chain chain(false, 128);
    std::vector<float> input(128, -0.5f);
    for (int i = 60; i < 128; ++i) {
        input[i] = 0.5f;
    }
    std::vector<float> buffer = input;
    chain.saw.wavenize(buffer.data(), 128, 441.0);
    EXPECT_EQ(input, buffer);
    EXPECT_EQ(0, chain.saw.carryOffset);
    EXPECT_EQ(0.0f, chain.saw.carryAmplitude);
}

TEST(SawWavenizerTest, CrossingsTwoSamplesApartNeverGiveRepeatedPoints) {
    Chain chain(false, 16);
    std::vector<float> buffer = {-1, 1, -1, 1, -1, 1, -1, 1, -1, 1, -1, 1, -1, 1, -1, 1};
    EXPECT_NO_THROW(chain.saw.wavenize(buffer.data(), 16, 441.0));
    for (float value : buffer) {
        EXPECT_TRUE(std::isfinite(value));
    }
}

TEST(SawWavenizerTest, TurnsAVoiceIntoFallingRampsAtItsPitch) {
    Chain chain(true, 1024);
    chain.sine.widthRatio = 0.5;
    const std::vector<float> buffer = testing::shapedVoice(chain.saw);
    // Between jumps the wave only falls, and it jumps up about once per pitch period.
    int jumps = 0;
    for (int i = 1; i < 1024; ++i) {
        if (buffer[i] > buffer[i - 1]) {
            ++jumps;
        }
    }
    const double periods = 1024 / (kRate / 220.0);
    EXPECT_NEAR(2.0 * periods, jumps, 3.0);  // each jump spans two samples
    EXPECT_GT(*std::max_element(buffer.begin(), buffer.end()), 0.01f);
}

}  // namespace
}  // namespace tanuvo::sound
