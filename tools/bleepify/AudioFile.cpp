#include "tools/bleepify/AudioFile.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>

#include "tools/bleepify/ContainerCheck.h"
#include "tools/bleepify/ToolError.h"

namespace tanuvo::bleepify {

namespace {

std::string lowerExtension(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    const size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) {
        return {};
    }
    std::string extension = path.substr(dot + 1);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension;
}

// Bytes in one frame of an uncompressed sample format, 0 for a compressed one.
int bytesPerFrame(const SF_INFO& info) {
    switch (info.format & SF_FORMAT_SUBMASK) {
        case SF_FORMAT_PCM_S8:
        case SF_FORMAT_PCM_U8:
        case SF_FORMAT_ULAW:
        case SF_FORMAT_ALAW:
            return info.channels;
        case SF_FORMAT_PCM_16:
            return 2 * info.channels;
        case SF_FORMAT_PCM_24:
            return 3 * info.channels;
        case SF_FORMAT_PCM_32:
        case SF_FORMAT_FLOAT:
            return 4 * info.channels;
        case SF_FORMAT_DOUBLE:
            return 8 * info.channels;
        default:
            return 0;
    }
}

// libvorbis has encoder set-ups up to this rate and fails on the first write above it.
constexpr int kHighestVorbisRate = 200000;

}  // namespace

AudioReader::AudioReader(const std::string& path) : path_(path) {
    struct stat status;
    if (stat(path.c_str(), &status) != 0) {
        throw ToolError("cannot read " + path + ": " + std::strerror(errno));
    }
    if (S_ISDIR(status.st_mode)) {
        throw ToolError("cannot read " + path + ": it is a directory");
    }
    if (access(path.c_str(), R_OK) != 0) {
        throw ToolError("cannot read " + path + ": " + std::strerror(errno));
    }
    file_ = sf_open(path.c_str(), SFM_READ, &info_);
    if (file_ == nullptr) {
        throw ToolError(path + " is not an audio file in a supported format (" +
                        sf_strerror(nullptr) + ")");
    }
    if (info_.channels < 1 || info_.samplerate < 1) {
        sf_close(file_);
        throw ToolError(path + " has no audio channels or no sample rate");
    }
    // Only a regular file has a size to hold against its header (and can be read twice).
    const std::string fault =
        S_ISREG(status.st_mode) ? checkContainer(path, info_.format, bytesPerFrame(info_)) : "";
    if (!fault.empty()) {
        sf_close(file_);
        throw ToolError(path + " " + fault);
    }
}

AudioReader::~AudioReader() {
    sf_close(file_);
}

int AudioReader::readMono(float* mono, int count) {
    const int frames = readFrames(mono, count);
    if (sf_error(file_) != SF_ERR_NO_ERROR) {
        throw ToolError(path_ + " is damaged: " + sf_strerror(file_));
    }
    read_ += frames;
    // A short read is the end. The constructor found the file whole, so a header that still
    // promised more means data the decoder could not use.
    const bool lengthKnown = info_.frames > 0 && info_.frames != SF_COUNT_MAX;
    if (frames < count && lengthKnown && read_ < info_.frames) {
        throw ToolError(path_ + " is damaged: only " + std::to_string(read_) + " of " +
                        std::to_string(info_.frames) + " frames could be decoded");
    }
    return frames;
}

int AudioReader::readFrames(float* mono, int count) {
    if (info_.channels == 1) {
        return static_cast<int>(sf_readf_float(file_, mono, count));
    }
    const size_t channels = static_cast<size_t>(info_.channels);
    interleaved_.resize(static_cast<size_t>(count) * channels);
    const int frames = static_cast<int>(sf_readf_float(file_, interleaved_.data(), count));
    for (int i = 0; i < frames; ++i) {
        const float* frame = &interleaved_[static_cast<size_t>(i) * channels];
        float sum = 0.0f;
        for (size_t c = 0; c < channels; ++c) {
            sum += frame[c];
        }
        mono[i] = sum / static_cast<float>(channels);
    }
    return frames;
}

int AudioWriter::formatFor(const std::string& path) {
    const std::string extension = lowerExtension(path);
    // Float keeps levels above full scale (the effect has gain) and keeps a bypass bit-exact.
    if (extension == "wav") {
        return SF_FORMAT_WAV | SF_FORMAT_FLOAT;
    }
    if (extension == "aif" || extension == "aiff" || extension == "aifc") {
        return SF_FORMAT_AIFF | SF_FORMAT_FLOAT;
    }
    if (extension == "flac") {
        return SF_FORMAT_FLAC | SF_FORMAT_PCM_24;
    }
    if (extension == "ogg" || extension == "oga") {
        return SF_FORMAT_OGG | SF_FORMAT_VORBIS;
    }
    throw UsageError("unsupported output format " +
                     (extension.empty() ? std::string("(no extension)") : "." + extension) +
                     " for " + path + ": use .wav, .aiff, .flac or .ogg");
}

AudioWriter::AudioWriter(const std::string& path, int sampleRate, int channels)
    : path_(path), channels_(channels) {
    SF_INFO info = {};
    info.format = formatFor(path);
    info.samplerate = sampleRate;
    info.channels = channels;
    if ((info.format & SF_FORMAT_SUBMASK) == SF_FORMAT_VORBIS && sampleRate > kHighestVorbisRate) {
        throw ToolError("cannot write " + path + ": Ogg Vorbis cannot encode " +
                        std::to_string(sampleRate) + " Hz (at most " +
                        std::to_string(kHighestVorbisRate) + " Hz); use .wav or .aiff");
    }
    if (!sf_format_check(&info)) {
        throw ToolError("cannot write " + path + ": the format does not allow " +
                        std::to_string(sampleRate) + " Hz");
    }
    temporary_ = std::make_unique<TemporaryFile>(path);
    file_ = sf_open_fd(temporary_->descriptor(), SFM_WRITE, &info, SF_FALSE);
    if (file_ == nullptr) {
        throw ToolError("cannot write " + path + ": " + sf_strerror(nullptr));
    }
    sf_command(file_, SFC_SET_CLIPPING, nullptr, SF_TRUE);
}

AudioWriter::~AudioWriter() {
    if (file_ != nullptr) {
        sf_close(file_);
    }
}

void AudioWriter::write(const float* const* channelData, int frames) {
    const size_t channels = static_cast<size_t>(channels_);
    interleaved_.resize(static_cast<size_t>(frames) * channels);
    for (int i = 0; i < frames; ++i) {
        for (size_t c = 0; c < channels; ++c) {
            interleaved_[static_cast<size_t>(i) * channels + c] = channelData[c][i];
        }
    }
    if (sf_writef_float(file_, interleaved_.data(), frames) != frames) {
        throw ToolError("cannot write " + path_ + ": " + sf_strerror(file_));
    }
}

void AudioWriter::commit() {
    const int closeResult = sf_close(file_);
    file_ = nullptr;
    if (closeResult != 0) {
        throw ToolError("cannot write " + path_ + ": " + sf_error_number(closeResult));
    }
    temporary_->commit();
}

void writeMonoFile(const std::string& path, const std::vector<float>& samples, int sampleRate) {
    AudioWriter writer(path, sampleRate, 1);
    const float* channel = samples.data();
    writer.write(&channel, static_cast<int>(samples.size()));
    writer.commit();
}

}  // namespace tanuvo::bleepify
