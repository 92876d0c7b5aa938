// The real DFT as built into the Windows DLLs, run as a Win32 program under Wine: both the
// portable and the wide passes against direct sums, called at stack positions that are aligned
// to 16 but not to 32 bytes (and to 4 only, in 32-bit builds) as a host's thread may give them.
#include <malloc.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "MiniCheck.h"
#include "sound/RealDft.h"
#include "sound/RealDftWide.h"

namespace {

using tanuvo::sound::realDft;

struct Transform {
    explicit Transform(int n)
        : n(n), ip(static_cast<int>(std::floor(std::sqrt(n * 0.5))) + 2, 0), w(n / 2, 0.0) {}
    int n;
    std::vector<int> ip;
    std::vector<double> w;
};

std::vector<double> testSignal(int n, unsigned seed) {
    std::vector<double> x(n);
    for (double& v : x) {
        seed = seed * 1664525u + 1013904223u;
        v = (seed >> 8) / 8388608.0 - 1.0;
    }
    return x;
}

// Runs the transform below a stack shifted by pad bytes, so that the passes' own frames land at
// every alignment the caller's stack can have.
__attribute__((noinline)) void transformAt(int pad, Transform& t, int direction, double* a) {
    volatile char* shift = static_cast<char*>(alloca(pad + 1));
    shift[0] = 0;
    realDft(t.n, direction, a, t.ip.data(), t.w.data());
}

// Largest error of the forward transform against long-double direct sums, relative to the
// signal's norm, and of forward then inverse against the input.
void checkLengths(int pad) {
    const long double pi = 3.141592653589793238462643383279502884L;
    for (int n = 32; n <= 4096; n *= 2) {
        Transform t(n);
        const std::vector<double> x = testSignal(n, 77u + n);
        std::vector<double> a = x;
        transformAt(pad, t, 1, a.data());
        long double norm = 0;
        for (double v : x) {
            norm += static_cast<long double>(v) * v;
        }
        norm = std::sqrt(norm);
        double worst = 0;
        for (int k = 1; k < n / 2; k += 1 + n / 64) {
            long double re = 0, im = 0;
            for (int j = 0; j < n; ++j) {
                const long double angle = 2 * pi * ((static_cast<long long>(j) * k) % n) / n;
                re += x[j] * std::cos(angle);
                im += x[j] * std::sin(angle);
            }
            worst = std::fmax(worst, static_cast<double>(std::fabs(a[2 * k] - re) / norm));
            worst = std::fmax(worst, static_cast<double>(std::fabs(a[2 * k + 1] - im) / norm));
        }
        transformAt(pad + 4, t, -1, a.data());
        double roundTrip = 0;
        for (int j = 0; j < n; ++j) {
            roundTrip = std::fmax(roundTrip, std::fabs(a[j] * (2.0 / n) - x[j]));
        }
        if (!(worst < 1e-14 && roundTrip < 1e-14)) {
            std::printf("  n %d, pad %d: forward error %.3g, round trip %.3g\n", n, pad, worst,
                        roundTrip);
        }
        CHECK(worst < 1e-14);
        CHECK(roundTrip < 1e-14);
    }
}

void checkPath(bool wide) {
    const bool inUse = tanuvo::sound::useWideRealDft(wide);
    std::printf("  %s passes\n", inUse ? "wide" : "portable");
    for (int pad : {0, 4, 8, 12, 16, 20, 24, 28}) {
        checkLengths(pad);
    }
    tanuvo::sound::useWideRealDft(true);
}

}  // namespace

TEST_CASE("dft: portable passes match direct sums at every stack alignment") {
    checkPath(false);
}

TEST_CASE("dft: wide passes (where the processor has them) match at every stack alignment") {
    checkPath(true);
}

TEST_CASE("dft: the wide passes are chosen where the processor has AVX2 and FMA") {
    __builtin_cpu_init();
    const bool capable = __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma");
    const char* portable = std::getenv("BLEEP_DFT_PORTABLE");
    const bool forced = portable != nullptr && portable[0] != '\0' && portable[0] != '0';
    CHECK_EQ(tanuvo::sound::useWideRealDft(true), capable && !forced);
}

int main(int argc, char** argv) {
    return minicheck::runAll(argc > 1 ? argv[1] : nullptr);
}
