#include "sound/SawWavenizer.h"

#include <algorithm>

#include "sound/PeakFinding.h"
#include "sound/SineWavenizer.h"

namespace tanuvo::sound {

SawWavenizer::SawWavenizer(SineWavenizer* sine) : sine(sine) {
    if (sine != nullptr) {
        const int window = sine->windowLength();
        crossings.reserve(window / 2 + 1);
        previousCrossings.reserve(window / 2 + 1);
        // Two points per crossing plus the first and the predicted last one.
        pointX.reserve(window + 4);
        pointY.reserve(window + 4);
    }
}

void SawWavenizer::addPoint(float x, float y) {
    pointX.push_back(x);
    pointY.push_back(y);
}

void SawWavenizer::wavenize(float* buffer, int length, double frequency) {
    wavenizeTail(buffer, length, frequency, 0);
}

void SawWavenizer::wavenizeTail(float* buffer, int length, double frequency, int from) {
    if (!runSineForShaping(*this, sine, buffer, length, frequency) ||
        !findWholeCycles(crossings, buffer, length)) {
        return;
    }
    const int size = static_cast<int>(crossings.size());
    const int overlap = sine != nullptr ? sine->overlapSamples() : 0;
    const int offset = overlap > 0
                           ? carriedCycleStart(previousCrossings, length - overlap, crossings[0])
                           : carryOffset;
    const int last = crossings[size - 1];
    const int previous = crossings[size - 2];
    // Points increase by construction; one that does not (a repeated x) is left out so that
    // the interpolator never refuses the list.
    auto accepts = [&](float x) { return pointX.empty() || x > pointX.back(); };

    pointX.clear();
    pointY.clear();
    addPoint(0.0f, std::max(rangeMaximum(buffer, crossings[0], 0), carryAmplitude));
    for (int i = 0; i < size - 1; ++i) {
        const int v = crossings[i];
        const int next = crossings[i + 1];
        if (next - v > 2) {
            const float peak = rangeMaximum(buffer, next, v);
            const float below = static_cast<float>(v + offset - 1);
            if (accepts(below)) {
                addPoint(below, -peak);
                addPoint(static_cast<float>(v + offset + 1), peak);
            }
        }
    }
    const float peak = rangeMaximum(buffer, last, previous);
    const float lastPoints[3] = {
        static_cast<float>(last + offset - 1), static_cast<float>(last + offset + 1),
        // The predicted next crossing, never short of the buffer's end.
        static_cast<float>(std::max(2 * last - previous - 1, length - 1) + offset)};
    const float lastValues[3] = {-peak, peak, -peak};
    for (int k = 0; k < 3; ++k) {
        if (accepts(lastPoints[k])) {
            addPoint(lastPoints[k], lastValues[k]);
        }
    }

    if (pointX.size() >= 2) {
        interpolator.setPoints(pointX.data(), pointY.data(), static_cast<int>(pointX.size()));
        // The interval search resumes where the last one ended, and that is the first interval
        // holding the position either way: starting at from gives the same samples.
        from = std::clamp(from, 0, length);
        interpolator.evaluateAt(buffer + from, length - from, offset + from);
    }
    carryOffset = length - last;
    carryAmplitude = peak;
    crossings.swap(previousCrossings);
}

}  // namespace tanuvo::sound
