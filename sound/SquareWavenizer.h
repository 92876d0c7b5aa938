#pragma once

#include <atomic>
#include <vector>

#include "sound/IWavenizer.h"

namespace tanuvo::sound {

class SineWavenizer;

// Squares the sine cycle by cycle: the rising edge stays at the sine's upward zero crossing,
// the falling edge moves to dutyRatio of the cycle, and the levels are the cycle's extremes.
class SquareWavenizer : public IWavenizer {
  public:
    explicit SquareWavenizer(SineWavenizer* sine);

    void wavenize(float* buffer, int length, double frequency) override;
    void wavenizeTail(float* buffer, int length, double frequency, int from) override;

    // Fraction of a cycle spent high. Safe to write from another thread.
    std::atomic<double> dutyRatio{0.25};
    // Gain on the sine before clipping; 1.0 or less gives the ideal square. Safe to write from
    // another thread.
    std::atomic<double> tone{8.0};

    SineWavenizer* const sine;
    int lastCrossing = 0;
    float lastMin = 0.0f;
    float lastMax = 0.0f;
    // Falling-edge template carried into the head and tail segments of later calls.
    std::vector<float> edgeShape;

  private:
    enum class Segment { kHead, kCycle, kTail };

    // True when the segment gave a new falling edge, which later heads and tails carry.
    bool shapeSegment(float* buffer, int start, int end, int highLength, float min, float max,
                      Segment mode, float toneGain);

    std::vector<int> crossings;
    std::vector<int> previousCrossings;  // the last call's, for a buffer that reaches back over it
    std::vector<float> newEdge;
};

}  // namespace tanuvo::sound
