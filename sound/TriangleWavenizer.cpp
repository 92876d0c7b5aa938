#include "sound/TriangleWavenizer.h"

#include <cmath>

#include "sound/PeakFinding.h"
#include "sound/SineWavenizer.h"

namespace tanuvo::sound {

TriangleWavenizer::TriangleWavenizer(SineWavenizer* sine, int stepCount)
    : stepCount(stepCount), sine(sine) {
    if (sine != nullptr) {
        const int window = sine->windowLength();
        extremes.reserve(window);
        knotX.reserve(window + 2);
        knotY.reserve(window + 2);
    }
}

void TriangleWavenizer::wavenize(float* buffer, int length, double frequency) {
    if (!runSineForShaping(*this, sine, buffer, length, frequency)) {
        return;
    }
    extremes.clear();
    findRegionExtremes(extremes, buffer, length);
    const int steps = stepCount.load(std::memory_order_relaxed);
    if (steps > 1) {
        stepped(buffer, length, steps);
    } else {
        smooth(buffer, length);
    }
}

void TriangleWavenizer::smooth(float* buffer, int length) {
    if (extremes.size() < 2) {
        return;
    }
    knotX.clear();
    knotY.clear();
    auto addKnot = [&](int index) {
        // Knots must increase strictly or the interpolator refuses them.
        if (knotX.empty() || static_cast<float>(index) > knotX.back()) {
            knotX.push_back(static_cast<float>(index));
            knotY.push_back(buffer[index]);
        }
    };
    if (extremes.front() > 0) {
        addKnot(0);
    }
    for (int index : extremes) {
        addKnot(index);
    }
    if (extremes.back() < length - 1) {
        addKnot(length - 1);
    }
    interpolator.setPoints(knotX.data(), knotY.data(), static_cast<int>(knotX.size()));
    interpolator.evaluateAt(buffer, length, 0);
}

void TriangleWavenizer::stepped(float* buffer, int length, int steps) {
    int first = 0;
    const int size = static_cast<int>(extremes.size());
    if (size > 0 && extremes[0] == 0) {
        first = 1;
    }
    if (first >= size) {
        return;
    }
    const int* e = extremes.data() + first;
    const int count = size - first;
    stepSegment(buffer, 0, e[0], buffer[0], buffer[e[0]], steps);
    for (int i = 1; i < count - 1; ++i) {
        stepSegment(buffer, e[i - 1], e[i], buffer[e[i - 1]], buffer[e[i]], steps);
    }
    const int x = e[count - 1];
    const int a = count >= 2 ? e[count - 2] : e[0];
    if (x == length - 1) {
        stepSegment(buffer, a, length, buffer[a], buffer[x], steps);
    } else {
        stepSegment(buffer, a, x, buffer[a], buffer[x], steps);
        stepSegment(buffer, x, length, buffer[x], buffer[length - 1], steps);
    }
}

void TriangleWavenizer::stepSegment(float* buffer, int start, int end, float from, float to,
                                    int steps) {
    const int length = end - start;
    if (steps < 1 || length < steps) {
        return;
    }
    int n;
    float height;
    bool downward;
    if ((from > 0.0f && to > 0.0f) || (from < 0.0f && to < 0.0f)) {
        n = steps / 2;
        height = std::fabs(from - to);
        downward = from > to;
    } else {
        n = steps;
        height = std::fabs(from) + std::fabs(to);
        downward = from > 0.0f;
    }
    if (n < 1) {
        return;
    }
    int stepLength = length / n;
    if (stepLength < length % n) {
        // Fewer, longer stairs when the remainder would outgrow a stair.
        int r = n;
        while (r > 1 && !(length % r < length / r)) {
            --r;
        }
        n = r;
        stepLength = length / r;
    }
    const float stepHeight = height / static_cast<float>(n);

    float level = from;
    int boundary = start + stepLength;
    int taken = 0;
    int i = start;
    for (; i < end; ++i) {
        if (i == boundary) {
            if (++taken > n) {
                break;
            }
            level += downward ? -stepHeight : stepHeight;
            boundary += stepLength;
        }
        buffer[i] = level;
    }
    for (; i < end; ++i) {
        buffer[i] = to;
    }
}

}  // namespace tanuvo::sound
