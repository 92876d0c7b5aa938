#include "sound/NSDFCalculatorOFFT.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "tests/support/AllocationCounter.h"
#include "tests/sound/VoiceSignal.h"

using tanuvo::sound::NSDFCalculatorOFFT;

namespace {

using tanuvo::sound::testing::randomSamples;

struct Direct {
    std::vector<double> r, m, nsdf;
};

// The defining sums, O(W^2), in double precision.
Direct directNsdf(const std::vector<float>& x) {
    const int w = static_cast<int>(x.size());
    Direct d{std::vector<double>(w), std::vector<double>(w), std::vector<double>(w)};
    for (int tau = 0; tau < w; ++tau) {
        double r = 0, m = 0;
        for (int j = 0; j + tau < w; ++j) {
            r += static_cast<double>(x[j]) * x[j + tau];
            m += static_cast<double>(x[j]) * x[j] + static_cast<double>(x[j + tau]) * x[j + tau];
        }
        d.r[tau] = r;
        d.m[tau] = m;
        d.nsdf[tau] = 2 * r / m;
    }
    return d;
}

}  // namespace

TEST(NSDFCalculator, MatchesDirectSumsForRandomWindows) {
    std::vector<int> lengths = {1, 2, 3, 4, 5, 7, 8, 9, 31, 64, 100, 511, 1023, 1024, 1025, 2048};
    std::mt19937 rng(42);
    for (int i = 0; i < 12; ++i) {
        lengths.push_back(1 + static_cast<int>(rng() % 2048));
    }
    NSDFCalculatorOFFT calculator(44100.0, 2048);
    for (int w : lengths) {
        SCOPED_TRACE(w);
        const std::vector<float> x = randomSamples(w, 100u + w);
        const Direct d = directNsdf(x);
        std::vector<float> out(w);
        ASSERT_EQ(calculator.computeNsdf(out.data(), x.data(), w), w);
        // The power spectrum is rounded to single precision, so r(tau) carries an error of about
        // 1e-7 of the window energy; the NSDF's error grows as the overlap's energy shrinks.
        const double energy = d.m[0] / 2;
        for (int tau = 0; tau < w; ++tau) {
            ASSERT_NEAR(calculator.autocorrelation()[tau], d.r[tau], 2e-6 * energy) << tau;
            ASSERT_NEAR(calculator.energy()[tau], d.m[tau], 1e-5 * d.m[tau]) << tau;
            ASSERT_NEAR(out[tau], d.nsdf[tau], 4e-6 * energy / d.m[tau] + 1e-6) << tau;
            ASSERT_LE(std::fabs(out[tau]), 1.0f + 1e-5f) << tau;
        }
        EXPECT_NEAR(out[0], 1.0f, 1e-5f);
    }
}

TEST(NSDFCalculator, SingleSampleIsPerfectlyCorrelated) {
    NSDFCalculatorOFFT calculator(48000.0, 1024);
    const float x = 0.5f;
    float out = 0;
    EXPECT_EQ(calculator.computeNsdf(&out, &x, 1), 1);
    EXPECT_FLOAT_EQ(out, 1.0f);
    EXPECT_FLOAT_EQ(calculator.autocorrelation()[0], 0.25f);
    EXPECT_FLOAT_EQ(calculator.energy()[0], 0.5f);
}

TEST(NSDFCalculator, SilenceGivesNotANumberAndZeroTerms) {
    NSDFCalculatorOFFT calculator(44100.0, 1024);
    const std::vector<float> x(1024, 0.0f);
    std::vector<float> out(1024, 0.0f);
    calculator.computeNsdf(out.data(), x.data(), 1024);
    for (int tau = 0; tau < 1024; ++tau) {
        ASSERT_TRUE(std::isnan(out[tau])) << tau;
        ASSERT_EQ(calculator.autocorrelation()[tau], 0.0f) << tau;
        ASSERT_EQ(calculator.energy()[tau], 0.0f) << tau;
    }
}

TEST(NSDFCalculator, IntegerPeriodSineReachesPlusAndMinusOne) {
    const int w = 1024;
    const int period = 64;
    std::vector<float> x(w);
    for (int j = 0; j < w; ++j) {
        x[j] = static_cast<float>(std::sin(2 * 3.14159265358979323846 * j / period));
    }
    NSDFCalculatorOFFT calculator(44100.0, w);
    std::vector<float> out(w);
    calculator.computeNsdf(out.data(), x.data(), w);
    EXPECT_NEAR(out[period], 1.0f, 1e-5f);
    EXPECT_NEAR(out[period / 2], -1.0f, 1e-5f);
    EXPECT_NEAR(out[3 * period], 1.0f, 1e-5f);
}

TEST(NSDFCalculator, EnergyTermEnds) {
    const std::vector<float> x = {0.5f, -0.25f, 1.0f, 0.75f, -2.0f};
    NSDFCalculatorOFFT calculator(44100.0, 8);
    std::vector<float> out(5);
    calculator.computeNsdf(out.data(), x.data(), 5);
    EXPECT_FLOAT_EQ(calculator.energy()[4], 0.5f * 0.5f + 2.0f * 2.0f);
    float sum = 0;
    for (float v : x) {
        sum += v * v;
    }
    EXPECT_FLOAT_EQ(calculator.energy()[0], 2 * sum);
}

TEST(NSDFCalculator, OneReservedWorkSetServesEveryCountWithoutAllocating) {
    NSDFCalculatorOFFT calculator(44100.0, 2048);
    EXPECT_EQ(4096, calculator.transformLength());
    const std::vector<float> x = randomSamples(2048, 1);
    std::vector<float> out(2048);
    {
        tanuvo::sound::testing::AllocationCounter counter;
        for (int count : {2048, 1025, 1024, 1, 700}) {
            calculator.computeNsdf(out.data(), x.data(), count);
        }
        EXPECT_EQ(0, counter.allocations());
    }
    // The long tables give a shorter count exactly what a calculator sized for it gives.
    NSDFCalculatorOFFT own(44100.0, 700);
    EXPECT_EQ(2048, own.transformLength());
    std::vector<float> again(700);
    own.computeNsdf(again.data(), x.data(), 700);
    EXPECT_EQ(again, std::vector<float>(out.begin(), out.begin() + 700));
}

TEST(NSDFCalculator, CountsOutsideTheWindowAreClampedNotOverrun) {
    NSDFCalculatorOFFT calculator(44100.0, 16);
    const std::vector<float> x = randomSamples(64, 2);
    std::vector<float> out(64, 7.0f);
    EXPECT_EQ(calculator.computeNsdf(out.data(), x.data(), 64), 16);
    EXPECT_EQ(out[16], 7.0f);
    EXPECT_EQ(calculator.computeNsdf(out.data(), x.data(), 0), 0);
    EXPECT_EQ(calculator.computeNsdf(out.data(), x.data(), -5), 0);
}
