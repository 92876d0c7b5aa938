// The block pipeline driven through test doubles of the detector and the generator.
#include "plugin/AudioPipeline.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include "plugin/SlidingWindow.h"
#include "sound/IPitchDetector.h"
#include "sound/IWavenizer.h"

using namespace tanuvo::sound;
using namespace tanuvo::sound::vst;

namespace {

// Answers a fixed pitch and remembers what it was shown.
struct FixedDetector : IPitchDetector {
    double pitch = 440.0;
    int calls = 0;
    std::vector<float> lastWindow;
    double detectPitch(const float* samples, int count) override {
        ++calls;
        lastWindow.assign(samples, samples + count);
        return pitch;
    }
};

// Replaces every sample by a value derived from its index, so outputs show which samples were
// heard.
struct IndexWavenizer : IWavenizer {
    int calls = 0;
    int lastLength = 0;
    double lastFrequency = 0.0;
    void wavenize(float* buffer, int length, double frequency) override {
        ++calls;
        lastLength = length;
        lastFrequency = frequency;
        for (int i = 0; i < length; ++i) {
            buffer[i] = 0.001f * static_cast<float>(i);
        }
    }
};

std::vector<float> ramp(int n, float start = 0.0f) {
    std::vector<float> x(n);
    for (int i = 0; i < n; ++i) {
        x[i] = start + 0.01f * static_cast<float>(i % 97) - 0.3f;
    }
    return x;
}

struct Rig {
    FixedDetector detector;
    IndexWavenizer wavenizer;
    std::unique_ptr<SlidingWindow> window;
    std::vector<float> scratch;
    SignalPath path;
    MixSettings settings;

    explicit Rig(int blockSize) {
        int length = std::max(1024, blockSize);
        if (blockSize < 1024) {
            window = std::make_unique<SlidingWindow>(blockSize);
        }
        scratch.assign(length, 0.0f);
        path = {&detector, &wavenizer, window.get(), length, scratch.data()};
    }
    void run(const std::vector<float>& in, std::vector<float>& out0, std::vector<float>& out1) {
        out0.assign(in.size(), -5.0f);
        out1.assign(in.size(), -5.0f);
        processBlock(path, settings, in.data(), out0.data(), out1.data(),
                     static_cast<int>(in.size()));
    }
};

}  // namespace

TEST(AudioPipeline, BypassCopiesExactlyAndSkipsAnalysis) {
    for (bool powerOff : {true, false}) {
        Rig rig(1024);
        rig.settings.powerOn = !powerOff;
        rig.settings.mix = powerOff ? 0.7f : 0.0f;
        rig.settings.volume = 0.5f;
        std::vector<float> in = ramp(1024), out0, out1;
        in[5] = std::numeric_limits<float>::quiet_NaN();
        rig.run(in, out0, out1);
        EXPECT_EQ(0, std::memcmp(in.data(), out0.data(), in.size() * 4));
        EXPECT_EQ(0, std::memcmp(in.data(), out1.data(), in.size() * 4));
        EXPECT_EQ(rig.detector.calls, 0);
        EXPECT_EQ(rig.wavenizer.calls, 0);
    }
}

// A block shorter than announced is analysed with the input before it, bypassed blocks included.
TEST(AudioPipeline, AShortBlockAfterABypassedOneSeesTheBypassedInput) {
    Rig rig(1024);
    SlidingWindow context(1024, 1024);
    rig.path.context = &context;
    rig.settings.powerOn = false;
    std::vector<float> bypassed = ramp(1024, 0.5f), out0, out1;
    rig.run(bypassed, out0, out1);
    rig.settings.powerOn = true;
    const std::vector<float> shortBlock = ramp(100, -0.2f);
    rig.run(shortBlock, out0, out1);
    ASSERT_EQ(1024u, rig.detector.lastWindow.size());
    for (int i = 0; i < 1024; ++i) {
        const float expected = i < 924 ? bypassed[100 + i] : shortBlock[i - 924];
        ASSERT_EQ(expected, rig.detector.lastWindow[i]) << i;
    }
}

TEST(AudioPipeline, WetOnlyScalesTheGeneratorsWaveByVolumeAndDepthGain) {
    Rig rig(1024);
    rig.settings.volume = 0.5f;
    rig.settings.depthGain = 4.0f;
    std::vector<float> in = ramp(1024), out0, out1;
    rig.run(in, out0, out1);
    ASSERT_EQ(rig.wavenizer.calls, 1);
    EXPECT_EQ(rig.wavenizer.lastLength, 1024);
    EXPECT_EQ(rig.wavenizer.lastFrequency, 440.0);
    for (int i = 0; i < 1024; ++i) {
        ASSERT_EQ(out0[i], 0.001f * static_cast<float>(i) * (0.5f * 4.0f)) << i;
        ASSERT_EQ(out1[i], out0[i]);
    }
    // The host's input block is not written.
    EXPECT_EQ(in, ramp(1024));
}

TEST(AudioPipeline, NoPitchGivesTheDryInputTimesVolumeForAnyMix) {
    for (float mix : {1.0f, 0.5f, 0.001f}) {
        Rig rig(1024);
        rig.detector.pitch = -1.0;
        rig.settings.mix = mix;
        rig.settings.volume = 0.25f;
        std::vector<float> in = ramp(1024), out0, out1;
        rig.run(in, out0, out1);
        EXPECT_EQ(rig.wavenizer.calls, 0);
        for (int i = 0; i < 1024; ++i) {
            float expected =
                mix == 1.0f ? in[i] * 0.25f : ((in[i] * mix) * 1.0f + in[i] * (1.0f - mix)) * 0.25f;
            ASSERT_EQ(out0[i], expected) << "mix " << mix << " sample " << i;
        }
    }
}

TEST(AudioPipeline, MixedPathFollowsTheFloatFormulaAndLeavesTheDrySignalAlone) {
    Rig rig(256);
    rig.settings.mix = 0.3f;
    rig.settings.volume = 0.8f;
    rig.settings.depthGain = 5.0f;
    std::vector<float> in = ramp(256, 0.1f), out0, out1;
    rig.run(in, out0, out1);
    ASSERT_EQ(rig.wavenizer.calls, 1);
    EXPECT_EQ(rig.wavenizer.lastLength, 1024);
    const std::vector<float>& work = rig.window->work;
    for (int i = 0; i < 256; ++i) {
        float wet = 0.001f * static_cast<float>(768 + i);
        float expected = ((wet * 0.3f) * 5.0f + work[768 + i] * (1.0f - 0.3f)) * 0.8f;
        ASSERT_EQ(out0[i], expected) << i;
        // The dry term is the true input: the generator wrote only the wet copy.
        ASSERT_EQ(work[768 + i], in[i]);
    }
}

TEST(AudioPipeline, ShortBlocksAnalyseTheSlidingWindowAndHearItsNewestSamples) {
    Rig rig(256);
    std::vector<float> out0, out1;
    std::vector<float> first = ramp(256, 0.5f);
    rig.settings.powerOn = false;  // bypassed blocks still enter the history
    rig.run(first, out0, out1);
    rig.settings.powerOn = true;
    std::vector<float> second = ramp(256, -0.2f);
    rig.run(second, out0, out1);
    ASSERT_EQ(rig.detector.lastWindow.size(), 1024u);
    for (int i = 0; i < 256; ++i) {
        ASSERT_EQ(rig.detector.lastWindow[512 + i], first[i]);
        ASSERT_EQ(rig.detector.lastWindow[768 + i], second[i]);
        ASSERT_EQ(out0[i], 0.001f * static_cast<float>(768 + i) * 50.0f);
    }
}

TEST(AudioPipeline, HostBlocksOfOtherLengthsArePiecedWithinBounds) {
    // Announced 256, the host sends 700: three pieces of 256, 256 and 188.
    Rig rig(256);
    std::vector<float> in = ramp(700), out0, out1;
    rig.run(in, out0, out1);
    EXPECT_EQ(rig.detector.calls, 3);
    for (int i = 0; i < 188; ++i) {
        ASSERT_EQ(out0[512 + i], 0.001f * static_cast<float>(1024 - 188 + i) * 50.0f);
    }
    EXPECT_EQ(rig.window->history[1023], in[699]);

    // Announced 1024, the host sends 2500 and then 3: pieces of the window length and shorter.
    Rig big(1024);
    std::vector<float> longIn = ramp(2500);
    big.run(longIn, out0, out1);
    EXPECT_EQ(big.detector.calls, 3);
    EXPECT_EQ(big.wavenizer.lastLength, 2500 - 2048);
    std::vector<float> tiny = ramp(3);
    big.run(tiny, out0, out1);
    EXPECT_EQ(big.wavenizer.lastLength, 3);

    // Zero frames touch nothing.
    big.detector.calls = 0;
    float dummy = 1.0f;
    processBlock(big.path, big.settings, &dummy, &dummy, &dummy, 0);
    EXPECT_EQ(big.detector.calls, 0);
    EXPECT_EQ(dummy, 1.0f);
}

TEST(AudioPipeline, NonFiniteInputNeverReachesTheOutputOfTheProcessedPath) {
    Rig rig(1024);
    rig.detector.pitch = -1.0;
    std::vector<float> in = ramp(1024), out0, out1;
    in[10] = std::numeric_limits<float>::infinity();
    in[11] = std::numeric_limits<float>::quiet_NaN();
    rig.settings.mix = 0.5f;
    rig.run(in, out0, out1);
    for (float v : out0) {
        ASSERT_TRUE(std::isfinite(v));
    }
    // The analysis saw silence in their place.
    EXPECT_EQ(rig.detector.lastWindow[10], 0.0f);
    EXPECT_EQ(rig.detector.lastWindow[11], 0.0f);
}
