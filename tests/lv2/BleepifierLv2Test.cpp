// The LV2 instance's run: nothing allocated or freed on the audio thread, from the first run on,
// whatever the run lengths and control changes.
#include "lv2/BleepifierLv2.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "tests/plugin/SungPhrase.h"
#include "tests/support/AllocationCounter.h"

namespace tanuvo::sound::lv2 {
namespace {

using tanuvo::sound::testing::AllocationCounter;

TEST(BleepifierLv2Test, RunsAllocateNothingWhateverTheLengthsAndControlChanges) {
    const std::vector<float> phrase = vst::testing::makeSungPhrase(44100.0);
    for (const BlockLengths lengths : {BlockLengths{256, 0}, BlockLengths{}}) {
        const bool announced = lengths.nominal > 0;
        SCOPED_TRACE(announced ? "announced 256" : "gathered");
        BleepifierLv2 instance(44100.0, lengths);
        float controls[vst::kNumParams];
        for (const vst::ParameterInfo& param : vst::kParameters) {
            controls[param.index] = vst::fromNormalised(param, param.defaultValue);
            instance.connect(controlPort(param.index), &controls[param.index]);
        }
        float latency = -1.0f;
        instance.connect(kLatency, &latency);
        std::vector<float> left(phrase.size()), right(phrase.size());
        instance.activate();

        std::mt19937 random(3);
        std::uniform_int_distribution<int> length(1, 600);
        int runs = 0;
        // Plays the phrase once; answers the allocations and releases made inside run.
        const auto play = [&] {
            long count = 0;
            for (size_t done = 0; done < phrase.size(); ++runs) {
                const size_t n =
                    std::min(phrase.size() - done, size_t(announced ? 256 : length(random)));
                // Every waveform in turn with new depths and duties, as automation would.
                controls[vst::kEffect] = float(runs / 8 % vst::kWaveformCount);
                controls[vst::kDepth] = 0.4f + 0.05f * float(runs % 7);
                controls[vst::kDutyRatio] = 5.0f + float(runs % 90);
                instance.connect(kAudioIn, const_cast<float*>(phrase.data()) + done);
                instance.connect(kAudioOutLeft, left.data() + done);
                instance.connect(kAudioOutRight, right.data() + done);
                AllocationCounter counter;
                instance.run(uint32_t(n));
                count += counter.allocations() + counter.releases();
                done += n;
            }
            return count;
        };
        // From the very first run, and again with other splits and automation.
        EXPECT_EQ(play(), 0);
        EXPECT_EQ(play(), 0);
        EXPECT_EQ(latency, announced ? 0.0f : float(kDefaultBlockLength));
        // It played: the output is neither silent nor the input.
        EXPECT_NE(left, std::vector<float>(left.size(), 0.0f));
        EXPECT_NE(left, phrase);
    }
}

}  // namespace
}  // namespace tanuvo::sound::lv2
