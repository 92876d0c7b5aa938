#include "sound/RealDftWide.h"

#ifdef BLEEP_DFT_WIDE
#include "sound/RealDftKernels.h"

namespace tanuvo::sound {

void realDftWidePasses(int n, int direction, double* a, const double* quarterTable, int quarter) {
    const dftkernels::Quarter table{quarterTable, quarter};
    dftkernels::transform<dftkernels::v4d>(n, direction, a, table);
}

void realDftWidePasses(int n, int direction, double* a, const double* quarterTable, int quarter,
                       EnergySweep& sweep) {
    const dftkernels::Quarter table{quarterTable, quarter};
    dftkernels::SweepSideWork side{sweep};
    dftkernels::transform<dftkernels::v4d>(n, direction, a, table, side);
    sweep = side.sweep;
}

}  // namespace tanuvo::sound
#endif
