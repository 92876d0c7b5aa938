// The whole plug-in's audio callback, once warmed up, neither allocates nor frees heap memory.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

#include "plugin/Bleepifier.h"
#include "tests/support/AllocationCounter.h"
#include "tests/plugin/SungPhrase.h"

namespace tanuvo::sound::vst {
namespace {

using tanuvo::sound::testing::AllocationCounter;

constexpr float kRate = 44100.0f;
constexpr int kWaveforms = 6;
constexpr int kBlockSizes[] = {64, 256, 1024, 2048};

intptr_t VST_CALL hostCallback(AEffect*, int32_t opcode, int32_t, intptr_t, void*, float) {
    return opcode == audioMasterVersion ? 2400 : 0;
}

struct Measurement {
    long allocatingBlocks = 0;  // blocks of the second pass that allocated or freed
    long firstBadBlock = -1;
    long allocations = 0;
    long releases = 0;
    long blocks = 0;
    long renderedBlocks = 0;  // blocks whose output is not the dry input, i.e. a wave was made
};

// Plays the phrase twice through a plug-in set up as a host does; the first pass warms up the
// caches, the second is counted block by block.
Measurement measure(int waveform, int blockSize, float mix) {
    auto plugin = std::make_unique<Bleepifier>(hostCallback);
    AEffect* effect = plugin->getAeffect();
    effect->dispatcher(effect, effMainsChanged, 0, 0, nullptr, 0.0f);
    effect->dispatcher(effect, effSetSampleRate, 0, 0, nullptr, kRate);
    effect->dispatcher(effect, effSetBlockSize, 0, blockSize, nullptr, 0.0f);
    effect->dispatcher(effect, effMainsChanged, 0, 1, nullptr, 0.0f);
    effect->setParameter(effect, kEffect, waveform == 5 ? 1.0f : waveform / 6.0f);
    effect->setParameter(effect, kMix, mix);
    effect->setParameter(effect, kDepth, 0.8f);

    const std::vector<float> phrase = testing::makeSungPhrase(kRate);
    std::vector<float> in(blockSize), left(blockSize), right(blockSize);
    float* inputs[] = {in.data()};
    float* outputs[] = {left.data(), right.data()};
    const long blocks = static_cast<long>(phrase.size()) / blockSize;

    Measurement result;
    result.blocks = blocks;
    for (int pass = 0; pass < 2; ++pass) {
        for (long block = 0; block < blocks; ++block) {
            std::copy(phrase.begin() + block * blockSize, phrase.begin() + (block + 1) * blockSize,
                      in.begin());
            if (pass == 0) {
                effect->processReplacing(effect, inputs, outputs, blockSize);
                continue;
            }
            long allocations;
            long releases;
            {
                AllocationCounter counter;
                effect->processReplacing(effect, inputs, outputs, blockSize);
                allocations = counter.allocations();
                releases = counter.releases();
            }
            if (allocations != 0 || releases != 0) {
                ++result.allocatingBlocks;
                if (result.firstBadBlock < 0) {
                    result.firstBadBlock = block;
                }
            }
            result.allocations += allocations;
            result.releases += releases;
            for (int i = 0; i < blockSize; ++i) {
                if (std::abs(left[i] - in[i]) > 1e-3f) {
                    ++result.renderedBlocks;
                    break;
                }
            }
        }
    }
    effect->dispatcher(effect, effMainsChanged, 0, 0, nullptr, 0.0f);
    return result;
}

void expectNoAllocationInAnyWaveform(float mix) {
    for (int blockSize : kBlockSizes) {
        for (int waveform = 0; waveform < kWaveforms; ++waveform) {
            SCOPED_TRACE(::testing::Message()
                         << "waveform " << waveform << ", block size " << blockSize);
            const Measurement m = measure(waveform, blockSize, mix);
            EXPECT_EQ(0, m.allocatingBlocks) << m.allocations << " allocations and " << m.releases
                                             << " releases, first in block " << m.firstBadBlock;
            // The phrase must really have been rendered, or nothing was measured.
            EXPECT_GT(m.renderedBlocks, m.blocks / 3);
        }
    }
}

TEST(BleepifierAllocation, CounterSeesAllocationsAndReleases) {
    AllocationCounter counter;
    auto value = std::make_unique<std::vector<float>>(100);
    value.reset();
    EXPECT_EQ(2, counter.allocations());
    EXPECT_EQ(2, counter.releases());
}

TEST(BleepifierAllocation, WetOnlyBlocksNeverTouchTheHeap) {
    expectNoAllocationInAnyWaveform(1.0f);
}

TEST(BleepifierAllocation, MixedBlocksNeverTouchTheHeap) {
    expectNoAllocationInAnyWaveform(0.5f);
}

}  // namespace
}  // namespace tanuvo::sound::vst
