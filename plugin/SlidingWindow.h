#pragma once

#include <vector>

namespace tanuvo::sound::vst {

// Keeps the last `length` input samples so short host blocks still get a full analysis window.
struct SlidingWindow {
    static constexpr int kLength = 1024;

    explicit SlidingWindow(int blockSize, int windowLength = kLength);

    // Shifts in count samples of block (at most hop; fewer when the host sends a short block),
    // then refreshes work from history. Non-finite samples enter as silence, so one bad sample
    // cannot poison the analysis of the next thousand.
    void append(const float* block, int count);

    std::vector<float> work;  // copy of history handed to the detector and generator
    int length;
    int hop;                     // samples taken per block, at most length
    std::vector<float> history;  // the last `length` input samples, oldest first
};

}  // namespace tanuvo::sound::vst
