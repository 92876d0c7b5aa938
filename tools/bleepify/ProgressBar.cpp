#include "tools/bleepify/ProgressBar.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>

namespace tanuvo::bleepify {

namespace {
constexpr auto kDelayBeforeShowing = std::chrono::milliseconds(300);
constexpr auto kRedrawInterval = std::chrono::milliseconds(100);
constexpr int kWidth = 40;
}  // namespace

ProgressBar::ProgressBar(std::string label, int64_t total)
    : label_(std::move(label)),
      total_(total),
      enabled_(total > 0 && isatty(STDERR_FILENO) == 1),
      start_(std::chrono::steady_clock::now()),
      lastDrawn_(start_) {}

ProgressBar::~ProgressBar() {
    if (shown_) {
        std::fprintf(stderr, "\r\033[K");
        std::fflush(stderr);
    }
}

void ProgressBar::update(int64_t done) {
    if (!enabled_) {
        return;
    }
    const auto now = std::chrono::steady_clock::now();
    if (now - start_ < kDelayBeforeShowing || (shown_ && now - lastDrawn_ < kRedrawInterval)) {
        return;
    }
    lastDrawn_ = now;
    shown_ = true;
    const double fraction = std::clamp(static_cast<double>(done) / total_, 0.0, 1.0);
    const int filled = static_cast<int>(fraction * kWidth);
    char bar[kWidth + 1];
    std::fill(bar, bar + filled, '#');
    std::fill(bar + filled, bar + kWidth, '.');
    bar[kWidth] = '\0';
    std::fprintf(stderr, "\r%s [%s] %3d%%", label_.c_str(), bar,
                 static_cast<int>(fraction * 100.0));
    std::fflush(stderr);
}

}  // namespace tanuvo::bleepify
