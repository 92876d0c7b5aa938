#pragma once

// Passes of the real DFT, written once over a vector type and compiled once per instruction set:
// the portable unit uses two-double vectors (SSE2, the floor on every target), a second unit
// four-double vectors. Everything here has internal linkage and uses nothing from the standard
// library, so that code built for the wider instruction set can never be shared with, and run
// by, the portable unit.

namespace tanuvo::sound {
namespace {
namespace dftkernels {

typedef double v2d __attribute__((vector_size(16)));
typedef double v2du __attribute__((vector_size(16), aligned(8), may_alias));

// Lanes are moved with __builtin_shufflevector and constant lane numbers, which GCC and clang
// both compile to the same shuffles: the clang-built sanitizer and fuzz runs test these passes.

// Quarter-turn cosine table c[q] = cos(2*pi*q/(4*quarter))/2 for 0 < q < quarter; the sine of the
// same angle is c[quarter - q].
struct Quarter {
    const double* c;
    int quarter;
    double cosine(int q) const { return q == 0 ? 1.0 : 2.0 * c[q]; }
    double sine(int q) const { return q == 0 ? 0.0 : 2.0 * c[quarter - q]; }
};

// Vectors hold the real or the imaginary parts of consecutive complex values. split() and
// merge() convert from and to the interleaved layout; the lanes then hold the values in the
// order 0, 1 (two doubles) or 0, 2, 1, 3 (four doubles), and every twiddle vector follows suit.
template <class V>
struct Lanes;

template <>
struct Lanes<v2d> {
    static constexpr int count = 2;
    static v2d load(const double* p) { return *reinterpret_cast<const v2du*>(p); }
    static void store(double* p, v2d v) { *reinterpret_cast<v2du*>(p) = v; }
    static v2d broadcast(double x) { return v2d{x, x}; }
    static void split(v2d a, v2d b, v2d& re, v2d& im) {
        re = __builtin_shufflevector(a, b, 0, 2);
        im = __builtin_shufflevector(a, b, 1, 3);
    }
    static void merge(v2d re, v2d im, v2d& a, v2d& b) {
        a = __builtin_shufflevector(re, im, 0, 2);
        b = __builtin_shufflevector(re, im, 1, 3);
    }
    static v2d reverse(v2d v) { return __builtin_shufflevector(v, v, 1, 0); }
    // The values for the elements base, base + 1, ... in lane order.
    template <class F>
    static v2d gather(F f, int base) {
        return v2d{f(base), f(base + 1)};
    }
    // p[0], p[2], ... and p[0], p[-2], ... in lane order.
    static v2d everyOther(const double* p) {
        return __builtin_shufflevector(load(p), load(p + 2), 0, 2);
    }
    static v2d everyOtherBackwards(const double* p) {
        return __builtin_shufflevector(load(p - 3), load(p - 1), 3, 1);
    }
    // p[0], p[1], ... and p[count - 1], p[count - 2], ... in lane order.
    static v2d ordered(const double* p) { return load(p); }
    static v2d orderedReversed(const double* p) { return reverse(load(p)); }
};

#ifdef __AVX__
typedef double v4d __attribute__((vector_size(32)));
typedef double v4du __attribute__((vector_size(32), aligned(8), may_alias));

// Splitting within 128-bit halves costs one instruction each way; it leaves the elements in the
// order 0, 2, 1, 3, which the twiddles follow.
template <>
struct Lanes<v4d> {
    static constexpr int count = 4;
    static v4d load(const double* p) { return *reinterpret_cast<const v4du*>(p); }
    static void store(double* p, v4d v) { *reinterpret_cast<v4du*>(p) = v; }
    static v4d broadcast(double x) { return v4d{x, x, x, x}; }
    static void split(v4d a, v4d b, v4d& re, v4d& im) {
        re = __builtin_shufflevector(a, b, 0, 4, 2, 6);
        im = __builtin_shufflevector(a, b, 1, 5, 3, 7);
    }
    static void merge(v4d re, v4d im, v4d& a, v4d& b) {
        a = __builtin_shufflevector(re, im, 0, 4, 2, 6);
        b = __builtin_shufflevector(re, im, 1, 5, 3, 7);
    }
    static v4d reverse(v4d v) { return __builtin_shufflevector(v, v, 3, 2, 1, 0); }
    template <class F>
    static v4d gather(F f, int base) {
        return v4d{f(base), f(base + 2), f(base + 1), f(base + 3)};
    }
    static v4d everyOther(const double* p) {
        return __builtin_shufflevector(load(p), load(p + 4), 0, 4, 2, 6);
    }
    static v4d everyOtherBackwards(const double* p) {
        return __builtin_shufflevector(load(p - 7), load(p - 3), 7, 3, 5, 1);
    }
    static v4d ordered(const double* p) {
        const v4d v = load(p);
        return __builtin_shufflevector(v, v, 0, 2, 1, 3);
    }
    static v4d orderedReversed(const double* p) {
        const v4d v = load(p);
        return __builtin_shufflevector(v, v, 3, 1, 2, 0);
    }
};
#endif

template <class V>
struct Complex {
    V re, im;
};

template <class V>
inline Complex<V> multiply(const Complex<V>& x, const Complex<V>& w) {
    return {x.re * w.re - x.im * w.im, x.re * w.im + x.im * w.re};
}

// i*sign*x.
template <int sign, class V>
inline Complex<V> rotate(const Complex<V>& x) {
    if (sign > 0) {
        return {-x.im, x.re};
    }
    return {x.im, -x.re};
}

// Between the passes the complex values are kept as blocks of one vector of real parts followed
// by one of imaginary parts, lanes in Lanes<V>::order; only the first pass reads, and the last
// pass writes, the interleaved layout.
template <class V, bool interleaved>
inline Complex<V> loadGroup(const double* p) {
    using L = Lanes<V>;
    Complex<V> z;
    if (interleaved) {
        L::split(L::load(p), L::load(p + L::count), z.re, z.im);
    } else {
        z.re = L::load(p);
        z.im = L::load(p + L::count);
    }
    return z;
}

template <class V>
inline void storeInterleaved(double* p, const Complex<V>& z) {
    using L = Lanes<V>;
    V a, b;
    L::merge(z.re, z.im, a, b);
    L::store(p, a);
    L::store(p + L::count, b);
}

template <class V>
inline void storeBlock(double* p, const Complex<V>& z) {
    Lanes<V>::store(p, z.re);
    Lanes<V>::store(p + Lanes<V>::count, z.im);
}

// Twiddles e^(sign*i*2*pi*j*step/(4*quarter)) for the elements j0, j0 + 1, ... in lane order.
// The first pass of a transform as long as its tables (step 2) reads them with vector loads.
template <class V, int sign>
__attribute__((always_inline)) inline Complex<V> twiddles(const Quarter& table, int j0, int step) {
    using L = Lanes<V>;
    if (step == 2 && j0 > 0) {
        return {
            L::broadcast(2.0) * L::everyOther(table.c + 2 * j0),
            L::broadcast(2.0 * sign) * L::everyOtherBackwards(table.c + table.quarter - 2 * j0)};
    }
    return {L::gather([&](int j) { return table.cosine(j * step); }, j0),
            L::gather([&](int j) { return sign * table.sine(j * step); }, j0)};
}

template <class V>
inline Complex<V> add(const Complex<V>& x, const Complex<V>& y) {
    return {x.re + y.re, x.im + y.im};
}

template <class V>
inline Complex<V> subtract(const Complex<V>& x, const Complex<V>& y) {
    return {x.re - y.re, x.im - y.im};
}

// Radix-4 decimation-in-frequency butterfly with the twiddles w^j, w^2j, w^3j; the outputs for
// frequencies 1 and 2 (mod 4) trade places so that the passes end in bit-reversed order.
template <class V, int sign>
inline void butterfly4(Complex<V>* x, const Complex<V>& w1, const Complex<V>& w2,
                       const Complex<V>& w3) {
    const Complex<V> s02 = add(x[0], x[2]);
    const Complex<V> d02 = subtract(x[0], x[2]);
    const Complex<V> s13 = add(x[1], x[3]);
    const Complex<V> r13 = rotate<sign>(subtract(x[1], x[3]));
    x[0] = add(s02, s13);
    x[1] = multiply(subtract(s02, s13), w2);
    x[2] = multiply(add(d02, r13), w1);
    x[3] = multiply(subtract(d02, r13), w3);
}

// First pass for a count with an odd number of bits: a radix-2 step whose halves go straight on
// through the next radix-4 step, so that the data is swept once for both.
template <class V, int sign>
void radix8FirstPass(double* a, int count, const Quarter& table) {
    using L = Lanes<V>;
    const int eighth = count >> 3;
    const int step = table.quarter * 4 / count;
    const V root = L::broadcast(0.70710678118654752440);
    for (int j = 0; j < eighth; j += L::count) {
        const Complex<V> w1 = twiddles<V, sign>(table, j, step);
        const Complex<V> w2 = multiply(w1, w1);
        const Complex<V> w4 = multiply(w2, w2);
        const Complex<V> w6 = multiply(w4, w2);
        Complex<V> even[4], odd[4];
#pragma GCC unroll 4
        for (int k = 0; k < 4; ++k) {
            const Complex<V> x0 = loadGroup<V, true>(a + 2 * (j + k * eighth));
            const Complex<V> x1 = loadGroup<V, true>(a + 2 * (j + (k + 4) * eighth));
            even[k] = add(x0, x1);
            // Twiddle w^(j + k*count/8): w^j turned by k eighths of a circle.
            const Complex<V> t = multiply(subtract(x0, x1), w1);
            const Complex<V> eighthTurn = {root * (t.re - sign * t.im),
                                           root * (t.im + sign * t.re)};
            odd[k] = k == 0   ? t
                     : k == 1 ? eighthTurn
                     : k == 2 ? rotate<sign>(t)
                              : rotate<sign>(eighthTurn);
        }
        butterfly4<V, sign>(even, w2, w4, w6);
        butterfly4<V, sign>(odd, w2, w4, w6);
#pragma GCC unroll 4
        for (int k = 0; k < 4; ++k) {
            storeBlock<V>(a + 2 * (j + k * eighth), even[k]);
            storeBlock<V>(a + 2 * (j + (k + 4) * eighth), odd[k]);
        }
    }
}

// Radix-2 first pass for the shortest such count in the portable build (eight values).
template <class V, int sign>
void radix2FirstPass(double* a, int count, const Quarter& table) {
    using L = Lanes<V>;
    const int half = count >> 1;
    const int quarter = count >> 2;
    const int step = table.quarter * 4 / count;
    for (int j = 0; j < quarter; j += L::count) {
        const Complex<V> w = twiddles<V, sign>(table, j, step);
        for (int part = 0; part < 2; ++part) {
            double* p0 = a + 2 * (j + part * quarter);
            double* p1 = p0 + 2 * half;
            const Complex<V> x0 = loadGroup<V, true>(p0);
            const Complex<V> x1 = loadGroup<V, true>(p1);
            storeBlock<V>(p0, add(x0, x1));
            const Complex<V> t = multiply(subtract(x0, x1), w);
            storeBlock<V>(p1, part == 0 ? t : rotate<sign>(t));
        }
    }
}

// Radix-4 decimation-in-frequency pass of length len (at least one vector per quarter).
template <class V, int sign, bool interleaved>
void radix4Pass(double* a, int count, int len, const Quarter& table) {
    using L = Lanes<V>;
    const int quarterLen = len >> 2;
    const int step = table.quarter * 4 / len;
    for (int j = 0; j < quarterLen; j += L::count) {
        const Complex<V> w1 = twiddles<V, sign>(table, j, step);
        const Complex<V> w2 = multiply(w1, w1);
        const Complex<V> w3 = multiply(w2, w1);
        for (int b = 0; b < count; b += len) {
            double* p = a + 2 * (b + j);
            Complex<V> x[4];
#pragma GCC unroll 4
            for (int k = 0; k < 4; ++k) {
                x[k] = loadGroup<V, interleaved>(p + 2 * k * quarterLen);
            }
            butterfly4<V, sign>(x, w1, w2, w3);
#pragma GCC unroll 4
            for (int k = 0; k < 4; ++k) {
                storeBlock<V>(p + 2 * k * quarterLen, x[k]);
            }
        }
    }
}

// 4-point DFT of the four complex values that start at p in block layout; y gets them in
// frequency order, one complex value per two-double vector.
template <int sign>
inline void dft4(const double* p, v2d* y) {
    const v2d re0 = Lanes<v2d>::load(p), im0 = Lanes<v2d>::load(p + 2);
    const v2d re1 = Lanes<v2d>::load(p + 4), im1 = Lanes<v2d>::load(p + 6);
    const v2d sr = re0 + re1, si = im0 + im1;  // s02, s13
    const v2d dr = re0 - re1, di = im0 - im1;  // d02, d13
    const v2d s02 = __builtin_shufflevector(sr, si, 0, 2);
    const v2d s13 = __builtin_shufflevector(sr, si, 1, 3);
    const v2d d02 = __builtin_shufflevector(dr, di, 0, 2);
    const v2d d13 = __builtin_shufflevector(di, dr, 1, 3);  // swapped: (d13 im, d13 re)
    const v2d r13 = d13 * v2d{-1.0 * sign, 1.0 * sign};
    y[0] = s02 + s13;
    y[1] = d02 + r13;
    y[2] = s02 - s13;
    y[3] = d02 - r13;
}

// Bit reversal of 8-bit values, for reversing indices a byte at a time.
struct ByteReversal {
    unsigned char table[256];
    constexpr ByteReversal() : table() {
        for (int i = 0; i < 256; ++i) {
            int r = 0;
            for (int b = 0; b < 8; ++b) {
                r |= ((i >> b) & 1) << (7 - b);
            }
            table[i] = static_cast<unsigned char>(r);
        }
    }
};
constexpr ByteReversal kByteReversal;

inline unsigned reverseBits(unsigned i, int bits) {
    const unsigned char* t = kByteReversal.table;
    if (bits <= 8) {
        return unsigned{t[i]} >> (8 - bits);
    }
    const unsigned r = (unsigned{t[i & 255]} << 24) | (unsigned{t[(i >> 8) & 255]} << 16) |
                       (unsigned{t[(i >> 16) & 255]} << 8) | unsigned{t[i >> 24]};
    return r >> (32 - bits);
}

// Last pass fused with the bit reversal that puts the frequencies in natural order. The 4-point
// DFT of the group at position T*count/4 + 4*M (top bits T, middle bits M) sends its output r to
// r*count/4 + 4*rev(M) + rev(T): the groups with middle bits M and rev(M) trade places, so each
// such pair is read whole before it is written.
template <class V, int sign, int sets>
struct ReorderedGroups {
    static void run(double* a, int row, const int* source) {
        v2d y[sets][4][4];
#pragma GCC unroll 4
        for (int set = 0; set < sets; ++set) {
#pragma GCC unroll 4
            for (int top = 0; top < 4; ++top) {
                dft4<sign>(a + 2 * (top * row + 4 * source[set]), y[set][top]);
            }
        }
#pragma GCC unroll 4
        for (int set = 0; set < sets; ++set) {
            double* target = a + 8 * source[sets - 1 - set];
#pragma GCC unroll 4
            for (int r = 0; r < 4; ++r) {
                Lanes<v2d>::store(target + 2 * r * row, y[set][0][r]);
                Lanes<v2d>::store(target + 2 * r * row + 2, y[set][2][r]);
                Lanes<v2d>::store(target + 2 * r * row + 4, y[set][1][r]);
                Lanes<v2d>::store(target + 2 * r * row + 6, y[set][3][r]);
            }
        }
    }
};

#ifdef __AVX__
// With four-double blocks a group is one block, its lanes holding the values 0, 2, 1, 3. Each
// group's outputs come out as (y0, y2) and (y1, y3); the four outputs of a row, one from each
// group, make two stores.
template <int sign, int sets>
struct ReorderedGroups<v4d, sign, sets> {
    static void dft4(const double* p, v4d& even, v4d& odd) {
        const v4d re = Lanes<v4d>::load(p), im = Lanes<v4d>::load(p + 4);
        const v4d alternate = {1.0, -1.0, 1.0, -1.0};
        // (x0 + x2, x0 - x2, x1 + x3, x1 - x3)
        const v4d tr = __builtin_shufflevector(re, re, 0, 0, 2, 2) +
                       __builtin_shufflevector(re, re, 1, 1, 3, 3) * alternate;
        const v4d ti = __builtin_shufflevector(im, im, 0, 0, 2, 2) +
                       __builtin_shufflevector(im, im, 1, 1, 3, 3) * alternate;
        const v4d outRe =
            __builtin_shufflevector(tr, tr, 0, 1, 0, 1) +
            __builtin_shufflevector(tr, ti, 2, 7, 2, 7) * v4d{1.0, -1.0 * sign, -1.0, 1.0 * sign};
        const v4d outIm =
            __builtin_shufflevector(ti, ti, 0, 1, 0, 1) +
            __builtin_shufflevector(ti, tr, 2, 7, 2, 7) * v4d{1.0, 1.0 * sign, -1.0, -1.0 * sign};
        even = __builtin_shufflevector(outRe, outIm, 0, 4, 2, 6);
        odd = __builtin_shufflevector(outRe, outIm, 1, 5, 3, 7);
    }

    static void run(double* a, int row, const int* source) {
        v4d y[sets][2][4];  // [set][even, odd][top]
#pragma GCC unroll 4
        for (int set = 0; set < sets; ++set) {
#pragma GCC unroll 4
            for (int top = 0; top < 4; ++top) {
                dft4(a + 2 * (top * row + 4 * source[set]), y[set][0][top], y[set][1][top]);
            }
        }
#pragma GCC unroll 4
        for (int set = 0; set < sets; ++set) {
            double* target = a + 8 * source[sets - 1 - set];
#pragma GCC unroll 4
            for (int r = 0; r < 4; ++r) {
                const v4d* parts = y[set][r & 1];
                double* p = target + 2 * r * row;
                if (r < 2) {
                    Lanes<v4d>::store(p, __builtin_shufflevector(parts[0], parts[2], 0, 1, 4, 5));
                    Lanes<v4d>::store(p + 4,
                                      __builtin_shufflevector(parts[1], parts[3], 0, 1, 4, 5));
                } else {
                    Lanes<v4d>::store(p, __builtin_shufflevector(parts[0], parts[2], 2, 3, 6, 7));
                    Lanes<v4d>::store(p + 4,
                                      __builtin_shufflevector(parts[1], parts[3], 2, 3, 6, 7));
                }
            }
        }
    }
};
#endif

// count >= 4 * Lanes<V>::count values in block layout (counts below 16 only in the portable
// build).
template <class V, int sign>
void radix4LastPassReordered(double* a, int count) {
    const int bits = __builtin_ctz(static_cast<unsigned>(count));
    if (bits < 4) {
        // Four or eight values: one or two groups; output r of group g is frequency r*count/4 + g.
        v2d y[8];
        for (int g = 0; g < count; g += 4) {
            dft4<sign>(a + 2 * g, y + g);
        }
        for (int i = 0; i < count; ++i) {
            Lanes<v2d>::store(a + 2 * ((i % 4) * (count / 4) + i / 4), y[i]);
        }
        return;
    }
    const int middleBits = bits - 4;
    const int row = count >> 2;
    for (int middle = 0; middle < (1 << middleBits); ++middle) {
        const int source[2] = {
            middle, static_cast<int>(reverseBits(static_cast<unsigned>(middle), middleBits))};
        if (source[1] == middle) {
            ReorderedGroups<V, sign, 1>::run(a, row, source);
        } else if (source[1] > middle) {
            ReorderedGroups<V, sign, 2>::run(a, row, source);
        }
    }
}

// DFT of count complex values (count >= 4 * Lanes<V>::count, a power of two) in natural order,
// unscaled, with the kernel e^(sign*i*...).
template <class V, int sign>
void complexDft(double* a, int count, const Quarter& table) {
    using L = Lanes<V>;
    int len = count;
    bool interleaved = true;
    if ((__builtin_ctz(static_cast<unsigned>(count)) & 1) != 0) {
        if (count >= 8 * L::count) {
            radix8FirstPass<V, sign>(a, count, table);
            len >>= 3;
        } else {
            radix2FirstPass<V, sign>(a, count, table);
            len >>= 1;
        }
        interleaved = false;
    }
    for (; len >= 4 * L::count; len >>= 2) {
        if (interleaved) {
            radix4Pass<V, sign, true>(a, count, len, table);
            interleaved = false;
        } else {
            radix4Pass<V, sign, false>(a, count, len, table);
        }
    }
    if (interleaved) {
        // Only four values, the last pass is the first: bring them into block layout.
        for (int g = 0; g < count; g += L::count) {
            storeBlock<V>(a + 2 * g, loadGroup<V, true>(a + 2 * g));
        }
    }
    radix4LastPassReordered<V, sign>(a, count);
}

// Pairs (k, half - k) of the packed spectrum of n reals, k = 1 .. n/4 - 1: forward splits the
// half-length complex spectrum into the real one, inverse rebuilds it. The mirrored values are
// loaded in reverse so that lane l of both vectors holds one pair.
template <class V, bool forward>
void realPass(double* a, int n, const Quarter& table) {
    using L = Lanes<V>;
    const int half = n >> 1;
    const int quarterN = n >> 2;
    const int step = table.quarter * 4 / n;
    const V halfV = L::broadcast(0.5);
    int k = 1;
    for (; k + L::count <= quarterN; k += L::count) {
        double* pk = a + 2 * k;
        double* pm = a + 2 * (half - k - L::count + 1);
        Complex<V> zk = loadGroup<V, true>(pk);
        Complex<V> zm = loadGroup<V, true>(pm);
        zm.re = L::reverse(zm.re);
        zm.im = L::reverse(zm.im);
        V c, s;
        if (step == 1) {
            c = L::ordered(table.c + k);
            s = L::orderedReversed(table.c + table.quarter - k - L::count + 1);
        } else {
            c = L::gather([&](int j) { return table.c[j * step]; }, k);
            s = L::gather([&](int j) { return table.c[table.quarter - j * step]; }, k);
        }
        const V g1 = halfV - s;
        const V dr = zk.re - zm.re, di = zk.im + zm.im;
        V gr, gi;
        if (forward) {
            gr = g1 * dr - c * di;
            gi = g1 * di + c * dr;
        } else {
            gr = g1 * dr + c * di;
            gi = g1 * di - c * dr;
        }
        zk.re -= gr;
        zk.im -= gi;
        zm.re = L::reverse(zm.re + gr);
        zm.im = L::reverse(zm.im - gi);
        storeInterleaved<V>(pk, zk);
        storeInterleaved<V>(pm, zm);
    }
    for (; k < quarterN; ++k) {
        const int q = k * step;
        const double c = table.c[q];
        const double s = table.c[table.quarter - q];
        double* pk = a + 2 * k;
        double* pm = a + 2 * (half - k);
        const double dr = pk[0] - pm[0], di = pk[1] + pm[1];
        const double g1 = 0.5 - s;
        const double gr = forward ? g1 * dr - c * di : g1 * dr + c * di;
        const double gi = forward ? g1 * di + c * dr : g1 * di - c * dr;
        pk[0] -= gr;
        pk[1] -= gi;
        pm[0] += gr;
        pm[1] -= gi;
    }
}

// The whole transform for n >= 32 once the tables are current.
template <class V>
void transform(int n, int direction, double* a, const Quarter& table) {
    if (direction >= 0) {
        complexDft<V, 1>(a, n >> 1, table);
        realPass<V, true>(a, n, table);
        const double sum = a[0] + a[1];
        a[1] = a[0] - a[1];
        a[0] = sum;
    } else {
        a[1] = 0.5 * (a[0] - a[1]);
        a[0] -= a[1];
        realPass<V, false>(a, n, table);
        complexDft<V, -1>(a, n >> 1, table);
    }
}

}  // namespace dftkernels
}  // namespace
}  // namespace tanuvo::sound
