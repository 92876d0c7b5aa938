#include "Validator.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <limits>

namespace validator {

std::string format(const char* pattern, ...) {
    char text[512];
    va_list args;
    va_start(args, pattern);
    std::vsnprintf(text, sizeof text, pattern, args);
    va_end(args);
    return text;
}

float effectValue(int generator) {
    // The plug-in maps 6 * value down to an index; the middle of each sixth is safe from rounding.
    return (generator + 0.5f) / 6.0f;
}

// ---- Plugin ----------------------------------------------------------------------------------

Plugin::Plugin() {
    effect = TestHost::instance().create();
    if (effect) {
        call(effOpen);
    }
}

Plugin::~Plugin() {
    close();
}

void Plugin::close() {
    if (effect) {
        TestHost::close(effect);
        effect = nullptr;
    }
}

intptr_t Plugin::call(int32_t opcode, int32_t index, intptr_t value, void* ptr, float opt) {
    return TestHost::call(effect, opcode, index, value, ptr, opt);
}

void Plugin::setUp(float rate, int32_t blockSize) {
    suspend();
    call(effSetSampleRate, 0, 0, nullptr, rate);
    call(effSetBlockSize, 0, blockSize);
    resume();
}

void Plugin::process(const float* input, float* left, float* right, int32_t frames) {
    if (!right) {
        if (scratch.size() < size_t(frames)) {
            scratch.resize(frames);
        }
        right = scratch.data();
    }
    float* ins[] = {const_cast<float*>(input)};
    float* outs[] = {left, right};
    effect->processReplacing(effect, ins, outs, frames);
}

std::vector<float> Plugin::play(const std::vector<float>& input, int32_t blockSize) {
    return play(input, std::vector<int32_t>{blockSize});
}

std::vector<float> Plugin::play(const std::vector<float>& input,
                                const std::vector<int32_t>& blocks) {
    std::vector<float> left(input.size());
    size_t done = 0;
    for (size_t b = 0; done < input.size(); ++b) {
        const int32_t n = int32_t(std::min<size_t>(blocks[b % blocks.size()], input.size() - done));
        process(input.data() + done, left.data() + done, nullptr, n);
        done += n;
    }
    return left;
}

// ---- Output properties -----------------------------------------------------------------------

OutputFacts examine(const float* samples, size_t count) {
    OutputFacts facts;
    for (size_t i = 0; i < count; ++i) {
        const float v = samples[i];
        facts.finite = facts.finite && std::isfinite(v);
        facts.denormalFree = facts.denormalFree && std::fpclassify(v) != FP_SUBNORMAL;
        facts.peak = std::max(
            facts.peak, std::isfinite(v) ? std::fabs(v) : std::numeric_limits<float>::infinity());
    }
    return facts;
}

float peakOf(const std::vector<float>& samples) {
    return examine(samples.data(), samples.size()).peak;
}

float largestStep(const std::vector<float>& samples, size_t first) {
    float largest = 0.0f;
    for (size_t i = std::max<size_t>(first, 1); i < samples.size(); ++i) {
        largest = std::max(largest, std::fabs(samples[i] - samples[i - 1]));
    }
    return largest;
}

double roughness(const std::vector<float>& samples, size_t first) {
    double sum = 0.0;
    size_t count = 0;
    for (size_t i = std::max<size_t>(first, 2); i < samples.size(); ++i, ++count) {
        const double bend = double(samples[i]) - 2.0 * samples[i - 1] + samples[i - 2];
        sum += bend * bend;
    }
    return count > 0 ? sum / double(count) : 0.0;
}

double now() {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

}  // namespace validator
