// The audio callback neither allocates nor frees heap memory, from the first block after resume:
// a tone gliding over the whole pitch range meets a new tap-cache slot nearly every block, and
// parameter and program changes between blocks rebuild nothing on the audio thread.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <iostream>
#include <memory>
#include <vector>

#include "plugin/Bleepifier.h"
#include "plugin/SignalChain.h"
#include "tests/support/Hosts.h"
#include "tests/support/AllocationCounter.h"

namespace tanuvo::sound::vst {
namespace {

using tanuvo::sound::testing::AllocationCounter;
using tanuvo::sound::testing::AllocationRefusal;

constexpr float kRate = 44100.0f;

using tanuvo::sound::vst::testing::quietHost;

// A voiced tone with two overtones gliding exponentially from 66 Hz to 1450 Hz.
std::vector<float> glide(double seconds) {
    const int length = static_cast<int>(seconds * kRate);
    std::vector<float> samples(length);
    double phase = 0.0;
    for (int i = 0; i < length; ++i) {
        const double frequency = 66.0 * std::pow(1450.0 / 66.0, static_cast<double>(i) / length);
        phase += 2.0 * M_PI * frequency / kRate;
        samples[i] = static_cast<float>(0.3 * std::sin(phase) + 0.12 * std::sin(2.0 * phase) +
                                        0.05 * std::sin(3.0 * phase));
    }
    return samples;
}

struct Played {
    long heapCalls = 0;  // allocations and releases inside processReplacing
    long blocks = 0;
    long wetBlocks = 0;  // blocks whose output is not the dry input: a wave was made
};

// Sets a plug-in up as a host does, then plays the signal in host blocks of the given lengths
// (cycled), calling between(block) before each block; counts only inside processReplacing.
Played play(const std::vector<float>& signal, int announcedBlock, const std::vector<int>& lengths,
            const std::function<void(AEffect*, long)>& between) {
    auto plugin = std::make_unique<Bleepifier>(quietHost);
    AEffect* effect = plugin->getAeffect();
    testing::setUpAsHost(effect, kRate, announcedBlock);

    std::vector<float> in(announcedBlock), left(announcedBlock), right(announcedBlock);
    float* inputs[] = {in.data()};
    float* outputs[] = {left.data(), right.data()};
    Played result;
    size_t start = 0;
    for (long block = 0;; ++block) {
        const int n = lengths[block % lengths.size()];
        if (start + n > signal.size()) {
            break;
        }
        std::copy(signal.begin() + start, signal.begin() + start + n, in.begin());
        start += n;
        between(effect, block);
        {
            AllocationCounter counter;
            effect->processReplacing(effect, inputs, outputs, n);
            result.heapCalls += counter.allocations() + counter.releases();
        }
        ++result.blocks;
        for (int i = 0; i < n; ++i) {
            if (std::fabs(left[i] - in[i]) > 1e-3f) {
                ++result.wetBlocks;
                break;
            }
        }
    }
    effect->dispatcher(effect, effMainsChanged, 0, 0, nullptr, 0.0f);
    return result;
}

float effectValue(int waveform) {
    return waveform == 5 ? 1.0f : waveform / 6.0f;
}

TEST(BleepifierAllocation, CounterSeesAllocationsAndReleases) {
    AllocationCounter counter;
    auto value = std::make_unique<std::vector<float>>(100);
    value.reset();
    EXPECT_EQ(2, counter.allocations());
    EXPECT_EQ(2, counter.releases());
}

// A host announces a longer block or a new rate while its heap refuses memory (a fragmented
// 32-bit host). Whichever allocation of the rebuild fails, the effect goes on playing the set it
// had, within its buffers (an overrun shows under AddressSanitizer: scripts/test-asan.sh), and
// the same call later, with memory, still applies.
TEST(BleepifierAllocation, ARefusedRebuildKeepsThePreviousSetPlaying) {
    const std::vector<float> input = glide(0.5);
    std::vector<float> left(input.size()), right(input.size());
    float* inputs[] = {const_cast<float*>(input.data())};
    float* outputs[] = {left.data(), right.data()};
    long made = 0;
    {
        Bleepifier plugin(quietHost);
        AllocationCounter counter;
        plugin.setBlockSize(16384);
        made = counter.allocations();
    }
    ASSERT_GT(made, 10);
    struct Refusal {
        long allowed;
        unsigned long fromBytes;
    };
    std::vector<Refusal> refusals = {{0, 256 * 1024}};
    for (long allowed = 0; allowed < made; allowed += 1 + made / 30) {
        refusals.push_back({allowed, 0});
    }
    for (const Refusal& r : refusals) {
        SCOPED_TRACE(::testing::Message()
                     << r.allowed << " granted, then refused from " << r.fromBytes << " bytes");
        Bleepifier plugin(quietHost);
        AEffect* effect = plugin.getAeffect();
        testing::setUpAsHost(effect, kRate, 1024);
        effect->dispatcher(effect, effMainsChanged, 0, 0, nullptr, 0.0f);
        {
            AllocationRefusal refuse(r.allowed, r.fromBytes);
            effect->dispatcher(effect, effSetBlockSize, 0, 16384, nullptr, 0.0f);
            effect->dispatcher(effect, effSetSampleRate, 0, 0, nullptr, 48000.0f);
            EXPECT_GT(refuse.refusals(), 0);
        }
        EXPECT_EQ(1024, plugin.getWindowLength());
        EXPECT_EQ(kRate, plugin.getSignalChain()->sine->sampleRate());
        effect->dispatcher(effect, effMainsChanged, 0, 1, nullptr, 0.0f);
        effect->processReplacing(effect, inputs, outputs, static_cast<int32_t>(input.size()));
        float peak = 0.0f;
        for (float y : left) {
            ASSERT_TRUE(std::isfinite(y));
            peak = std::max(peak, std::fabs(y));
        }
        EXPECT_LT(peak, 10.0f);
        effect->dispatcher(effect, effMainsChanged, 0, 0, nullptr, 0.0f);
        effect->dispatcher(effect, effSetBlockSize, 0, 16384, nullptr, 0.0f);
        effect->dispatcher(effect, effSetSampleRate, 0, 0, nullptr, 48000.0f);
        EXPECT_EQ(16384, plugin.getWindowLength());
        EXPECT_EQ(48000.0, plugin.getSignalChain()->sine->sampleRate());
    }
}

TEST(BleepifierAllocation, GlideThroughEveryWaveformAtBlock64) {
    const std::vector<float> signal = glide(2.0);
    for (int waveform = 0; waveform < 6; ++waveform) {
        SCOPED_TRACE(::testing::Message() << "waveform " << waveform);
        const Played played = play(signal, 64, {64}, [&](AEffect* effect, long block) {
            if (block == 0) {
                effect->setParameter(effect, kEffect, effectValue(waveform));
            }
        });
        EXPECT_EQ(0, played.heapCalls);
        EXPECT_GT(played.wetBlocks, played.blocks * 3 / 4);
    }
}

TEST(BleepifierAllocation, GlideWithParameterAndProgramChangesBetweenBlocks) {
    const std::vector<float> signal = glide(3.0);
    // A different change before every block, a program switch every 50th; Mix below 1 in some
    // programs so that the mixed path runs too.
    const Played played = play(signal, 64, {64}, [](AEffect* effect, long block) {
        const float ramp = static_cast<float>((block * 37) % 101) / 100.0f;
        switch (block % 6) {
            case 0:
                effect->setParameter(effect, kDepth, 0.3f + 0.7f * ramp);
                break;
            case 1:
                effect->setParameter(effect, kEffect, effectValue((block / 6) % 6));
                break;
            case 2:
                effect->setParameter(effect, kDutyRatio, ramp);
                break;
            case 3:
                effect->setParameter(effect, kTone, ramp);
                break;
            case 4:
                effect->setParameter(effect, kSteps, ramp);
                break;
            default:
                effect->setParameter(effect, kMix, block % 4 == 1 ? 0.5f : 1.0f);
                break;
        }
        if (block % 50 == 49) {
            effect->dispatcher(effect, effSetProgram, 0, (block / 50) % 16, nullptr, 0.0f);
        }
    });
    EXPECT_EQ(0, played.heapCalls);
    EXPECT_GT(played.wetBlocks, played.blocks / 2);
}

TEST(BleepifierAllocation, HostBlocksShorterThanAnnouncedUseOnlyReservedMemory) {
    // Every analysis and filter length from 1 sample to the whole window.
    const std::vector<float> signal = glide(2.0);
    const Played played =
        play(signal, 4096, {4096, 3000, 17, 1, 700, 2049, 64}, [](AEffect*, long) {});
    EXPECT_EQ(0, played.heapCalls);
    EXPECT_GT(played.wetBlocks, played.blocks / 2);
}

TEST(BleepifierAllocation, MemoryPerInstanceIsBounded) {
    // Everything an instance holds after construction and set-up, and after playing a glide that
    // fills the tap cache, which must not grow it.
    for (int blockSize : {1, 64, 1024, Bleepifier::kMaxBlockSize}) {
        AllocationCounter counter;
        auto plugin = std::make_unique<Bleepifier>(quietHost);
        AEffect* effect = plugin->getAeffect();
        testing::setUpAsHost(effect, kRate, blockSize);
        const long long setUp = counter.liveBytes();

        const std::vector<float> signal = glide(blockSize == 1 ? 0.25 : 2.0);
        std::vector<float> left(blockSize), right(blockSize);
        float* outputs[] = {left.data(), right.data()};
        const long long buffers = counter.liveBytes();
        for (size_t start = 0; start + blockSize <= signal.size(); start += blockSize) {
            float* inputs[] = {const_cast<float*>(signal.data()) + start};
            effect->processReplacing(effect, inputs, outputs, blockSize);
        }
        const long long played = counter.liveBytes() - (buffers - setUp);
        std::cout << "block " << blockSize << ": " << setUp / 1024 << " KiB after set-up, "
                  << played / 1024 << " KiB after a glide\n";
        EXPECT_EQ(setUp, played);
        EXPECT_LT(setUp, 8ll << 20);
    }
}

}  // namespace
}  // namespace tanuvo::sound::vst
