#include "sound/SquareWavenizer.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "sound/FloatLanes.h"
#include "sound/PeakFinding.h"
#include "sound/SineWavenizer.h"

namespace tanuvo::sound {
namespace {

constexpr float kSilence = 1.1920929e-7f;

// Truncates a sample position without overflowing int on absurd ratios.
int toPosition(double value) {
    if (!(value == value)) {
        return 0;
    }
    return static_cast<int>(std::max(-1.0e9, std::min(1.0e9, std::trunc(value))));
}

// First index in [start, end) holding level and the last index of its run: -2 when the run
// reaches end, -1 for both when the level does not occur.
void findRun(const float* buffer, int start, int end, float level, int& first, int& last) {
    first = -1;
    last = -1;
    const lanes::v4f wanted = lanes::broadcast(level);
    int i = start;
    while (i + lanes::kWidth <= end && !lanes::any(lanes::load(buffer + i) == wanted)) {
        i += lanes::kWidth;
    }
    for (; i < end; ++i) {
        if (buffer[i] == level) {
            first = i;
            break;
        }
    }
    if (first < 0) {
        return;
    }
    // Clamped runs are long: four samples at a time up to the first that differs.
    int j = first;
    while (j + 1 + lanes::kWidth <= end && !lanes::any(lanes::load(buffer + j + 1) != wanted)) {
        j += lanes::kWidth;
    }
    while (j + 1 < end && buffer[j + 1] == level) {
        ++j;
    }
    last = (j + 1 >= end) ? -2 : j;
}

// buffer[i] = max(min(buffer[i] * gain, high), low) for every non-zero sample of [start, end).
void clampScaled(float* buffer, int start, int end, float gain, float low, float high) {
    const lanes::v4f zero = lanes::broadcast(0.0f);
    const lanes::v4f g = lanes::broadcast(gain);
    const lanes::v4f lo = lanes::broadcast(low);
    const lanes::v4f hi = lanes::broadcast(high);
    int i = start;
    for (; i + lanes::kWidth <= end; i += lanes::kWidth) {
        const lanes::v4f x = lanes::load(buffer + i);
        const lanes::v4f scaled = x * g;
        // The two comparisons of std::min and std::max, in their order.
        const lanes::v4f capped = lanes::select(hi < scaled, hi, scaled);
        const lanes::v4f clamped = lanes::select(capped < lo, lo, capped);
        lanes::store(buffer + i, lanes::select(x != zero, clamped, x));
    }
    for (; i < end; ++i) {
        if (buffer[i] != 0.0f) {
            buffer[i] = std::max(std::min(buffer[i] * gain, high), low);
        }
    }
}

void fill(float* buffer, int64_t from, int64_t to, float value) {
    for (int64_t i = from; i < to; ++i) {
        buffer[i] = value;
    }
}

}  // namespace

SquareWavenizer::SquareWavenizer(SineWavenizer* sine) : sine(sine) {
    if (sine != nullptr) {
        const int window = sine->windowLength();
        crossings.reserve(window / 2 + 1);
        previousCrossings.reserve(window / 2 + 1);
        edgeShape.reserve(window);
        newEdge.reserve(window);
    }
}

void SquareWavenizer::wavenize(float* buffer, int length, double frequency) {
    wavenizeTail(buffer, length, frequency, 0);
}

void SquareWavenizer::wavenizeTail(float* buffer, int length, double frequency, int from) {
    if (!runSineForShaping(*this, sine, buffer, length, frequency) ||
        !findWholeCycles(crossings, buffer, length)) {
        return;
    }
    const int size = static_cast<int>(crossings.size());
    const double duty = dutyRatio.load(std::memory_order_relaxed);
    const float toneGain = static_cast<float>(tone.load(std::memory_order_relaxed));
    auto cycleHigh = [&](int i) {
        return toPosition(static_cast<double>(crossings[i] - crossings[i - 1]) * duty);
    };
    auto shapeCycle = [&](int i, float* range) {
        rangeMinMax(range, buffer, crossings[i], crossings[i - 1]);
        return shapeSegment(buffer, crossings[i - 1], crossings[i], cycleHigh(i), range[0],
                            range[1], Segment::kCycle, toneGain);
    };

    // The cycle that ends at the first crossing began in the previous buffer, at lastCrossing.
    const int first = crossings[0];
    const int overlap = sine != nullptr ? sine->overlapSamples() : 0;
    const int carried = lastCrossing <= 0 ? 0
                        : overlap > 0
                            ? carriedCycleStart(previousCrossings, length - overlap, first)
                            : length - lastCrossing;
    int highLength = toPosition(static_cast<double>(first + carried) * duty - carried);
    shapeSegment(buffer, 0, first, highLength, lastMin, lastMax, Segment::kHead, toneGain);

    // A cycle writes only below its end, so the ones ending at or before from are not read.
    // Of those, only the newest that gives an edge matters: the tail may carry it. Each cycle
    // reads only its own samples, so skipping the others changes nothing else.
    int firstRead = 1;
    while (firstRead < size && crossings[firstRead] <= from) {
        ++firstRead;
    }
    float range[2] = {lastMin, lastMax};
    if (firstRead >= size) {
        rangeMinMax(range, buffer, crossings[size - 1], crossings[size - 2]);
    }
    if (toneGain > 1.0f) {
        float skippedRange[2];
        for (int i = firstRead - 1; i >= 1 && !shapeCycle(i, skippedRange); --i) {
        }
    }
    for (int i = firstRead; i < size; ++i) {
        shapeCycle(i, range);
    }
    highLength = cycleHigh(size - 1);
    const int last = crossings[size - 1];
    if (last < length) {
        shapeSegment(buffer, last, length, highLength, range[0], range[1], Segment::kTail,
                     toneGain);
    }
    lastMin = range[0];
    lastMax = range[1];
    lastCrossing = last;
    crossings.swap(previousCrossings);
}

bool SquareWavenizer::shapeSegment(float* buffer, int start, int end, int highLength, float min,
                                   float max, Segment mode, float toneGain) {
    if (toneGain <= 1.0f) {
        const int64_t highEnd = static_cast<int64_t>(start) + highLength;
        for (int i = start; i < end; ++i) {
            if (buffer[i] != 0.0f) {
                buffer[i] = i < highEnd ? max : min;
            }
        }
        return false;
    }
    if (max < kSilence && std::fabs(min) < kSilence) {
        return false;
    }
    clampScaled(buffer, start, end, toneGain, min, max);
    int r0, r1, r2, r3;
    findRun(buffer, start, end, max, r0, r1);
    findRun(buffer, start, end, min, r2, r3);

    // The falling edge: carried into the head and tail, taken afresh from every full cycle.
    const float* edge;
    int edgeLength;
    int zeroOffset = -1;
    const bool carriedEdge = mode != Segment::kCycle && !edgeShape.empty();
    if (carriedEdge) {
        edge = edgeShape.data();
        edgeLength = static_cast<int>(edgeShape.size());
        for (int k = 0; k < edgeLength; ++k) {
            if (edge[k] < 0.0f) {
                zeroOffset = k;
                break;
            }
        }
    } else {
        // Without a complete high run followed by a low run there is no edge to take.
        if (r1 < 0 || r2 < r1) {
            return false;
        }
        newEdge.assign(buffer + r1, buffer + r2);
        edge = newEdge.data();
        edgeLength = r2 - r1;
        zeroOffset = -1 - r1;
        for (int i = r1; i < end; ++i) {
            if (buffer[i] < 0.0f) {
                zeroOffset = i - r1;
                break;
            }
        }
    }

    int64_t p0 = r0;
    int64_t p1 = static_cast<int64_t>(start) + highLength - zeroOffset;
    int64_t p2 = p1 + edgeLength;
    int64_t p3 = r3;
    if (r3 == -2) {
        p3 = end;  // the low run lasts to the end of the segment
    }
    if (mode == Segment::kHead) {
        p0 = std::max<int64_t>(p0, start);
        p2 = std::max<int64_t>(p2, start);
    } else if (mode == Segment::kTail) {
        if (r0 < 0) {
            p0 = end;
        }
        p1 = std::min<int64_t>(p1, end);
        if (r3 < 0) {
            p3 = end;
        }
    }
    // Every write stays within [0, end) whatever the segment gave.
    fill(buffer, std::max<int64_t>(p0, 0), std::min<int64_t>(p1, end), max);
    for (int k = 0; k < edgeLength; ++k) {
        const int64_t position = p1 + k;
        if (position >= 0 && position < end) {
            buffer[position] = edge[k];
        }
    }
    fill(buffer, std::max<int64_t>(p2, 0), std::min<int64_t>(p3, end), min);

    if (!carriedEdge) {
        edgeShape.swap(newEdge);
    }
    return !carriedEdge;
}

}  // namespace tanuvo::sound
