#include "sound/RealDft.h"

#include <cmath>
#include <utility>

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

// Quarter-turn lookup into the real-stage table: twiddles e^(i*2*pi*q/(4*quarter)), 0 < q <
// quarter.
struct QuarterTable {
    const double* c;
    int quarter;
    double cosine(int q) const { return 2.0 * c[q]; }
    double sine(int q) const { return 2.0 * c[quarter - q]; }
};

// One radix-4 decimation-in-frequency pass of length len over count complex values. The outputs
// for frequencies 1 and 2 (mod 4) trade places so that the last pass leaves bit-reversed order.
// sign is +1 for the e^(+i) kernel, -1 for its conjugate.
void radix4Pass(double* a, int count, int len, double sign, const QuarterTable& table) {
    const int quarterLen = len >> 2;
    const int step = table.quarter * 4 / len;
    for (int j = 0; j < quarterLen; ++j) {
        double w1r = 1.0, w1i = 0.0;
        if (j > 0) {
            w1r = table.cosine(j * step);
            w1i = sign * table.sine(j * step);
        }
        const double w2r = w1r * w1r - w1i * w1i;
        const double w2i = 2.0 * w1r * w1i;
        const double w3r = w2r * w1r - w2i * w1i;
        const double w3i = w2r * w1i + w2i * w1r;
        for (int b = 0; b < count; b += len) {
            double* p0 = a + 2 * (b + j);
            double* p1 = p0 + 2 * quarterLen;
            double* p2 = p1 + 2 * quarterLen;
            double* p3 = p2 + 2 * quarterLen;
            const double s02r = p0[0] + p2[0], s02i = p0[1] + p2[1];
            const double d02r = p0[0] - p2[0], d02i = p0[1] - p2[1];
            const double s13r = p1[0] + p3[0], s13i = p1[1] + p3[1];
            // i*sign*(x1 - x3)
            const double r13r = -sign * (p1[1] - p3[1]), r13i = sign * (p1[0] - p3[0]);
            const double y1r = d02r + r13r, y1i = d02i + r13i;
            const double y2r = s02r - s13r, y2i = s02i - s13i;
            const double y3r = d02r - r13r, y3i = d02i - r13i;
            p0[0] = s02r + s13r;
            p0[1] = s02i + s13i;
            p1[0] = y2r * w2r - y2i * w2i;
            p1[1] = y2r * w2i + y2i * w2r;
            p2[0] = y1r * w1r - y1i * w1i;
            p2[1] = y1r * w1i + y1i * w1r;
            p3[0] = y3r * w3r - y3i * w3i;
            p3[1] = y3r * w3i + y3i * w3r;
        }
    }
}

void radix2Pass(double* a, int count) {
    for (int b = 0; b < count; b += 2) {
        double* p = a + 2 * b;
        const double xr = p[0] - p[2], xi = p[1] - p[3];
        p[0] += p[2];
        p[1] += p[3];
        p[2] = xr;
        p[3] = xi;
    }
}

void bitReverse(double* a, int count) {
    for (int i = 0, j = 0; i < count; ++i) {
        if (i < j) {
            std::swap(a[2 * i], a[2 * j]);
            std::swap(a[2 * i + 1], a[2 * j + 1]);
        }
        int bit = count >> 1;
        while (bit > 0 && (j & bit) != 0) {
            j ^= bit;
            bit >>= 1;
        }
        j |= bit;
    }
}

// DFT of count complex values in natural order, in place, without scaling.
void complexDft(double* a, int count, double sign, const QuarterTable& table) {
    int len = count;
    for (; len >= 4; len >>= 2) {
        radix4Pass(a, count, len, sign, table);
    }
    if (len == 2) {
        radix2Pass(a, count);
    }
    bitReverse(a, count);
}

// Splits the half-length complex spectrum into the packed real spectrum.
void realPostPass(double* a, int n, const QuarterTable& table) {
    const int half = n >> 1;
    const int step = table.quarter * 4 / n;
    for (int k = 1, m = half - 1; k < m; ++k, --m) {
        const double c = table.c[k * step];
        const double s = table.c[table.quarter - k * step];
        double* pk = a + 2 * k;
        double* pm = a + 2 * m;
        const double dr = pk[0] - pm[0], di = pk[1] + pm[1];
        const double g1 = 0.5 - s;
        const double gr = g1 * dr - c * di, gi = g1 * di + c * dr;
        pk[0] -= gr;
        pk[1] -= gi;
        pm[0] += gr;
        pm[1] -= gi;
    }
}

// Inverse of realPostPass: rebuilds the half-length complex spectrum from the packed one.
void realPrePass(double* a, int n, const QuarterTable& table) {
    const int half = n >> 1;
    const int step = table.quarter * 4 / n;
    for (int k = 1, m = half - 1; k < m; ++k, --m) {
        const double c = table.c[k * step];
        const double s = table.c[table.quarter - k * step];
        double* pk = a + 2 * k;
        double* pm = a + 2 * m;
        const double yr = pk[0] - pm[0], yi = pk[1] + pm[1];
        const double g1 = 0.5 - s;
        const double hr = g1 * yr + c * yi, hi = g1 * yi - c * yr;
        pk[0] -= hr;
        pk[1] -= hi;
        pm[0] += hr;
        pm[1] -= hi;
    }
}

}  // namespace

void realDft(int n, int direction, double* a, int* ip, double* w) {
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
    const QuarterTable table{w + ip[0], ip[1]};
    const int half = n >> 1;
    if (direction >= 0) {
        complexDft(a, half, 1.0, table);
        realPostPass(a, n, table);
        const double sum = a[0] + a[1];
        a[1] = a[0] - a[1];
        a[0] = sum;
    } else {
        a[1] = 0.5 * (a[0] - a[1]);
        a[0] -= a[1];
        realPrePass(a, n, table);
        complexDft(a, half, -1.0, table);
    }
}

}  // namespace tanuvo::sound
