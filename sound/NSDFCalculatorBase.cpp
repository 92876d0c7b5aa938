#include "sound/NSDFCalculatorBase.h"

#include <algorithm>

namespace tanuvo::sound {

NSDFCalculatorBase::NSDFCalculatorBase(double sampleRate, int windowSize)
    : sampleRate_(sampleRate),
      windowSize_(std::max(windowSize, 0)),
      autocorrelation_(windowSize_),
      energy_(windowSize_) {}

}  // namespace tanuvo::sound
