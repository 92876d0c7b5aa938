#include "tools/bleepify/DemoPicture.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdio>

namespace tanuvo::bleepify {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr int kPlotWidth = 1000;
constexpr int kMargin = 50;
constexpr int kWaveHeight = 140;
constexpr int kSonogramHeight = 220;
constexpr int kTitleHeight = 24;
constexpr int kFftLength = 2048;
constexpr double kTopHz = 4000.0;
constexpr double kRangeDb = 80.0;

const Colour kBackground{24, 24, 32};
const Colour kFrame{90, 90, 110};
const Colour kGrid{50, 50, 64};
const Colour kText{220, 220, 230};
const Colour kInputColour{110, 180, 255};
const Colour kOutputColour{255, 170, 60};

// Iterative radix-2 transform, enough for a picture.
void fft(std::vector<std::complex<double>>& data) {
    const size_t n = data.size();
    for (size_t i = 1, j = 0; i < n; ++i) {
        size_t bit = n >> 1;
        for (; j & bit; bit >>= 1) {
            j ^= bit;
        }
        j ^= bit;
        if (i < j) {
            std::swap(data[i], data[j]);
        }
    }
    for (size_t length = 2; length <= n; length <<= 1) {
        const std::complex<double> step = std::polar(1.0, -2.0 * kPi / static_cast<double>(length));
        for (size_t start = 0; start < n; start += length) {
            std::complex<double> twiddle = 1.0;
            for (size_t k = 0; k < length / 2; ++k) {
                const std::complex<double> even = data[start + k];
                const std::complex<double> odd = data[start + k + length / 2] * twiddle;
                data[start + k] = even + odd;
                data[start + k + length / 2] = even - odd;
                twiddle *= step;
            }
        }
    }
}

// Black through blue, red and yellow to white.
Colour heat(double level) {
    level = std::clamp(level, 0.0, 1.0);
    const double stops[5][3] = {
        {0, 0, 0}, {30, 20, 140}, {200, 30, 60}, {255, 200, 40}, {255, 255, 255}};
    const double position = level * 4.0;
    const int index = std::min(3, static_cast<int>(position));
    const double fraction = position - index;
    auto mix = [&](int c) {
        return static_cast<uint8_t>(stops[index][c] +
                                    (stops[index + 1][c] - stops[index][c]) * fraction);
    };
    return {mix(0), mix(1), mix(2)};
}

void drawFrame(Picture& picture, int top, int height) {
    picture.horizontalLine(kMargin - 1, kMargin + kPlotWidth, top - 1, kFrame);
    picture.horizontalLine(kMargin - 1, kMargin + kPlotWidth, top + height, kFrame);
    picture.verticalLine(kMargin - 1, top - 1, top + height, kFrame);
    picture.verticalLine(kMargin + kPlotWidth, top - 1, top + height, kFrame);
}

void drawWaveform(Picture& picture, int top, const std::vector<float>& samples, Colour colour) {
    float peak = 0.0f;
    for (float sample : samples) {
        if (std::isfinite(sample)) {
            peak = std::max(peak, std::abs(sample));
        }
    }
    const float scale = peak > 0.0f ? 1.0f / peak : 1.0f;
    const int middle = top + kWaveHeight / 2;
    picture.horizontalLine(kMargin, kMargin + kPlotWidth - 1, middle, kGrid);
    const size_t count = samples.size();
    for (int x = 0; x < kPlotWidth && count > 0; ++x) {
        const size_t from = count * x / kPlotWidth;
        const size_t to = std::max(from + 1, count * (x + 1) / kPlotWidth);
        float low = 0.0f;
        float high = 0.0f;
        for (size_t i = from; i < to && i < count; ++i) {
            if (std::isfinite(samples[i])) {
                low = std::min(low, samples[i]);
                high = std::max(high, samples[i]);
            }
        }
        const int half = kWaveHeight / 2 - 2;
        picture.verticalLine(kMargin + x, middle - static_cast<int>(high * scale * half),
                             middle - static_cast<int>(low * scale * half), colour);
    }
    char label[48];
    std::snprintf(label, sizeof(label), "PEAK %.3g", peak);
    picture.text(kMargin + kPlotWidth - 6 * static_cast<int>(std::string(label).size()) - 4,
                 top + 4, label, kText);
}

void drawSonogram(Picture& picture, int top, const std::vector<float>& samples, int sampleRate) {
    const int bins = static_cast<int>(kTopHz * kFftLength / sampleRate);
    std::vector<double> window(kFftLength);
    for (int i = 0; i < kFftLength; ++i) {
        window[i] = 0.5 - 0.5 * std::cos(2.0 * kPi * i / (kFftLength - 1));
    }
    std::vector<std::vector<double>> columns(kPlotWidth, std::vector<double>(bins + 1, -300.0));
    double loudest = -300.0;
    std::vector<std::complex<double>> frame(kFftLength);
    const long count = static_cast<long>(samples.size());
    for (int x = 0; x < kPlotWidth; ++x) {
        const long centre = count * x / kPlotWidth;
        for (int i = 0; i < kFftLength; ++i) {
            const long at = centre - kFftLength / 2 + i;
            const float sample =
                at >= 0 && at < count && std::isfinite(samples[at]) ? samples[at] : 0.0f;
            frame[i] = sample * window[i];
        }
        fft(frame);
        for (int b = 0; b <= bins; ++b) {
            const double power = std::norm(frame[b]);
            columns[x][b] = power > 0.0 ? 10.0 * std::log10(power) : -300.0;
            loudest = std::max(loudest, columns[x][b]);
        }
    }
    for (int x = 0; x < kPlotWidth; ++x) {
        for (int y = 0; y < kSonogramHeight; ++y) {
            // Linear frequency, low at the bottom; nearest bin is fine at this size.
            const int bin = (kSonogramHeight - 1 - y) * bins / (kSonogramHeight - 1);
            const double level = (columns[x][bin] - (loudest - kRangeDb)) / kRangeDb;
            picture.set(kMargin + x, top + y, heat(level));
        }
    }
    for (int hz = 1000; hz < kTopHz; hz += 1000) {
        const int y =
            top + kSonogramHeight - 1 - static_cast<int>(hz / kTopHz * (kSonogramHeight - 1));
        picture.horizontalLine(kMargin - 5, kMargin - 2, y, kFrame);
        picture.text(8, y - 3, std::to_string(hz / 1000) + "K", kText);
    }
}

}  // namespace

Picture drawComparison(const std::vector<float>& input, const std::vector<float>& output,
                       int sampleRate, const std::string& outputTitle) {
    const int panel = kTitleHeight + kWaveHeight + 8 + kSonogramHeight + 16;
    Picture picture(kPlotWidth + 2 * kMargin, 2 * panel + 30, kBackground);
    struct Section {
        std::string title;
        const std::vector<float>* samples;
        Colour colour;
    };
    const Section sections[2] = {{"INPUT", &input, kInputColour},
                                 {"OUTPUT: " + outputTitle, &output, kOutputColour}};
    int top = 10;
    for (const Section& section : sections) {
        picture.text(kMargin, top + 4, section.title, section.colour, 2);
        top += kTitleHeight;
        drawFrame(picture, top, kWaveHeight);
        drawWaveform(picture, top, *section.samples, section.colour);
        top += kWaveHeight + 8;
        drawFrame(picture, top, kSonogramHeight);
        drawSonogram(picture, top, *section.samples, sampleRate);
        top += kSonogramHeight + 16;
    }
    // Time axis in seconds under the last panel.
    const double seconds = static_cast<double>(input.size()) / sampleRate;
    for (int s = 0; s <= static_cast<int>(seconds); ++s) {
        const int x = kMargin + static_cast<int>(s / seconds * kPlotWidth);
        picture.verticalLine(x, top - 16, top - 12, kFrame);
        picture.text(x - 2, top - 8, std::to_string(s) + (s == 0 ? " S" : ""), kText);
    }
    return picture;
}

}  // namespace tanuvo::bleepify
