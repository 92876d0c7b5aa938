#include "sound/PitchDetectorNSDF.h"

#include "sound/NSDFCalculatorOFFT.h"
#include "tests/support/AllocationCounter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <map>
#include <random>
#include <vector>

using tanuvo::sound::INSDFCalculator;
using tanuvo::sound::NSDFCalculatorOFFT;
using tanuvo::sound::PitchDetectorNSDF;

namespace {

std::vector<float> sine(double frequency, double sampleRate, int count) {
    std::vector<float> x(count);
    for (int i = 0; i < count; ++i) {
        x[i] = static_cast<float>(
            0.8 * std::sin(2 * 3.14159265358979323846 * frequency * i / sampleRate));
    }
    return x;
}

double detect(double frequency, double sampleRate, int window) {
    NSDFCalculatorOFFT calculator(sampleRate, window);
    PitchDetectorNSDF detector(sampleRate, window, &calculator);
    const std::vector<float> x = sine(frequency, sampleRate, window);
    return detector.detectPitch(x.data(), window);
}

// Writes a designed NSDF: a gentle negative slope with triangular peaks at chosen lags.
class ScriptedNsdf : public INSDFCalculator {
  public:
    std::map<int, float> peaks;
    int computeNsdf(float* out, const float*, int count) override {
        for (int tau = 0; tau < count; ++tau) {
            out[tau] = -0.5f - tau * 1e-4f;
        }
        out[0] = 1.0f;
        for (const auto& [lag, value] : peaks) {
            out[lag - 1] = value - 0.05f;
            out[lag] = value;
            out[lag + 1] = value - 0.05f;
        }
        return count;
    }
};

double scriptedPitch(const std::map<int, float>& peaks) {
    ScriptedNsdf nsdf;
    nsdf.peaks = peaks;
    PitchDetectorNSDF detector(44100.0, 1024, &nsdf);
    const std::vector<float> x(1024, 0.1f);
    return detector.detectPitch(x.data(), 1024);
}

}  // namespace

TEST(PitchDetectorNSDF, LagBoundsForCommonRates) {
    const struct {
        double rate;
        int minLag, maxLag;
    } rows[] = {{44100, 29, 678}, {48000, 32, 738}, {96000, 64, 1476}};
    for (const auto& row : rows) {
        PitchDetectorNSDF detector(row.rate, 1024, nullptr);
        EXPECT_EQ(detector.minimumLag(), row.minLag) << row.rate;
        EXPECT_EQ(detector.maximumLag(), row.maxLag) << row.rate;
    }
}

TEST(PitchDetectorNSDF, SinesAtIntegerLagResolution) {
    EXPECT_DOUBLE_EQ(detect(440.0, 44100.0, 1024), 1.0 / (100 * (1.0 / 44100.0)));
    EXPECT_NEAR(detect(440.0, 44100.0, 1024), 441.0, 1e-9);
    // The first peak (lag 22) is above 1500 Hz, so the one at two periods is taken.
    EXPECT_NEAR(detect(2000.0, 44100.0, 1024), 44100.0 / 44, 1e-9);
    // The first peak (lag 882) is beyond 65 Hz and nothing lies between.
    EXPECT_EQ(detect(50.0, 44100.0, 1024), -1.0);
    EXPECT_NEAR(detect(220.0, 48000.0, 1024), 48000.0 / 218, 1e-9);
}

TEST(PitchDetectorNSDF, HighRateShortWindowLosesLowPitches) {
    EXPECT_NEAR(detect(200.0, 96000.0, 1024), 200.0, 1e-9);
    // 94 Hz needs lag 1021, still inside a 1024 window; 80 Hz needs 1200 and finds nothing.
    EXPECT_NEAR(detect(96000.0 / 1021, 96000.0, 1024), 96000.0 / 1021, 1e-9);
    EXPECT_EQ(detect(80.0, 96000.0, 1024), -1.0);
    EXPECT_NEAR(detect(80.0, 96000.0, 2048), 80.0, 1e-9);
}

TEST(PitchDetectorNSDF, ShorterLagWithinEightyFivePercentWins) {
    EXPECT_NEAR(scriptedPitch({{100, 0.80f}, {200, 0.90f}}), 441.0, 1e-9);
    EXPECT_NEAR(scriptedPitch({{100, 0.70f}, {200, 0.90f}}), 220.5, 1e-9);
    // Just either side of 0.85 of the best (0.765): a ratio of 0.84 or 0.86 would choose otherwise.
    EXPECT_NEAR(scriptedPitch({{100, 0.770f}, {200, 0.90f}}), 441.0, 1e-9);
    EXPECT_NEAR(scriptedPitch({{100, 0.760f}, {200, 0.90f}}), 220.5, 1e-9);
}

TEST(PitchDetectorNSDF, CandidatesLieStrictlyInsideTheLagRange) {
    // At 44100 Hz the bounds are lags 29 and 678; peaks exactly there are not candidates.
    EXPECT_EQ(scriptedPitch({{29, 0.95f}}), -1.0);
    EXPECT_EQ(scriptedPitch({{678, 0.95f}}), -1.0);
    EXPECT_NEAR(scriptedPitch({{30, 0.5f}}), 1470.0, 1e-9);
    EXPECT_NEAR(scriptedPitch({{677, 0.5f}}), 44100.0 / 677, 1e-9);
    EXPECT_NEAR(scriptedPitch({{29, 0.99f}, {300, 0.5f}}), 147.0, 1e-9);
}

TEST(PitchDetectorNSDF, NoPositiveCandidateMeansNoPitch) {
    EXPECT_EQ(scriptedPitch({{100, -0.1f}, {300, 0.0f}}), -1.0);
    EXPECT_EQ(scriptedPitch({}), -1.0);
}

TEST(PitchDetectorNSDF, SilenceAndBadCallsGiveNoPitch) {
    NSDFCalculatorOFFT calculator(44100.0, 1024);
    PitchDetectorNSDF detector(44100.0, 1024, &calculator);
    const std::vector<float> silence(2048, 0.0f);
    EXPECT_EQ(detector.detectPitch(silence.data(), 1024), -1.0);
    EXPECT_EQ(detector.detectPitch(silence.data(), 0), -1.0);
    EXPECT_EQ(detector.detectPitch(nullptr, 1024), -1.0);
    // Longer than the window: only the window's worth is analysed.
    const std::vector<float> x = sine(440.0, 44100.0, 4096);
    EXPECT_NEAR(detector.detectPitch(x.data(), 4096), 441.0, 1e-9);

    const double nan = std::numeric_limits<double>::quiet_NaN();
    NSDFCalculatorOFFT odd(nan, 1024);
    PitchDetectorNSDF oddDetector(nan, 1024, &odd);
    EXPECT_EQ(oddDetector.detectPitch(x.data(), 1024), -1.0);
}

TEST(PitchDetectorNSDF, SteadyStateDoesNotAllocate) {
    NSDFCalculatorOFFT calculator(44100.0, 1024);
    PitchDetectorNSDF detector(44100.0, 1024, &calculator);
    const std::vector<float> x = sine(440.0, 44100.0, 1024);
    std::vector<float> noise(1024);
    for (int i = 0; i < 1024; ++i) {
        noise[i] = static_cast<float>(std::sin(i * 12.9898) * 43758.5453 -
                                      std::floor(std::sin(i * 12.9898) * 43758.5453) - 0.5);
    }
    detector.detectPitch(x.data(), 1024);
    tanuvo::sound::testing::AllocationCounter counter;
    for (int i = 0; i < 3; ++i) {
        detector.detectPitch(x.data(), 1024);
        detector.detectPitch(noise.data(), 1024);
    }
    EXPECT_EQ(counter.allocations(), 0);
}

TEST(PitchDetectorNSDF, DecisionIsTheRuleAppliedToEveryPeakOfTheWholeFunction) {
    // Random functions of few levels, so plateaus and ties are common; some random only around
    // the upper lag bound, where the walk stops.
    class RandomNsdf : public INSDFCalculator {
      public:
        std::vector<float> values;
        int computeNsdf(float* out, const float*, int count) override {
            std::copy(values.begin(), values.begin() + count, out);
            return count;
        }
    } nsdf;
    std::mt19937 rng(5);
    const std::vector<float> x(1024, 0.1f);
    for (int round = 0; round < 2000; ++round) {
        nsdf.values.assign(1024, -0.5f);
        const int from[] = {0, 600, 670}, to[] = {1024, 1024, 690};
        for (int i = from[round % 3]; i < to[round % 3]; ++i) {
            nsdf.values[i] = static_cast<float>(rng() % 5) * 0.2f - 0.1f;
        }
        PitchDetectorNSDF detector(44100.0, 1024, &nsdf);
        // Peaks by their definition: the last index of every rise before a fall.
        std::vector<int> peaks;
        bool rising = false;
        for (int p = 0; p + 1 < 1024; ++p) {
            if (nsdf.values[p] != nsdf.values[p + 1]) {
                if (rising && nsdf.values[p] > nsdf.values[p + 1])
                    peaks.push_back(p);
                rising = nsdf.values[p + 1] > nsdf.values[p];
            }
        }
        float best = 0.0f;
        for (int p : peaks) {
            if (p > detector.minimumLag() && p < detector.maximumLag()) {
                best = std::max(best, nsdf.values[p]);
            }
        }
        double expected = -1.0;
        for (int p : peaks) {
            if (p > detector.minimumLag() && p < detector.maximumLag() &&
                nsdf.values[p] > static_cast<float>(best * 0.85)) {
                expected = 44100.0 / p;
                break;
            }
        }
        ASSERT_NEAR(expected, detector.detectPitch(x.data(), 1024), 1e-9) << round;
    }
}
