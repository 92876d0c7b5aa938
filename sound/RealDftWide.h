#pragma once

namespace tanuvo::sound {

struct EnergySweep;

// The real DFT's passes built for four-double vectors (AVX2 and FMA). Only present in builds that
// define BLEEP_DFT_WIDE, and only called after the processor was found to support them.
void realDftWidePasses(int n, int direction, double* a, const double* quarterTable, int quarter);
// The same, taking steps of the sweep between its butterflies.
void realDftWidePasses(int n, int direction, double* a, const double* quarterTable, int quarter,
                       EnergySweep& sweep);

// Lets the real DFT use the wide passes when the build and the processor have them (the default)
// or keeps it on the portable ones; returns whether the wide passes are now in use. Both give
// the same transform to rounding; this exists so that both can be checked on one machine.
bool useWideRealDft(bool allowed);

}  // namespace tanuvo::sound
