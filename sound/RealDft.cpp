#include "sound/RealDft.h"

#include "sound/RealDftKernels.h"
#include "sound/RealDftWide.h"

#include <atomic>
#include <cmath>
#include <cstdlib>
#include <type_traits>

namespace tanuvo::sound {

namespace {

// Index table for the block-wise bit reversal of a complex table of nw entries (nw > 8).
void buildBitReversalTable(int nw, int* ip) {
    ip[2] = 0;
    ip[3] = 16;
    int m = 2;
    for (int l = nw; l > 32; l >>= 2) {
        for (int j = m; j < 2 * m; ++j) {
            const int p = ip[j] * 4;
            ip[m + j] = p;
            ip[2 * m + j] = p + 16 * m;
        }
        m <<= 1;
    }
}

// Complex-stage table: a first level for nw, followed by successively halved levels so that every
// shorter length finds its own level without a rebuild.
void buildComplexTable(int nw, int* ip, double* w) {
    ip[0] = nw;
    ip[1] = 1;
    if (nw <= 2) {
        return;
    }
    int nwh = nw >> 1;
    const double delta = std::atan(1.0) / nwh;
    const double cosQuarterPi = std::cos(delta * nwh);
    w[0] = 1.0;
    w[1] = cosQuarterPi;
    if (nwh == 4) {
        w[2] = std::cos(delta * 2);
        w[3] = std::sin(delta * 2);
    } else if (nwh > 4) {
        buildBitReversalTable(nw, ip);
        w[2] = 0.5 / std::cos(delta * 2);
        w[3] = 0.5 / std::cos(delta * 6);
        for (int j = 4; j < nwh; j += 4) {
            w[j] = std::cos(delta * j);
            w[j + 1] = std::sin(delta * j);
            w[j + 2] = std::cos(3 * delta * j);
            w[j + 3] = -std::sin(3 * delta * j);
        }
    }
    int nw0 = 0;
    while (nwh > 2) {
        const int nw1 = nw0 + nwh;
        nwh >>= 1;
        w[nw1] = 1.0;
        w[nw1 + 1] = cosQuarterPi;
        if (nwh == 4) {
            w[nw1 + 2] = w[nw0 + 4];
            w[nw1 + 3] = w[nw0 + 5];
        } else if (nwh > 4) {
            w[nw1 + 2] = 0.5 / w[nw0 + 4];
            w[nw1 + 3] = 0.5 / w[nw0 + 6];
            for (int j = 4; j < nwh; j += 4) {
                w[nw1 + j] = w[nw0 + 2 * j];
                w[nw1 + j + 1] = w[nw0 + 2 * j + 1];
                w[nw1 + j + 2] = w[nw0 + 2 * j + 2];
                w[nw1 + j + 3] = w[nw0 + 2 * j + 3];
            }
        }
        nw0 = nw1;
    }
}

// Real-stage table of nc entries: c[q] = cos(2*pi*q/(4*nc))/2 for 0 < q < nc, so that the sine of
// the same angle is c[nc - q]. It covers a quarter turn at the finest step any length needs.
void buildRealTable(int nc, double* c) {
    if (nc <= 1) {
        return;
    }
    const int nch = nc >> 1;
    const double delta = std::atan(1.0) / nch;
    c[0] = std::cos(delta * nch);
    c[nch] = 0.5 * c[0];
    for (int j = 1; j < nch; ++j) {
        c[j] = 0.5 * std::cos(delta * j);
        c[nc - j] = 0.5 * std::sin(delta * j);
    }
}

// n = 2 and n = 4 need no twiddles: the packed result is a pair of sums and differences.
void transformShort(int n, int direction, double* a) {
    if (direction < 0) {
        a[1] = 0.5 * (a[0] - a[1]);
        a[0] -= a[1];
    }
    if (n == 4) {
        const double re = a[0] - a[2], im = a[1] - a[3];
        a[0] += a[2];
        a[1] += a[3];
        a[2] = re;
        a[3] = im;
    }
    if (direction >= 0) {
        const double sum = a[0] + a[1];
        a[1] = a[0] - a[1];
        a[0] = sum;
    }
}

std::atomic<bool> wideEnabled{true};

#ifdef BLEEP_DFT_WIDE
// BLEEP_DFT_PORTABLE=1 in the environment keeps a process on the portable passes, so that a
// built binary can be checked on both paths on one machine.
bool wideSupported() {
    static const bool supported = [] {
        __builtin_cpu_init();
        const char* portable = std::getenv("BLEEP_DFT_PORTABLE");
        if (portable != nullptr && portable[0] != '\0' && portable[0] != '0') {
            return false;
        }
        return __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma");
    }();
    return supported;
}
#endif

}  // namespace

namespace {

// Both tables keep the documented layout, which the callers size their arrays for; the passes
// themselves read only the real-stage table, a quarter turn of cosines fine enough for the
// twiddles of every pass of this and any shorter length.
template <class Side>
void realDftWith(int n, int direction, double* a, int* ip, double* w, Side& side) {
    // Lengths the tables and passes cannot serve leave the data untouched rather than overrun it.
    if (n < 2 || (n & (n - 1)) != 0 || a == nullptr || ip == nullptr || w == nullptr) {
        return;
    }
    if (n > 4 * ip[0]) {
        buildComplexTable(n >> 2, ip, w);
    }
    if (n > 4 * ip[1]) {
        buildRealTable(n >> 2, w + ip[0]);
        ip[1] = n >> 2;
    }
    if (n <= 4) {
        transformShort(n, direction, a);
        return;
    }
    const dftkernels::Quarter table{w + ip[0], ip[1]};
#ifdef BLEEP_DFT_WIDE
    if (n >= 32 && wideEnabled.load(std::memory_order_relaxed) && wideSupported()) {
        if constexpr (std::is_same_v<Side, dftkernels::SweepSideWork>) {
            realDftWidePasses(n, direction, a, table.c, table.quarter, side.sweep);
        } else {
            realDftWidePasses(n, direction, a, table.c, table.quarter);
        }
        return;
    }
#endif
    dftkernels::transform<dftkernels::v2d>(n, direction, a, table, side);
}

}  // namespace

void realDft(int n, int direction, double* a, int* ip, double* w) {
    dftkernels::NoSideWork none;
    realDftWith(n, direction, a, ip, w, none);
}

void realDft(int n, int direction, double* a, int* ip, double* w, EnergySweep& sweep) {
    dftkernels::SweepSideWork side{sweep};
    realDftWith(n, direction, a, ip, w, side);
    sweep = side.sweep;
}

bool useWideRealDft(bool allowed) {
    wideEnabled.store(allowed, std::memory_order_relaxed);
#ifdef BLEEP_DFT_WIDE
    return allowed && wideSupported();
#else
    return false;
#endif
}

int transformLengthFor(int length) {
    int n = 2;
    while (n < length) {
        n *= 2;
    }
    return n;
}

}  // namespace tanuvo::sound
