#include "sound/NoiseWavenizer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "sound/SineWavenizer.h"
#include "tests/sound/VoiceSignal.h"

namespace tanuvo::sound {
namespace {

using testing::kPi;
using testing::makeVoice;

constexpr double kRate = 44100.0;
// A clock rate so high that the register is clocked on every sample once phase is positive.
constexpr double kEverySample = 1.0e9;

NoiseSource freshSource(double phaseStep = 1.0) {
    return NoiseSource(0x8000, 0, phaseStep, 0.0);
}

// A noise generator on an unfiltered sine of one window.
struct Unfiltered {
    Unfiltered(int window, bool shortMode)
        : sine(kRate, window, &executor, window), noise(&sine, &source, shortMode) {
        sine.enabled = false;
    }
    NoiseSource source = freshSource(100.0 / kRate);
    FIRFilterExecutorOFFT executor;
    SineWavenizer sine;
    NoiseWavenizer noise;
};

// Register states after each clock, starting from 0x8000.
std::vector<int> clockStates(bool shortMode, int clocks) {
    NoiseSource source = freshSource();
    NoiseWavenizer noise(nullptr, &source, shortMode);
    std::vector<float> buffer(clocks + 1);
    std::vector<int> states;
    for (int i = 0; i <= clocks; ++i) {
        noise.noiseSegment(buffer.data(), i, i + 1, -1.0f, 1.0f, kEverySample);
        states.push_back(source.shiftRegister);
    }
    states.erase(states.begin());  // the first sample only starts the clock phase
    return states;
}

int cycleLength(const std::vector<int>& states) {
    for (size_t k = 1; k < states.size(); ++k) {
        if (states[k] == states[0]) {
            return static_cast<int>(k);
        }
    }
    return -1;
}

TEST(NoiseWavenizerTest, RegisterGivesMinusOneForFourteenClocksThenPlusOne) {
    for (bool shortMode : {false, true}) {
        NoiseSource source = freshSource();
        NoiseWavenizer noise(nullptr, &source, shortMode);
        std::vector<float> buffer(16, 9.0f);
        noise.noiseSegment(buffer.data(), 0, 16, -0.25f, 0.5f, kEverySample);
        // Before the first clock the level is 0; then 14 clocks of -1 and +1 at the 15th.
        EXPECT_EQ(0.0f, buffer[0]);
        for (int i = 1; i <= 14; ++i) {
            EXPECT_EQ(-0.5f, buffer[i]) << i;
        }
        EXPECT_EQ(0.5f, buffer[15]);
        EXPECT_EQ(1, source.output);
    }
}

TEST(NoiseWavenizerTest, LongAndShortModesCycleThrough32767And93States) {
    EXPECT_EQ(32767, cycleLength(clockStates(false, 70000)));
    EXPECT_EQ(93, cycleLength(clockStates(true, 400)));
}

TEST(NoiseWavenizerTest, ClockFollowsTwentyFiveTimesThePitch) {
    NoiseSource source = freshSource(100.0 / kRate);
    NoiseWavenizer noise(nullptr, &source, false);
    // At 441 Hz the threshold is 4 / 441, so a clock every 0.04 * 44100 / 441 = 4 samples.
    std::vector<float> buffer(4000);
    const int before = source.shiftRegister;
    noise.noiseSegment(buffer.data(), 0, 4000, -1.0f, 1.0f, 0.5 * 441.0);
    int clocks = 0;
    NoiseSource replay = freshSource();
    while (replay.shiftRegister != source.shiftRegister && clocks < 40000) {
        const int shifted = replay.shiftRegister >> 1;
        replay.shiftRegister = shifted | ((((shifted >> 1) ^ shifted) & 1) << 15);
        ++clocks;
    }
    EXPECT_NE(before, source.shiftRegister);
    EXPECT_NEAR(1000, clocks, 2);
}

// Clocks of the register over a run of samples at one pitch (each clock changes its state).
int countClocks(NoiseSource& source, double frequency, int samples) {
    NoiseWavenizer noise(nullptr, &source, false);
    float sample = 0.0f;
    int clocks = 0;
    for (int i = 0; i < samples; ++i) {
        const int before = source.shiftRegister;
        noise.noiseSegment(&sample, 0, 1, -1.0f, 1.0f, noise.clockRatio * frequency);
        clocks += source.shiftRegister != before;
    }
    return clocks;
}

TEST(NoiseWavenizerTest, ClockKeepsNoBacklogFromPitchesAboveItsRate) {
    // At 8 kHz a 1000 Hz note asks for 25000 clocks a second; the register clocks on every
    // sample, and the note that follows is clocked at its own rate at once.
    NoiseSource source = freshSource(100.0 / 8000.0);
    EXPECT_NEAR(countClocks(source, 1000.0, 8000), 8000, 1);
    EXPECT_NEAR(countClocks(source, 200.0, 8000), 5000, 2);
    // Where every pitch the detector reports (up to 1500 Hz) is below the clock's limit, the
    // clock runs at exactly 25 times the pitch.
    for (double rate : {44100.0, 48000.0}) {
        for (double frequency : {1500.0, 441.0, 65.0}) {
            NoiseSource steady = freshSource(100.0 / rate);
            EXPECT_NEAR(countClocks(steady, frequency, int(rate)), 25.0 * frequency, 1.0)
                << rate << " " << frequency;
        }
    }
    // There an upward step keeps the phase a low note left: a 65 Hz note's threshold of
    // 4/65 holds about 23 thresholds of 1500 Hz, worked off one a sample after the step.
    NoiseSource stepped = freshSource(100.0 / kRate);
    countClocks(stepped, 65.0, 4410);
    const double left = stepped.phase;
    EXPECT_EQ(countClocks(stepped, 1500.0, 10), 10);
    EXPECT_GT(left, 10.0 * 4.0 / 1500.0);
}

TEST(NoiseWavenizerTest, BothGeneratorsShareOneRegisterAndClock) {
    NoiseSource shared = freshSource();
    NoiseWavenizer first(nullptr, &shared, false);
    NoiseWavenizer second(nullptr, &shared, false);
    std::vector<float> split(40);
    first.noiseSegment(split.data(), 0, 20, -1.0f, 1.0f, kEverySample);
    second.noiseSegment(split.data(), 20, 40, -1.0f, 1.0f, kEverySample);

    NoiseSource alone = freshSource();
    NoiseWavenizer single(nullptr, &alone, false);
    std::vector<float> whole(40);
    single.noiseSegment(whole.data(), 0, 40, -1.0f, 1.0f, kEverySample);
    EXPECT_EQ(whole, split);
    EXPECT_EQ(alone.shiftRegister, shared.shiftRegister);
}

TEST(NoiseWavenizerTest, EachCycleIsNoiseAtThatCyclesAmplitude) {
    Unfiltered rig(512, true);
    NoiseWavenizer& noise = rig.noise;
    std::vector<float> input(512);
    for (int i = 0; i < 512; ++i) {
        const double amplitude = i < 210 ? 0.5 : 0.0;  // the later cycles are silent
        input[i] = static_cast<float>(amplitude * std::sin(2.0 * kPi * (i - 9.5) / 100.0));
    }
    // Two crossings into the nearly silent part: the cycle between them, and the tail after
    // them, take its tiny level.
    input[210] = 1.0e-3f;
    input[400] = 1.0e-3f;
    std::vector<float> buffer = input;
    noise.wavenize(buffer.data(), 512, 441.0);
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(0.0f, buffer[i]) << "head without a previous cycle";
    }
    for (int cycle = 10; cycle < 210; cycle += 100) {
        const float amplitude =
            std::max(*std::max_element(input.begin() + cycle, input.begin() + cycle + 100),
                     -*std::min_element(input.begin() + cycle, input.begin() + cycle + 100));
        for (int i = cycle; i < cycle + 100; ++i) {
            ASSERT_EQ(amplitude, std::fabs(buffer[i])) << i;
        }
    }
    for (int i = 210; i < 512; ++i) {
        ASSERT_EQ(1.0e-3f, std::fabs(buffer[i])) << i;
    }
}

TEST(NoiseWavenizerTest, FewerThanTwoCrossingsKeepTheSineAndTheLevels) {
    Unfiltered rig(64, false);
    NoiseWavenizer& noise = rig.noise;
    noise.lastMin = -0.3f;
    noise.lastMax = 0.4f;
    std::vector<float> input(64, -0.2f);
    input[40] = 0.2f;
    std::vector<float> buffer = input;
    noise.wavenize(buffer.data(), 64, 441.0);
    EXPECT_EQ(input, buffer);
    EXPECT_EQ(-0.3f, noise.lastMin);
    EXPECT_EQ(0.4f, noise.lastMax);
    EXPECT_EQ(0x8000, rig.source.shiftRegister);
}

TEST(NoiseWavenizerTest, TurnsAVoiceIntoTwoLevelNoise) {
    NoiseSource source = freshSource(100.0 / kRate);
    FIRFilterExecutorOFFT executor;
    SineWavenizer sine(kRate, 1024, &executor, 1024);
    sine.widthRatio = 0.5;
    NoiseWavenizer noise(&sine, &source, false);
    const std::vector<float> buffer = testing::shapedVoice(noise);
    int positive = 0;
    int negative = 0;
    for (int i = 1; i < 1024; ++i) {
        positive += buffer[i] > 0.0f ? 1 : 0;
        negative += buffer[i] < 0.0f ? 1 : 0;
    }
    EXPECT_GT(positive, 200);
    EXPECT_GT(negative, 200);
    EXPECT_EQ(1023, positive + negative);
}

}  // namespace
}  // namespace tanuvo::sound
