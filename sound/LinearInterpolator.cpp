#include "sound/LinearInterpolator.h"

namespace tanuvo::sound {

void LinearInterpolator::setPoints(const float* xValues, const float* yValues, int pointCount) {
    if (pointCount < 2 || xValues == nullptr || yValues == nullptr) {
        throw "Invalid Interpolate Size";
    }
    for (int i = 1; i < pointCount; ++i) {
        if (xValues[i - 1] >= xValues[i]) {
            throw "x is required strict increment";
        }
    }
    xs = xValues;
    ys = yValues;
    count = pointCount;
    lastInterval = 0;
}

float LinearInterpolator::evaluate(float x) {
    int i = restartSearch ? 0 : lastInterval;
    if (i < 0) {
        i = 0;
    }
    if (i >= count - 1) {
        return 0.0f;
    }
    for (; i < count - 1; ++i) {
        if (xs[i] <= x && x <= xs[i + 1]) {
            lastInterval = i;
            return (x - xs[i]) / (xs[i + 1] - xs[i]) * (ys[i + 1] - ys[i]) + ys[i];
        }
    }
    return -1.0f;
}

}  // namespace tanuvo::sound
