#pragma once

#include <chrono>
#include <cstdint>
#include <string>

namespace tanuvo::bleepify {

// A one-line bar on stderr, shown only when stderr is a terminal and the work lasts long
// enough to be worth watching; it erases itself when done.
class ProgressBar {
  public:
    ProgressBar(std::string label, int64_t total);
    ~ProgressBar();
    ProgressBar(const ProgressBar&) = delete;
    ProgressBar& operator=(const ProgressBar&) = delete;

    void update(int64_t done);

  private:
    std::string label_;
    int64_t total_;
    bool enabled_;
    bool shown_ = false;
    std::chrono::steady_clock::time_point start_;
    std::chrono::steady_clock::time_point lastDrawn_;
};

}  // namespace tanuvo::bleepify
