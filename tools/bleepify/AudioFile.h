#pragma once

#include <sndfile.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "tools/bleepify/TemporaryFile.h"

namespace tanuvo::bleepify {

// Reads any file libsndfile understands as one mono stream (channels averaged).
class AudioReader {
  public:
    // Throws ToolError for a missing, unreadable or unsupported file, and for one whose
    // container shows it cut short or damaged.
    explicit AudioReader(const std::string& path);
    ~AudioReader();
    AudioReader(const AudioReader&) = delete;
    AudioReader& operator=(const AudioReader&) = delete;

    int sampleRate() const { return info_.samplerate; }
    int channels() const { return info_.channels; }
    // As the file's header states it; only used for progress.
    int64_t frames() const { return info_.frames; }

    // Fills mono[0 .. count-1] and answers how many frames were read (0 at the end). Throws
    // ToolError when the decoder fails or yields fewer frames than the header states.
    int readMono(float* mono, int count);

  private:
    int readFrames(float* mono, int count);

    std::string path_;
    SNDFILE* file_ = nullptr;
    SF_INFO info_ = {};
    int64_t read_ = 0;
    std::vector<float> interleaved_;
};

// Writes a stereo file whose format follows the name's extension. The data goes to a temporary
// file beside the target that replaces it only on commit(), so a failed run leaves no partial
// output and an existing file untouched.
class AudioWriter {
  public:
    // Throws UsageError for an unknown extension and ToolError when the file cannot be made.
    AudioWriter(const std::string& path, int sampleRate, int channels);
    ~AudioWriter();
    AudioWriter(const AudioWriter&) = delete;
    AudioWriter& operator=(const AudioWriter&) = delete;

    // channelData holds channels() pointers of `frames` samples each.
    void write(const float* const* channelData, int frames);
    void commit();

    // The libsndfile format for a file name; throws UsageError for an unsupported extension.
    static int formatFor(const std::string& path);

  private:
    std::string path_;
    std::unique_ptr<TemporaryFile> temporary_;
    SNDFILE* file_ = nullptr;
    int channels_ = 0;
    std::vector<float> interleaved_;
};

// Writes a mono file completely (temporary file and rename, like AudioWriter).
void writeMonoFile(const std::string& path, const std::vector<float>& samples, int sampleRate);

}  // namespace tanuvo::bleepify
