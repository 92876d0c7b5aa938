#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace bleepify_test {

struct RunResult {
    int status = -1;  // exit status, or -1 when the program did not exit normally
    std::string out;
    std::string err;
};

// Runs the built bleepify with these arguments (no shell), in workingDirectory when given, and
// collects its output.
RunResult runBleepify(const std::vector<std::string>& arguments,
                      const std::string& workingDirectory = "");

// Starts bleepify without waiting, its output discarded; answers the process id.
int startBleepify(const std::vector<std::string>& arguments);

struct Audio {
    int channels = 0;
    int sampleRate = 0;
    int64_t frames = 0;
    std::vector<float> samples;  // interleaved

    float at(int64_t frame, int channel) const {
        return samples[static_cast<size_t>(frame * channels + channel)];
    }
};

// Reads a whole file; fails the current test (and returns an empty Audio) when unreadable.
Audio readAudio(const std::string& path);

// Writes interleaved samples in the given libsndfile format.
void writeAudio(const std::string& path, int format, int channels, int sampleRate,
                const std::vector<float>& interleaved);

// A voiced test tone: harmonics of `hz` at half scale.
std::vector<float> voicedTone(double hz, int sampleRate, int64_t frames);

// A fresh directory removed again on destruction.
class ScratchDirectory {
  public:
    ScratchDirectory();
    ~ScratchDirectory();
    std::string path(const std::string& name) const { return path_ + "/" + name; }
    std::vector<std::string> entries() const;  // sorted file names

  private:
    std::string path_;
};

bool fileExists(const std::string& path);
std::string readText(const std::string& path);
void writeText(const std::string& path, const std::string& text);
// Overwrites four bytes of `bytes` at `offset` with `value`, least significant first.
void setLittleEndian32(std::string& bytes, size_t offset, uint32_t value);

}  // namespace bleepify_test
