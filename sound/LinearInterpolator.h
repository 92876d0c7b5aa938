#pragma once

namespace tanuvo::sound {

// Piecewise-linear function over caller-owned points with strictly increasing x.
// Remembers the interval of the last hit so that reading positions in increasing order
// costs one pass over the intervals in all.
class LinearInterpolator {
  public:
    const float* xs = nullptr;
    const float* ys = nullptr;
    int count = 0;
    // When set, every search starts at the first interval instead of the remembered one.
    bool restartSearch = false;
    int lastInterval = 0;

    // Throws the plain message "Invalid Interpolate Size" (count < 2) or
    // "x is required strict increment"; stores nothing then. Resets the remembered interval.
    void setPoints(const float* xValues, const float* yValues, int pointCount);

    // The function's value at x. From the search start onward no interval holding x (or x is
    // not a number): -1.0. No interval left to try at all: 0.0.
    float evaluate(float x);

    // out[k] = evaluate(first + k) for k < n, computed a stretch of positions at a time.
    void evaluateAt(float* out, int n, int first);

  private:
    // The interval evaluate(x) uses, or -1 when none from the search start holds x, or -2 when
    // there is none left to try.
    int findInterval(float x);
};

}  // namespace tanuvo::sound
