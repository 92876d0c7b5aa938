#include "tools/bleepify/PitchTrack.h"

#include <algorithm>
#include <vector>

#include "sound/NSDFCalculatorOFFT.h"
#include "sound/PitchDetectorNSDF.h"
#include "tools/bleepify/AudioFile.h"
#include "tools/bleepify/Renderer.h"

namespace tanuvo::bleepify {

void printPitchTrack(const std::string& inputPath, int blockSize, std::FILE* out) {
    AudioReader reader(inputPath);
    requireRateThePluginAccepts(inputPath, reader.sampleRate());
    const int windowSize = std::max(1024, blockSize);
    const double sampleRate = reader.sampleRate();
    // The calculator must outlive the detector that borrows it.
    sound::NSDFCalculatorOFFT calculator(sampleRate, windowSize);
    sound::PitchDetectorNSDF detector(sampleRate, windowSize, &calculator);

    // The window as the plug-in sees it: the newest samples at the end, sliding by one block.
    std::vector<float> window(static_cast<size_t>(windowSize), 0.0f);
    std::vector<float> block(static_cast<size_t>(blockSize));
    // Printed once the whole file has been read, so a damaged file prints nothing but its error.
    std::string rows = "time_s,hz\n";
    char row[64];
    long long start = 0;
    for (;;) {
        const int frames = reader.readMono(block.data(), blockSize);
        if (frames <= 0) {
            break;
        }
        std::fill(block.begin() + frames, block.end(), 0.0f);
        std::copy(window.begin() + blockSize, window.end(), window.begin());
        std::copy(block.begin(), block.end(), window.end() - blockSize);
        const double hz = detector.detectPitch(window.data(), windowSize);
        if (hz > 0.0) {
            std::snprintf(row, sizeof(row), "%.6f,%.3f\n", start / sampleRate, hz);
        } else {
            std::snprintf(row, sizeof(row), "%.6f,none\n", start / sampleRate);
        }
        rows += row;
        start += frames;
    }
    std::fputs(rows.c_str(), out);
}

}  // namespace tanuvo::bleepify
