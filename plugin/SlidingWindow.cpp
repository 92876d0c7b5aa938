#include "plugin/SlidingWindow.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace tanuvo::sound::vst {

SlidingWindow::SlidingWindow(int blockSize, int windowLength)
    : work(std::max(windowLength, 1), 0.0f),
      length(std::max(windowLength, 1)),
      hop(std::clamp(blockSize, 1, length)),
      history(length, 0.0f) {}

void SlidingWindow::append(const float* block, int count) {
    count = std::clamp(count, 0, hop);
    std::memmove(history.data(), history.data() + count, sizeof(float) * (length - count));
    float* newest = history.data() + (length - count);
    for (int i = 0; i < count; ++i) {
        newest[i] = std::isfinite(block[i]) ? block[i] : 0.0f;
    }
    std::memcpy(work.data(), history.data(), sizeof(float) * length);
}

}  // namespace tanuvo::sound::vst
