#include "tests/integration/bleepify/BleepifyTestSupport.h"

#include <fcntl.h>
#include <sndfile.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

namespace bleepify_test {

namespace {

[[noreturn]] void execBleepify(const std::vector<std::string>& arguments) {
    // The tests exercise the built-in default, not whatever the caller's shell points at.
    unsetenv("BLEEPIFY_PLUGIN");
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(BLEEPIFY_EXE));
    for (const std::string& argument : arguments) {
        argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);
    execv(BLEEPIFY_EXE, argv.data());
    _exit(127);
}

}  // namespace

int startBleepify(const std::vector<std::string>& arguments) {
    const pid_t child = fork();
    if (child == 0) {
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, STDOUT_FILENO);
        dup2(null, STDERR_FILENO);
        execBleepify(arguments);
    }
    return child;
}

RunResult runBleepify(const std::vector<std::string>& arguments,
                      const std::string& workingDirectory) {
    ScratchDirectory capture;
    const std::string outPath = capture.path("stdout");
    const std::string errPath = capture.path("stderr");
    const pid_t child = fork();
    if (child == 0) {
        const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(out, STDOUT_FILENO);
        dup2(err, STDERR_FILENO);
        if (!workingDirectory.empty() && chdir(workingDirectory.c_str()) != 0) {
            _exit(126);
        }
        execBleepify(arguments);
    }
    RunResult result;
    int status = 0;
    if (child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status)) {
        result.status = WEXITSTATUS(status);
    }
    result.out = readText(outPath);
    result.err = readText(errPath);
    return result;
}

Audio readAudio(const std::string& path) {
    Audio audio;
    SF_INFO info = {};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (file == nullptr) {
        ADD_FAILURE() << "cannot read " << path << ": " << sf_strerror(nullptr);
        return audio;
    }
    audio.channels = info.channels;
    audio.sampleRate = info.samplerate;
    audio.samples.resize(static_cast<size_t>(info.frames * info.channels));
    audio.frames = sf_readf_float(file, audio.samples.data(), info.frames);
    audio.samples.resize(static_cast<size_t>(audio.frames * info.channels));
    sf_close(file);
    return audio;
}

void writeAudio(const std::string& path, int format, int channels, int sampleRate,
                const std::vector<float>& interleaved) {
    SF_INFO info = {};
    info.format = format;
    info.channels = channels;
    info.samplerate = sampleRate;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    ASSERT_NE(file, nullptr) << path << ": " << sf_strerror(nullptr);
    const sf_count_t frames = static_cast<sf_count_t>(interleaved.size()) / channels;
    EXPECT_EQ(sf_writef_float(file, interleaved.data(), frames), frames);
    sf_close(file);
}

std::vector<float> voicedTone(double hz, int sampleRate, int64_t frames) {
    std::vector<float> samples(static_cast<size_t>(frames));
    const double pi = 3.14159265358979323846;
    for (int64_t i = 0; i < frames; ++i) {
        const double t = static_cast<double>(i) / sampleRate;
        double value = 0.0;
        for (int k = 1; k <= 5; ++k) {
            value += std::sin(2.0 * pi * hz * k * t) / k;
        }
        samples[static_cast<size_t>(i)] = static_cast<float>(0.3 * value);
    }
    return samples;
}

ScratchDirectory::ScratchDirectory() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "bleepify-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        ADD_FAILURE() << "cannot create a scratch directory";
    }
    path_ = pattern;
}

ScratchDirectory::~ScratchDirectory() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::vector<std::string> ScratchDirectory::entries() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(path_)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

bool fileExists(const std::string& path) {
    struct stat status;
    return stat(path.c_str(), &status) == 0;
}

std::string readText(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

void writeText(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

void setLittleEndian32(std::string& bytes, size_t offset, uint32_t value) {
    for (size_t i = 0; i < 4; ++i) {
        bytes.at(offset + i) = static_cast<char>(value >> (8 * i) & 0xFF);
    }
}

}  // namespace bleepify_test
