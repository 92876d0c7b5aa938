#pragma once

#include <atomic>
#include <vector>

#include "sound/IWavenizer.h"
#include "sound/LinearInterpolator.h"

namespace tanuvo::sound {

class SineWavenizer;

// Joins the sine's peaks and troughs by straight lines, or by stairs when stepCount > 1.
class TriangleWavenizer : public IWavenizer {
  public:
    TriangleWavenizer(SineWavenizer* sine, int stepCount);

    void wavenize(float* buffer, int length, double frequency) override;
    // The stairs leave out the segments that end before from, the line the samples before it.
    void wavenizeTail(float* buffer, int length, double frequency, int from) override;

    // Stairs per half-cycle that crosses zero (half as many when it stays on one side); 0 or
    // 1 gives the smooth triangle. Safe to write from another thread.
    std::atomic<int> stepCount;

    SineWavenizer* const sine;
    LinearInterpolator interpolator;

    // Replaces buffer[start .. end - 1] by stairs from `from` towards `to`; a segment shorter
    // than the step count is left as it is.
    static void stepSegment(float* buffer, int start, int end, float from, float to, int steps);

  private:
    void smooth(float* buffer, int length, int from);
    // Segments between extremes are independent: each writes only its own samples and reads
    // only the sine's values at its ends, which no segment changes. Those ending at or before
    // from are skipped.
    void stepped(float* buffer, int length, int steps, int from);

    std::vector<int> extremes;
    std::vector<float> knotX;
    std::vector<float> knotY;
};

}  // namespace tanuvo::sound
