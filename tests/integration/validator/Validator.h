#pragma once

// The host validator's side of the checks: a plug-in instance driven the way a host drives it,
// and what its output is examined for. Each category is a group of named checks.

#include <cstdint>
#include <string>
#include <vector>

#include "MiniCheck.h"
#include "TestHost.h"
#include "plugin/VstAbi.h"

namespace validator {

// ---- Reporting -------------------------------------------------------------------------------

using minicheck::check;
using minicheck::info;
using minicheck::skip;
using minicheck::tally;
std::string format(const char* pattern, ...) __attribute__((format(printf, 1, 2)));

// ---- The plug-in as a host holds it ----------------------------------------------------------

enum Parameter : int32_t {
    kVolume,
    kPower,
    kEffect,
    kMix,
    kDepth,
    kDutyRatio,
    kTone,
    kSteps,
    kParameterCount
};
constexpr int32_t kProgramCount = 16;
constexpr int kGeneratorCount = 6;
// The Effect value that selects generator index (0 Sine ... 5 short noise).
float effectValue(int generator);

class Plugin {
  public:
    // Created through the library's entry and opened; ok() tells whether that worked.
    Plugin();
    ~Plugin();
    Plugin(const Plugin&) = delete;
    Plugin& operator=(const Plugin&) = delete;

    bool ok() const { return effect != nullptr; }
    intptr_t call(int32_t opcode, int32_t index = 0, intptr_t value = 0, void* ptr = nullptr,
                  float opt = 0.0f);
    // Suspends, sets rate and block size, resumes: the host's set-up before playing.
    void setUp(float rate, int32_t blockSize);
    void suspend() { call(effMainsChanged, 0, 0); }
    void resume() { call(effMainsChanged, 0, 1); }
    void set(int32_t index, float value) { effect->setParameter(effect, index, value); }
    float get(int32_t index) { return effect->getParameter(effect, index); }
    void setProgram(int32_t program) { call(effSetProgram, 0, program); }

    // One host block; the right output goes to a scratch buffer when right is null.
    void process(const float* input, float* left, float* right, int32_t frames);
    // Plays input in host blocks of blockSize frames and answers the left output.
    std::vector<float> play(const std::vector<float>& input, int32_t blockSize);
    // Plays with the block lengths given (repeated until the input ends).
    std::vector<float> play(const std::vector<float>& input, const std::vector<int32_t>& blocks);

    void close();
    AEffect* effect = nullptr;

  private:
    std::vector<float> scratch;
};

// ---- Output properties -----------------------------------------------------------------------

struct OutputFacts {
    bool finite = true;
    bool denormalFree = true;
    float peak = 0.0f;
};
OutputFacts examine(const float* samples, size_t count);
float peakOf(const std::vector<float>& samples);
// Largest difference between neighbouring samples from index first on.
float largestStep(const std::vector<float>& samples, size_t first);
// Mean squared second difference from index first on: how rough the output is.
double roughness(const std::vector<float>& samples, size_t first);

// Seconds since an arbitrary start, for real-time factors.
double now();

}  // namespace validator
