#include "sound/RealDftWide.h"

#ifdef BLEEP_DFT_WIDE
#include "sound/RealDftKernels.h"

namespace tanuvo::sound {

void realDftWidePasses(int n, int direction, double* a, const double* quarterTable, int quarter) {
    const dftkernels::Quarter table{quarterTable, quarter};
    dftkernels::transform<dftkernels::v4d>(n, direction, a, table);
}

}  // namespace tanuvo::sound
#endif
