#include "sound/LinearInterpolator.h"

#include "sound/FloatLanes.h"

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

int LinearInterpolator::findInterval(float x) {
    int i = restartSearch ? 0 : lastInterval;
    if (i < 0) {
        i = 0;
    }
    if (i >= count - 1) {
        return -2;
    }
    for (; i < count - 1; ++i) {
        if (xs[i] <= x && x <= xs[i + 1]) {
            lastInterval = i;
            return i;
        }
    }
    return -1;
}

float LinearInterpolator::evaluate(float x) {
    const int i = findInterval(x);
    if (i < 0) {
        return i == -2 ? 0.0f : -1.0f;
    }
    return (x - xs[i]) / (xs[i + 1] - xs[i]) * (ys[i + 1] - ys[i]) + ys[i];
}

void LinearInterpolator::evaluateAt(float* out, int n, int first) {
    if (restartSearch) {
        for (int k = 0; k < n; ++k) {
            out[k] = evaluate(static_cast<float>(first + k));
        }
        return;
    }
    int k = 0;
    while (k < n) {
        const int i = findInterval(static_cast<float>(first + k));
        if (i < 0) {
            out[k++] = i == -2 ? 0.0f : -1.0f;
            continue;
        }
        // Later positions up to the interval's end find it again, as the search starts there;
        // they take the same formula, four at a time.
        const float x0 = xs[i], dx = xs[i + 1] - xs[i], y0 = ys[i], dy = ys[i + 1] - ys[i];
        int end = k + 1;
        while (end < n && static_cast<float>(first + end) <= xs[i + 1]) {
            ++end;
        }
        for (; k + lanes::kWidth <= end; k += lanes::kWidth) {
            const lanes::v4i at = {first + k, first + k + 1, first + k + 2, first + k + 3};
            const lanes::v4f position = __builtin_convertvector(at, lanes::v4f);
            lanes::store(out + k, (position - x0) / dx * dy + y0);
        }
        for (; k < end; ++k) {
            out[k] = (static_cast<float>(first + k) - x0) / dx * dy + y0;
        }
    }
}

}  // namespace tanuvo::sound
