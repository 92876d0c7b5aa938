#include "sound/NoiseWavenizer.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "sound/PeakFinding.h"
#include "sound/SineWavenizer.h"

namespace tanuvo::sound {
namespace {

// The most clock phase a clock may leave. The register is clocked at most once per sample, so
// when 25 times the pitch exceeds the sample rate the phase would gain on every sample and run
// the clock fast long after the note: then it keeps no more than the threshold. Otherwise there is
// no cap: the clock keeps up, and what an upward pitch step leaves over is worked off in the
// samples that follow.
inline double clockCap(const NoiseSource& source, double threshold) {
    return source.phaseStep > threshold ? threshold : std::numeric_limits<double>::infinity();
}

// One sample of the register's clock; returns the level after it.
inline int clockStep(NoiseSource& source, double threshold, double cap, int tap) {
    if (source.phase > threshold) {
        const int shifted = source.shiftRegister >> 1;
        const int feedback = ((shifted >> tap) ^ shifted) & 1;
        source.shiftRegister = shifted | (feedback << 15);
        source.output = 2 * (source.shiftRegister & 1) - 1;
        source.phase = std::min(source.phase - threshold, cap);
    }
    source.phase += source.phaseStep;
    return source.output;
}

}  // namespace

NoiseWavenizer::NoiseWavenizer(SineWavenizer* sine, NoiseSource* noiseSource, bool shortMode)
    : sine(sine), noiseSource(noiseSource), shortMode(shortMode) {
    if (sine != nullptr) {
        // A window holds at most one upward crossing per two samples.
        crossings.reserve(sine->windowLength() / 2 + 1);
        levels.assign(sine->windowLength(), 0);
    }
}

void NoiseWavenizer::wavenize(float* buffer, int length, double frequency) {
    wavenizeTail(buffer, length, frequency, 0);
}

void NoiseWavenizer::wavenizeTail(float* buffer, int length, double frequency, int from) {
    if (!runSineForShaping(*this, sine, buffer, length, frequency)) {
        return;
    }
    if (noiseSource == nullptr) {
        return;
    }
    const double rate = clockRatio * frequency;
    if (length > static_cast<int>(levels.size())) {
        // Longer than the window the sine was built for: crossings first, then segment by
        // segment.
        if (!findWholeCycles(crossings, buffer, length)) {
            return;
        }
        const int size = static_cast<int>(crossings.size());
        noiseSegment(buffer, 0, crossings[0], lastMin, lastMax, rate);
        float range[2] = {0.0f, 0.0f};
        for (int i = 1; i < size; ++i) {
            rangeMinMax(range, buffer, crossings[i], crossings[i - 1]);
            noiseSegment(buffer, crossings[i - 1], crossings[i], range[0], range[1], rate);
        }
        if (crossings[size - 1] != length) {
            noiseSegment(buffer, crossings[size - 1], length, range[0], range[1], rate);
        }
        lastMin = range[0];
        lastMax = range[1];
        return;
    }

    // The clock is a chain of dependent steps that the sine does not feed: its levels for the
    // whole window are taken in the sweep that finds the crossings, whose work then hides the
    // chain's latency. A window without a full cycle leaves the source as it was.
    // A local copy keeps the clock in registers: the levels' byte stores could alias the source.
    NoiseSource source = *noiseSource;
    const double threshold = 2.0 / rate;
    const double cap = clockCap(source, threshold);
    const int tap = shortMode ? 6 : 1;
    signed char* level = levels.data();
    crossings.clear();
    if (length > 0) {
        level[0] = static_cast<signed char>(clockStep(source, threshold, cap, tap));
    }
    for (int i = 1; i < length; ++i) {
        level[i] = static_cast<signed char>(clockStep(source, threshold, cap, tap));
        if (buffer[i - 1] <= 0.0f && buffer[i] > 0.0f) {
            crossings.push_back(i);
        }
    }
    const int size = static_cast<int>(crossings.size());
    if (size < 2) {
        return;
    }
    *noiseSource = source;
    // The levels scaled segment by segment, as noiseSegment() scales them; the samples before
    // from are not read. A cycle's range reads only its own samples, which are still the sine's.
    const auto scale = [&](int start, int end, float min, float max) {
        const float amplitude = std::max(std::fabs(min), std::fabs(max));
        for (int i = std::max(start, from); i < end; ++i) {
            buffer[i] = static_cast<float>(static_cast<float>(level[i] * amplitude) * gain);
        }
    };
    scale(0, crossings[0], lastMin, lastMax);
    int firstRead = 1;
    while (firstRead < size - 1 && crossings[firstRead] <= from) {
        ++firstRead;
    }
    float range[2] = {0.0f, 0.0f};
    for (int i = firstRead; i < size; ++i) {
        rangeMinMax(range, buffer, crossings[i], crossings[i - 1]);
        scale(crossings[i - 1], crossings[i], range[0], range[1]);
    }
    scale(crossings[size - 1], length, range[0], range[1]);
    lastMin = range[0];
    lastMax = range[1];
}

void NoiseWavenizer::noiseSegment(float* buffer, int start, int end, float min, float max,
                                  double rate) {
    if (noiseSource == nullptr) {
        return;
    }
    NoiseSource& source = *noiseSource;
    const float amplitude = std::max(std::fabs(min), std::fabs(max));
    const double threshold = 2.0 / rate;
    const double cap = clockCap(source, threshold);
    const int tap = shortMode ? 6 : 1;
    for (int i = std::max(0, start); i < end; ++i) {
        const int output = clockStep(source, threshold, cap, tap);
        buffer[i] = static_cast<float>(static_cast<float>(output * amplitude) * gain);
    }
}

}  // namespace tanuvo::sound
