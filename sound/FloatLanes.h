#pragma once

// Four floats (or two doubles) at a time for the loops over a window, in the compiler's vector
// extensions so that the same code builds for every target. Each lane does exactly what the plain
// loop did for its sample, so the results are bitwise those of the plain loop.

// For the glue loops around the transforms: conversions, products, sums and quotients, each
// rounded once whatever the vector width, and without FMA nothing is fused, so an AVX2 build of
// them, picked at load time, gives the same bits twice as wide. Only ELF has the loader's help.
// ThreadSanitizer's runtime is not set up yet when the loader runs the clones' resolvers, so a
// thread-sanitized build keeps the plain glue (the transforms themselves are the same).
#if defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define BLEEP_THREAD_SANITIZER 1
#endif
#endif
#if defined(__SANITIZE_THREAD__)
#define BLEEP_THREAD_SANITIZER 1
#endif
#if defined(__x86_64__) && defined(__ELF__) && (defined(__GNUC__) || defined(__clang__)) && \
    !defined(BLEEP_THREAD_SANITIZER)
#define BLEEP_WIDE_GLUE __attribute__((target_clones("avx2", "default")))
#else
#define BLEEP_WIDE_GLUE
#endif

namespace tanuvo::sound::lanes {

typedef float v4f __attribute__((vector_size(16)));
typedef int v4i __attribute__((vector_size(16)));
typedef float v4fu __attribute__((vector_size(16), aligned(4), may_alias));

typedef double v2d __attribute__((vector_size(16)));
typedef double v2du __attribute__((vector_size(16), aligned(8), may_alias));

constexpr int kWidth = 4;

inline v4f load(const float* p) {
    return *reinterpret_cast<const v4fu*>(p);
}
inline void store(float* p, v4f v) {
    *reinterpret_cast<v4fu*>(p) = v;
}
inline v2d load(const double* p) {
    return *reinterpret_cast<const v2du*>(p);
}
inline void store(double* p, v2d v) {
    *reinterpret_cast<v2du*>(p) = v;
}
inline v4f broadcast(float x) {
    return v4f{x, x, x, x};
}
// Lanes of a where the mask is set, of b elsewhere.
inline v4f select(v4i mask, v4f a, v4f b) {
    return reinterpret_cast<v4f>((mask & reinterpret_cast<v4i>(a)) |
                                 (~mask & reinterpret_cast<v4i>(b)));
}
inline bool any(v4i mask) {
    return ((mask[0] | mask[1]) | (mask[2] | mask[3])) != 0;
}

}  // namespace tanuvo::sound::lanes
