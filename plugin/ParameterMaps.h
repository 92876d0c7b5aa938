#pragma once

namespace tanuvo::sound {
class LinearInterpolator;
}

namespace tanuvo::sound::vst {

// A fixed three-point table mapping a normalised parameter value to an internal value.
struct PointTable {
    static constexpr int kCount = 3;
    float x[kCount];
    float y[kCount];
    int count = kCount;
};

// The four tables the parameters use.
struct ParameterMaps {
    PointTable depthToSine{{0.0f, 0.5f, 1.0f}, {10.0f, 1.0f, 0.0f}};
    PointTable depthToGain{{0.0f, 0.9f, 1.0f}, {1.0f, 5.0f, 50.0f}};
    PointTable tone{{0.0f, 0.5f, 1.0f}, {1.5f, 5.0f, 15.0f}};
    PointTable steps{{0.0f, 0.5f, 1.0f}, {2.0f, 15.0f, 29.0f}};
};

// Piecewise-linear lookup in 32-bit floats: the first interval with x[i] <= x <= x[i+1] wins,
// so a value on a shared point uses the lower interval. Outside the table (or NaN): -1.0.
double evaluateMap(LinearInterpolator& interpolator, const PointTable& table, float x);

}  // namespace tanuvo::sound::vst
