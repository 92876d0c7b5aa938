#pragma once

#include <vector>

#include "sound/IWavenizer.h"
#include "sound/LinearInterpolator.h"

namespace tanuvo::sound {

class SineWavenizer;

// A falling ramp per sine cycle, from +peak just after an upward zero crossing down to -peak
// just before the next one.
class SawWavenizer : public IWavenizer {
  public:
    explicit SawWavenizer(SineWavenizer* sine);

    void wavenize(float* buffer, int length, double frequency) override;
    // Evaluates the line only from `from` on; the points come from the whole window, as in
    // wavenize.
    void wavenizeTail(float* buffer, int length, double frequency, int from) override;

    SineWavenizer* const sine;
    LinearInterpolator interpolator;
    // How far before this buffer's start the previous call's last upward crossing lay.
    int carryOffset = 0;
    // Peak of the previous call's last full cycle.
    float carryAmplitude = 0.0f;

  private:
    void addPoint(float x, float y);

    std::vector<int> crossings;
    std::vector<int> previousCrossings;  // the last call's, for a buffer that reaches back over it
    std::vector<float> pointX;
    std::vector<float> pointY;
};

}  // namespace tanuvo::sound
