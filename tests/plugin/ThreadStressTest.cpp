// The host's threads at work on one plug-in: the audio thread renders a voice while a control
// thread automates every parameter (out-of-range and NaN values too), switches and renames
// programs and reads names and displays back. Built under ThreadSanitizer (test_plugin_tsan),
// any unsynchronised access between the two fails the run.
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <random>
#include <thread>
#include <vector>

#include "plugin/Bleepifier.h"
#include "plugin/SignalChain.h"
#include "tests/support/Hosts.h"
#include "tests/plugin/SungPhrase.h"

namespace tanuvo::sound::vst {
namespace {

constexpr float kRate = 44100.0f;

using tanuvo::sound::vst::testing::quietHost;

float randomValue(std::mt19937& rng) {
    static const float kOddValues[] = {0.0f,
                                       1.0f,
                                       -1.0f / 6.0f,
                                       -1.0f,
                                       2.0f,
                                       1.0e30f,
                                       -1.0e30f,
                                       std::numeric_limits<float>::denorm_min(),
                                       std::numeric_limits<float>::infinity(),
                                       -std::numeric_limits<float>::infinity(),
                                       std::numeric_limits<float>::quiet_NaN()};
    std::uniform_int_distribution<int> kind(0, 3);
    if (kind(rng) == 0) {
        std::uniform_int_distribution<size_t> pick(0, std::size(kOddValues) - 1);
        return kOddValues[pick(rng)];
    }
    return std::uniform_real_distribution<float>(-0.2f, 1.2f)(rng);
}

// One host call from the user-interface or automation side.
void controlStep(AEffect* effect, std::mt19937& rng) {
    std::uniform_int_distribution<int> action(0, 9);
    std::uniform_int_distribution<int> parameter(0, kNumParams - 1);
    char text[64];
    switch (action(rng)) {
        case 0:
        case 1:
        case 2:
        case 3:
            effect->setParameter(effect, parameter(rng), randomValue(rng));
            break;
        case 4:
            // Programs 16 and -1 are out of range and must be ignored.
            effect->dispatcher(effect, effSetProgram, 0,
                               std::uniform_int_distribution<int>(-1, 16)(rng), nullptr, 0.0f);
            break;
        case 5: {
            std::snprintf(text, sizeof(text), "Stress %u with a name longer than fits",
                          static_cast<unsigned>(rng()));
            effect->dispatcher(effect, effSetProgramName, 0, 0, text, 0.0f);
            break;
        }
        case 6:
            effect->dispatcher(effect, effGetProgramName, 0, 0, text, 0.0f);
            effect->dispatcher(effect, effGetProgramNameIndexed,
                               std::uniform_int_distribution<int>(0, 15)(rng), 0, text, 0.0f);
            break;
        case 7:
            effect->dispatcher(effect, effGetParamDisplay, parameter(rng), 0, text, 0.0f);
            effect->dispatcher(effect, effGetParamName, parameter(rng), 0, text, 0.0f);
            break;
        default:
            (void)effect->getParameter(effect, parameter(rng));
            break;
    }
}

struct RunResult {
    long blocks = 0;
    long nonFiniteOutputs = 0;
    long controlSteps = 0;  // made while the audio thread ran
};

// Renders the phrase on an audio thread while a control thread makes host calls; with
// automateFromAudio the audio thread also sets parameters between blocks, as many hosts play
// automation, so two threads set parameters at once.
RunResult runConcurrently(int blockSize, int phrasePasses, unsigned seed, bool automateFromAudio) {
    auto plugin = std::make_unique<Bleepifier>(quietHost);
    AEffect* effect = plugin->getAeffect();
    // Settings change only while suspended, as hosts do; parameters change at any time.
    testing::setUpAsHost(effect, kRate, blockSize);

    const std::vector<float> phrase = testing::makeSungPhrase(kRate);
    std::atomic<bool> controlStarted{false};
    std::atomic<bool> audioDone{false};
    RunResult result;

    std::thread audio([&] {
        std::mt19937 rng(seed + 1);
        std::uniform_int_distribution<int> automated(0, kNumParams - 1);
        std::vector<float> in(blockSize), left(blockSize), right(blockSize);
        float* inputs[] = {in.data()};
        float* outputs[] = {left.data(), right.data()};
        while (!controlStarted.load()) {
            std::this_thread::yield();
        }
        for (int pass = 0; pass < phrasePasses; ++pass) {
            for (size_t start = 0; start + blockSize <= phrase.size(); start += blockSize) {
                std::memcpy(in.data(), phrase.data() + start, sizeof(float) * blockSize);
                if (automateFromAudio && result.blocks % 3 == 0) {
                    effect->setParameter(effect, automated(rng), randomValue(rng));
                }
                effect->processReplacing(effect, inputs, outputs, blockSize);
                ++result.blocks;
                for (int i = 0; i < blockSize; ++i) {
                    if (!std::isfinite(left[i]) || !std::isfinite(right[i])) {
                        ++result.nonFiniteOutputs;
                    }
                }
            }
        }
        audioDone.store(true);
    });
    std::thread control([&] {
        std::mt19937 rng(seed);
        controlStarted.store(true);
        while (!audioDone.load()) {
            controlStep(effect, rng);
            ++result.controlSteps;
        }
    });
    audio.join();
    control.join();

    effect->dispatcher(effect, effMainsChanged, 0, 0, nullptr, 0.0f);
    return result;
}

// Changes from a control thread while audio runs, alone and meeting automation on the audio
// thread.
TEST(ThreadStress, ParametersAndProgramsChangeWhileAudioRuns) {
    for (const bool automation : {false, true})
        for (int blockSize : {64, 256, 1024}) {
            if (automation && blockSize == 256)
                continue;
            SCOPED_TRACE(::testing::Message()
                         << "block size " << blockSize << ", automation " << automation);
            const unsigned seed = (automation ? 99u : 1234u) + blockSize;
            const RunResult r = runConcurrently(blockSize, 3, seed, automation);
            EXPECT_GT(r.blocks, 0);
            EXPECT_EQ(0, r.nonFiniteOutputs);
            // The two threads really overlapped.
            EXPECT_GT(r.controlSteps, 100);
        }
}

// A control thread goes on setting parameters and switching programs while the host, having
// suspended the plug-in, changes the rate and block size: no call may use a chain being replaced,
// and each value lands in the stored state, which the chain in use then plays.
TEST(ThreadStress, ParameterCallsMeetRebuildsWhileSuspended) {
    Bleepifier plugin(quietHost);
    AEffect* effect = plugin.getAeffect();
    effect->dispatcher(effect, effMainsChanged, 0, 0, nullptr, 0.0f);
    std::atomic<bool> rebuilding{true};
    std::atomic<long> controlSteps{0};
    std::thread control([&] {
        std::mt19937 rng(7);
        while (rebuilding.load()) {
            controlStep(effect, rng);
            controlSteps.fetch_add(1);
        }
    });
    for (int i = 0; i < 40 || controlSteps.load() < 200; ++i) {
        effect->dispatcher(effect, effSetSampleRate, 0, 0, nullptr, i % 2 ? 48000.0f : kRate);
        effect->dispatcher(effect, effSetBlockSize, 0, i % 3 == 0 ? 64 : 1024 + i, nullptr, 0.0f);
    }
    rebuilding.store(false);
    control.join();
    // The chain plays what a quiet instance given the stored values plays.
    Bleepifier quiet(quietHost);
    for (int32_t index : {kDepth, kDutyRatio, kTone, kSteps}) {
        quiet.setParameter(index, plugin.getParameter(index));
    }
    const SignalChain& chain = *plugin.getSignalChain();
    const SignalChain& expected = *quiet.getSignalChain();
    EXPECT_EQ(expected.sine->widthRatio.load(), chain.sine->widthRatio.load());
    EXPECT_EQ(expected.sine->enabled.load(), chain.sine->enabled.load());
    EXPECT_EQ(expected.square->dutyRatio.load(), chain.square->dutyRatio.load());
    EXPECT_EQ(expected.square->tone.load(), chain.square->tone.load());
    EXPECT_EQ(expected.triangle->stepCount.load(), chain.triangle->stepCount.load());
}

}  // namespace
}  // namespace tanuvo::sound::vst
