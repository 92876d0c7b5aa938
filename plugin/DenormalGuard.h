#pragma once

#if defined(__SSE__) || defined(__x86_64__) || defined(_M_X64)
#include <xmmintrin.h>
#define BLEEP_HAVE_MXCSR 1
#endif

namespace tanuvo::sound::vst {

// Flushes denormals to zero for the lifetime of one audio callback and restores the host's
// floating-point mode afterwards: denormal arithmetic is slow and inaudible.
class DenormalGuard {
  public:
#if BLEEP_HAVE_MXCSR
    DenormalGuard() : saved(_mm_getcsr()) {
        _mm_setcsr(saved | kFlushToZero | kDenormalsAreZero);
    }
    ~DenormalGuard() {
        _mm_setcsr(saved);
    }

  private:
    static constexpr unsigned kFlushToZero = 0x8000;
    static constexpr unsigned kDenormalsAreZero = 0x0040;
    unsigned saved;
#endif
};

}  // namespace tanuvo::sound::vst
