#include "sound/RealDft.h"
#include "sound/RealDftWide.h"
#include "tests/sound/VoiceSignal.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

using tanuvo::sound::realDft;

namespace {

using tanuvo::sound::testing::randomSamples;

// Caller-owned tables sized exactly as the callers allocate them, zero-filled.
struct Tables {
    explicit Tables(int n)
        : ip(static_cast<int>(std::floor(std::sqrt(n * 0.5))) + 2, 0), w(n / 2, 0.0) {}
    std::vector<int> ip;
    std::vector<double> w;
};

// Long double reference for one length: cos/sin of 2*pi*t/n for every t.
class DirectDft {
  public:
    explicit DirectDft(int n) : n_(n), cos_(n), sin_(n) {
        const long double pi = 3.141592653589793238462643383279502884L;
        for (int t = 0; t < n; ++t) {
            cos_[t] = std::cos(2.0L * pi * t / n);
            sin_[t] = std::sin(2.0L * pi * t / n);
        }
    }

    // R[k] and I[k] of the e^(+i) kernel.
    void forwardBin(const std::vector<double>& x, int k, long double& re, long double& im) const {
        re = 0;
        im = 0;
        for (int j = 0, t = 0; j < n_; ++j, t = (t + k) & (n_ - 1)) {
            re += x[j] * cos_[t];
            im += x[j] * sin_[t];
        }
    }

    // Sample j of the (n/2-scaled) inverse of a packed spectrum.
    long double inverseSample(const std::vector<double>& packed, int j) const {
        long double y = (packed[0] + ((j & 1) ? -packed[1] : packed[1])) / 2.0L;
        for (int k = 1, t = j; k < n_ / 2; ++k, t = (t + j) & (n_ - 1)) {
            y += packed[2 * k] * cos_[t] + packed[2 * k + 1] * sin_[t];
        }
        return y;
    }

  private:
    int n_;
    std::vector<long double> cos_, sin_;
};

double norm2(const std::vector<double>& x) {
    long double s = 0;
    for (double v : x) {
        s += static_cast<long double>(v) * v;
    }
    return static_cast<double>(std::sqrt(s));
}

// Indices checked against the direct sums: all of them for short lengths, a spread otherwise.
std::vector<int> checkedIndices(int count, unsigned seed) {
    std::vector<int> idx;
    if (count <= 2048) {
        for (int i = 0; i < count; ++i) {
            idx.push_back(i);
        }
        return idx;
    }
    std::mt19937 rng(seed);
    for (int i : {0, 1, 2, count / 4, count / 2 - 1, count / 2, count - 1}) {
        idx.push_back(i);
    }
    for (int i = 0; i < 40; ++i) {
        idx.push_back(static_cast<int>(rng() % static_cast<unsigned>(count)));
    }
    return idx;
}

double errorBound(int n) {
    return 1e-15 * std::log2(static_cast<double>(n));
}

// Every check runs on the portable passes and on the wide ones (where the machine has them).
class RealDft : public testing::TestWithParam<bool> {
  protected:
    void SetUp() override { tanuvo::sound::useWideRealDft(GetParam()); }
    void TearDown() override { tanuvo::sound::useWideRealDft(true); }
};

}  // namespace

INSTANTIATE_TEST_SUITE_P(Passes, RealDft, testing::Values(false, true),
                         [](const testing::TestParamInfo<bool>& info) {
                             return info.param ? "Wide" : "Portable";
                         });

TEST_P(RealDft, ForwardMatchesDirectSumsForEveryLength) {
    for (int n = 2; n <= 65536; n *= 2) {
        SCOPED_TRACE(n);
        const std::vector<double> x = randomSamples<double>(n, static_cast<unsigned>(n));
        std::vector<double> a = x;
        Tables t(n);
        realDft(n, 1, a.data(), t.ip.data(), t.w.data());

        const DirectDft ref(n);
        const double scale = norm2(x);
        double worst = 0;
        for (int k : checkedIndices(n / 2 + 1, 7u * n)) {
            long double re, im;
            ref.forwardBin(x, k, re, im);
            double gotRe, gotIm = 0;
            if (k == 0) {
                gotRe = a[0];
            } else if (k == n / 2) {
                gotRe = a[1];
            } else {
                gotRe = a[2 * k];
                gotIm = a[2 * k + 1];
            }
            worst = std::fmax(worst, static_cast<double>(std::fabs(gotRe - re) / scale));
            worst = std::fmax(worst, static_cast<double>(std::fabs(gotIm - im) / scale));
        }
        EXPECT_LT(worst, errorBound(n));
    }
}

TEST_P(RealDft, InverseMatchesDirectSumsForEveryLength) {
    for (int n = 2; n <= 65536; n *= 2) {
        SCOPED_TRACE(n);
        const std::vector<double> packed = randomSamples<double>(n, 1000u + n);
        std::vector<double> a = packed;
        Tables t(n);
        realDft(n, -1, a.data(), t.ip.data(), t.w.data());

        const DirectDft ref(n);
        const double scale = norm2(packed);
        double worst = 0;
        for (int j : checkedIndices(n, 11u * n)) {
            const long double y = ref.inverseSample(packed, j);
            worst = std::fmax(worst, static_cast<double>(std::fabs(a[j] - y) / scale));
        }
        EXPECT_LT(worst, errorBound(n));
    }
}

TEST_P(RealDft, ForwardThenInverseReturnsHalfLengthTimesInput) {
    for (int n = 2; n <= 65536; n *= 2) {
        SCOPED_TRACE(n);
        const std::vector<double> x = randomSamples<double>(n, 5u * n);
        std::vector<double> a = x;
        Tables t(n);
        realDft(n, 1, a.data(), t.ip.data(), t.w.data());
        realDft(n, -1, a.data(), t.ip.data(), t.w.data());
        double worst = 0;
        for (int j = 0; j < n; ++j) {
            worst = std::fmax(worst, std::fabs(a[j] * (2.0 / n) - x[j]));
        }
        EXPECT_LT(worst, errorBound(n));
    }
}

TEST_P(RealDft, ShortLengthExamples) {
    Tables t2(2);
    std::vector<double> a = {3.0, 5.0};
    realDft(2, 1, a.data(), t2.ip.data(), t2.w.data());
    EXPECT_EQ(a, (std::vector<double>{8.0, -2.0}));
    realDft(2, -1, a.data(), t2.ip.data(), t2.w.data());
    EXPECT_EQ(a, (std::vector<double>{3.0, 5.0}));

    Tables t4(4);
    a = {1.0, 2.0, 4.0, 8.0};
    realDft(4, 1, a.data(), t4.ip.data(), t4.w.data());
    EXPECT_EQ(a, (std::vector<double>{15.0, -5.0, -3.0, -6.0}));
    realDft(4, -1, a.data(), t4.ip.data(), t4.w.data());
    EXPECT_EQ(a, (std::vector<double>{2.0, 4.0, 8.0, 16.0}));
}

TEST_P(RealDft, ImpulseGivesFlatSpectrum) {
    for (int n : {8, 64, 2048}) {
        SCOPED_TRACE(n);
        std::vector<double> a(n, 0.0);
        a[0] = 1.0;
        Tables t(n);
        realDft(n, 1, a.data(), t.ip.data(), t.w.data());
        EXPECT_EQ(a[0], 1.0);
        EXPECT_EQ(a[1], 1.0);
        for (int k = 1; k < n / 2; ++k) {
            ASSERT_NEAR(a[2 * k], 1.0, 1e-15);
            ASSERT_NEAR(a[2 * k + 1], 0.0, 1e-15);
        }
    }
}

TEST_P(RealDft, SineHasPositiveImaginaryPartAtBinOne) {
    const double pi = std::acos(-1.0);
    for (int n : {4, 16, 1024, 4096}) {
        SCOPED_TRACE(n);
        std::vector<double> a(n);
        for (int j = 0; j < n; ++j) {
            a[j] = std::sin(2.0 * pi * j / n);
        }
        Tables t(n);
        realDft(n, 1, a.data(), t.ip.data(), t.w.data());
        for (int i = 0; i < n; ++i) {
            const double expected = (i == 3) ? n / 2.0 : 0.0;
            ASSERT_NEAR(a[i], expected, 1e-12 * n) << "entry " << i;
        }
    }
}

TEST_P(RealDft, TablesBuiltForALengthServeShorterOnesUnchanged) {
    const int n = 4096;
    Tables shared(n);
    std::vector<double> a = randomSamples<double>(n, 3);
    realDft(n, 1, a.data(), shared.ip.data(), shared.w.data());
    EXPECT_EQ(shared.ip[0], n / 4);
    EXPECT_EQ(shared.ip[1], n / 4);

    const Tables before = shared;
    for (int m = n / 2; m >= 2; m /= 2) {
        SCOPED_TRACE(m);
        const std::vector<double> x = randomSamples<double>(m, 17u + m);
        std::vector<double> viaShared = x, viaOwn = x;
        Tables own(m);
        realDft(m, 1, viaShared.data(), shared.ip.data(), shared.w.data());
        realDft(m, 1, viaOwn.data(), own.ip.data(), own.w.data());
        for (int i = 0; i < m; ++i) {
            ASSERT_NEAR(viaShared[i], viaOwn[i], 1e-12) << "entry " << i;
        }
        realDft(m, -1, viaShared.data(), shared.ip.data(), shared.w.data());
        for (int i = 0; i < m; ++i) {
            ASSERT_NEAR(viaShared[i] * (2.0 / m), x[i], 1e-13) << "entry " << i;
        }
    }
    EXPECT_EQ(shared.ip, before.ip);
    EXPECT_EQ(shared.w, before.w);
}

TEST_P(RealDft, LongerLengthRebuildsBothTables) {
    const int n = 1024;
    Tables t(n);
    std::vector<double> a = randomSamples<double>(n / 2, 9);
    realDft(n / 2, 1, a.data(), t.ip.data(), t.w.data());
    EXPECT_EQ(t.ip[0], n / 8);
    EXPECT_EQ(t.ip[1], n / 8);

    const std::vector<double> x = randomSamples<double>(n, 10);
    a = x;
    realDft(n, 1, a.data(), t.ip.data(), t.w.data());
    EXPECT_EQ(t.ip[0], n / 4);
    EXPECT_EQ(t.ip[1], n / 4);
    Tables fresh(n);
    std::vector<double> b = x;
    realDft(n, 1, b.data(), fresh.ip.data(), fresh.w.data());
    EXPECT_EQ(t.ip, fresh.ip);
    // Both tables are rebuilt; only the two unused slots behind the last level keep old values.
    const std::vector<double> rebuiltLevel(t.w.begin(), t.w.begin() + n / 8);
    const std::vector<double> freshLevel(fresh.w.begin(), fresh.w.begin() + n / 8);
    EXPECT_EQ(rebuiltLevel, freshLevel);
    const std::vector<double> rebuiltReal(t.w.begin() + n / 4, t.w.end());
    const std::vector<double> freshReal(fresh.w.begin() + n / 4, fresh.w.end());
    EXPECT_EQ(rebuiltReal, freshReal);
    EXPECT_EQ(a, b);
}

TEST_P(RealDft, TablesHoldTheDocumentedTwiddles) {
    const int n = 256;
    const double pi = std::acos(-1.0);
    Tables t(n);
    std::vector<double> a(n, 0.0);
    realDft(n, 1, a.data(), t.ip.data(), t.w.data());
    const int nw = t.ip[0];
    const int nc = t.ip[1];
    // Complex-stage table: first level for nw, then halved levels behind it.
    EXPECT_EQ(t.w[0], 1.0);
    EXPECT_NEAR(t.w[1], std::cos(pi / 4), 1e-16);
    EXPECT_NEAR(t.w[2], 0.5 / std::cos(2 * pi / n * 2), 1e-16);
    EXPECT_NEAR(t.w[4], std::cos(2 * pi / n * 4), 1e-16);
    EXPECT_NEAR(t.w[7], -std::sin(3 * 2 * pi / n * 4), 1e-16);
    EXPECT_EQ(t.w[nw / 2], 1.0);
    EXPECT_EQ(t.w[nw / 2 + 4], t.w[8]);
    // Bit-reversal index table.
    EXPECT_EQ(t.ip[2], 0);
    EXPECT_EQ(t.ip[3], 16);
    EXPECT_EQ(t.ip[5], 64);
    // Real-stage table: half cosines over a quarter turn.
    EXPECT_NEAR(t.w[nw], std::cos(pi / 4), 1e-16);
    for (int q = 1; q < nc; ++q) {
        ASSERT_NEAR(t.w[nw + q], 0.5 * std::cos(2 * pi * q / n), 1e-16) << q;
    }
}

TEST_P(RealDft, UnservableLengthsLeaveTheDataUntouched) {
    Tables t(64);
    for (int n : {-4, 0, 1, 3, 6, 12, 48}) {
        SCOPED_TRACE(n);
        std::vector<double> a(64, 0.25);
        realDft(n, 1, a.data(), t.ip.data(), t.w.data());
        realDft(n, -1, a.data(), t.ip.data(), t.w.data());
        EXPECT_EQ(a, std::vector<double>(64, 0.25));
        EXPECT_EQ(t.ip[0], 0);
    }
}
