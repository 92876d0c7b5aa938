#include "plugin/ParameterMaps.h"

#include "sound/LinearInterpolator.h"

namespace tanuvo::sound::vst {

double evaluateMap(LinearInterpolator& interpolator, const PointTable& table, float x) {
    interpolator.setPoints(table.x, table.y, table.count);
    return interpolator.evaluate(x);
}

}  // namespace tanuvo::sound::vst
