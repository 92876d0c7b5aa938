// What the host set is what plays: after a sample-rate or block-size change, and in a fresh
// instance, the output equals that of an instance set up at the new rate and size and then given
// the same values, as a host restoring a project does.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <utility>
#include <vector>

#include "plugin/Bleepifier.h"
#include "tests/support/Hosts.h"
#include "tests/plugin/SungPhrase.h"

namespace tanuvo::sound::vst {
namespace {

using Values = std::vector<std::pair<int32_t, float>>;

constexpr int kLead = 4096;  // silence before the phrase's first note: more than two windows

using tanuvo::sound::vst::testing::quietHost;

struct Instance {
    std::unique_ptr<Bleepifier> plugin = std::make_unique<Bleepifier>(quietHost);
    AEffect* effect = plugin->getAeffect();

    void setUp(float rate, int blockSize) { testing::setUpAsHost(effect, rate, blockSize); }
    void set(const Values& values) {
        for (const auto& [index, value] : values) {
            effect->setParameter(effect, index, value);
        }
    }
    std::vector<float> play(const std::vector<float>& signal, int blockSize) {
        std::vector<float> out(signal.size(), 0.0f), right(blockSize);
        for (size_t start = 0; start + blockSize <= signal.size(); start += blockSize) {
            float* inputs[] = {const_cast<float*>(signal.data()) + start};
            float* outputs[] = {out.data() + start, right.data()};
            effect->processReplacing(effect, inputs, outputs, blockSize);
        }
        return out;
    }
};

std::vector<float> tone(double frequency, double rate, int length) {
    std::vector<float> samples(length);
    for (int i = 0; i < length; ++i) {
        samples[i] = static_cast<float>(0.3 * std::sin(2.0 * M_PI * frequency * i / rate));
    }
    return samples;
}

// The changed instance has played a 100 Hz tone before the change, so its window starts with
// history from before it; the phrase's notes lie far from 100 Hz, so no tap-cache slot is shared
// with what that history filled. Compared from the phrase's first note on.
void expectSameAsFreshSetUp(Instance& changed, float rate, int blockSize, const Values& values) {
    Instance reference;
    reference.setUp(rate, blockSize);
    reference.set(values);
    const std::vector<float> phrase = testing::makeSungPhrase(rate, kLead);
    const std::vector<float> expected = reference.play(phrase, blockSize);
    const std::vector<float> actual = changed.play(phrase, blockSize);
    double energy = 0.0;
    for (size_t i = kLead; i < phrase.size(); ++i) {
        ASSERT_EQ(expected[i], actual[i]) << "sample " << i;
        energy += expected[i] * expected[i];
    }
    EXPECT_GT(energy, 1.0);  // a wave was made
}

TEST(BleepifierState, SettingsSurviveASampleRateChange) {
    const Values values = {
        {kEffect, 1.0f / 6.0f}, {kDepth, 0.0f}, {kDutyRatio, 0.6f}, {kTone, 0.3f}};
    Instance changed;
    changed.setUp(44100.0f, 64);
    changed.set(values);
    changed.play(tone(100.0, 44100.0, 8192), 64);
    changed.setUp(48000.0f, 64);
    EXPECT_FLOAT_EQ(0.6f, changed.effect->getParameter(changed.effect, kDutyRatio));
    expectSameAsFreshSetUp(changed, 48000.0f, 64, values);
}

TEST(BleepifierState, SettingsSurviveABlockSizeChange) {
    const Values values = {{kEffect, 2.0f / 6.0f}, {kDepth, 0.7f}, {kSteps, 0.2f}};
    Instance changed;
    changed.setUp(48000.0f, 1024);
    changed.set(values);
    changed.play(tone(100.0, 48000.0, 8192), 1024);
    changed.setUp(48000.0f, 256);
    expectSameAsFreshSetUp(changed, 48000.0f, 256, values);
}

TEST(BleepifierState, AFreshInstancePlaysTheValuesItReports) {
    // Restored as a host restores a project: every value the fresh instance reports.
    Instance fresh;
    fresh.set({{kEffect, 1.0f / 6.0f}});
    Values reported;
    for (int32_t index = 0; index < kNumParams; ++index) {
        reported.emplace_back(index, fresh.effect->getParameter(fresh.effect, index));
    }
    expectSameAsFreshSetUp(fresh, 44100.0f, 1024, reported);
}

}  // namespace
}  // namespace tanuvo::sound::vst
