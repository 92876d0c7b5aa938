// The plug-in object: parameters, programs and the signal-chain rebuilds.
#include "plugin/Bleepifier.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "plugin/SignalChain.h"
#include "tests/support/Hosts.h"

using namespace tanuvo::sound;
using namespace tanuvo::sound::vst;

namespace {

using tanuvo::sound::vst::testing::quietHost;

struct BleepifierTest : ::testing::Test {
    Bleepifier plugin{quietHost};
    SignalChain& chain() { return *plugin.getSignalChain(); }

    // The host's view of a text, from a buffer pre-filled with a marker.
    std::string display(int32_t index) {
        char text[64];
        std::memset(text, '#', sizeof(text));
        text[63] = 0;
        plugin.getParameterDisplay(index, text);
        return text;
    }
    std::string programName() {
        char text[64] = {};
        plugin.getProgramName(text);
        return text;
    }
};

}  // namespace

TEST_F(BleepifierTest, EffectSelectsByTruncationAndReportsTheSixValues) {
    const float reported[] = {0.0f, 0.16666667f, 0.33333334f, 0.5f, 0.6666667f, 1.0f};
    for (int i = 0; i < 6; ++i) {
        plugin.setParameter(kEffect, reported[i]);
        EXPECT_EQ(plugin.getWaveIndex(), i);
        EXPECT_EQ(plugin.getParameter(kEffect), reported[i]);
    }
    plugin.setParameter(kEffect, 0.99f);
    EXPECT_EQ(plugin.getWaveIndex(), 5);
    plugin.setParameter(kEffect, 0.5f);
    EXPECT_EQ(plugin.getWaveIndex(), 3);
    EXPECT_EQ(display(kEffect), "Saw");
    plugin.setParameter(kEffect, 0.34f);
    EXPECT_EQ(display(kEffect), "Triangle");
    // At or below -1/6 the first generator, never a negative index; NaN keeps the choice.
    for (float v : {-0.2f, -1.0f, NAN, -1e30f}) {
        plugin.setParameter(kEffect, 0.5f);
        plugin.setParameter(kEffect, v);
        EXPECT_EQ(plugin.getWaveIndex(), std::isnan(v) ? 3 : 0) << v;
    }
    plugin.setParameter(kEffect, 1e30f);
    EXPECT_EQ(plugin.getWaveIndex(), 5);
}

TEST_F(BleepifierTest, DutyRatioIsLimitedAndDisplayedAsPercent) {
    // The table's percent range ends where the plug-in's limits are.
    const ParameterInfo& duty = kParameters[kDutyRatio];
    plugin.setParameter(kDutyRatio, 0.0f);
    EXPECT_EQ(plugin.getParameter(kDutyRatio), 0.01f);
    EXPECT_EQ(plugin.getParameter(kDutyRatio), toNormalised(duty, duty.minimum));
    EXPECT_EQ(display(kDutyRatio), " 1.0%");
    plugin.setParameter(kDutyRatio, 1.0f);
    EXPECT_EQ(plugin.getParameter(kDutyRatio), toNormalised(duty, duty.maximum));
    EXPECT_EQ(display(kDutyRatio), "99.0%");
    EXPECT_EQ(chain().square->dutyRatio.load(), static_cast<double>(0.99f));
    // Percent values the user reads land on the plug-in's value without rounding.
    plugin.setParameter(kDutyRatio, toNormalised(duty, 12.5f));
    EXPECT_EQ(plugin.getParameter(kDutyRatio), 0.125f);
    plugin.setParameter(kDutyRatio, 0.25f);
    EXPECT_EQ(display(kDutyRatio), "25.0%");
    EXPECT_EQ(plugin.getProgramRecord(0).values[kDutyRatio], 0.25f);
    plugin.setParameter(kDutyRatio, NAN);
    EXPECT_EQ(plugin.getParameter(kDutyRatio), 0.25f);
}

TEST_F(BleepifierTest, ToneStepsAndDepthRules) {
    // Written by hand at the curves' points and between them, not read from the curves.
    const struct {
        int32_t index;
        float value;
        double expected;
        double tolerance;
    } readings[] = {
        {kTone, 1.0f, 0.0, 0.0},     {kTone, 0.999f, 15.0, 0.05}, {kTone, 0.5f, 5.0, 0.0},
        {kSteps, 1.0f, 0.0, 0.0},    {kSteps, 0.0f, 2.0, 0.0},    {kSteps, 0.5f, 15.0, 0.0},
        {kSteps, 0.999f, 28.0, 0.0}, {kDepth, 0.0f, 1.0, 0.0},    {kDepth, 0.5f, 3.2222, 1e-4},
        {kDepth, 0.9f, 5.0, 0.0},    {kDepth, 1.0f, 50.0, 0.0}};
    for (const auto& r : readings) {
        plugin.setParameter(r.index, r.value);
        const double got = r.index == kTone    ? chain().square->tone.load()
                           : r.index == kSteps ? chain().triangle->stepCount.load()
                                               : plugin.getDepthGain();
        EXPECT_NEAR(got, r.expected, r.tolerance) << r.index << " at " << r.value;
    }
    // No depth switches the band-pass off; full depth makes it narrowest.
    plugin.setParameter(kDepth, 0.0f);
    EXPECT_EQ(chain().sine->widthRatio.load(), 10.0);
    EXPECT_FALSE(chain().sine->enabled.load());
    plugin.setParameter(kDepth, 1.0f);
    EXPECT_EQ(chain().sine->widthRatio.load(), 0.0);
    EXPECT_TRUE(chain().sine->enabled.load());
}

TEST_F(BleepifierTest, NamesKeepTheirTextsLabelsAndDisplaysAreShortAndTerminated) {
    const char* names[] = {"Volume", "Power",     "Effect", "Mix",
                           "Depth",  "DutyRatio", "Tone",   "Steps"};
    for (int i = 0; i < 8; ++i) {
        char text[32] = {};
        plugin.getParameterName(i, text);
        EXPECT_STREQ(text, names[i]);
    }
    // Hosts that do not clear their buffers read whatever is answered: every label and display,
    // for any index and any stored value, is a terminated text of at most eight characters.
    for (float v : {0.0f, 0.5f, 1.0f, -1e30f, 1e30f, NAN}) {
        for (int32_t index = 0; index < kNumParams; ++index) {
            plugin.setParameter(index, v);
        }
        for (int32_t index : {0, 1, 2, 3, 4, 5, 6, 7, 8, -1, 99}) {
            char label[64];
            std::memset(label, '#', sizeof(label));
            label[63] = 0;
            plugin.getParameterLabel(index, label);
            EXPECT_STREQ(label, "") << index;
            std::string text = display(index);
            EXPECT_LE(text.size(), 8u) << index << " at " << v;
            // Every parameter shows something, so generic editors show no blanks.
            EXPECT_EQ(text.empty(), index > kSteps || index < 0) << index << " at " << v;
        }
    }
    // The fractions read as LV2 hosts show the same ports. Values out of range (which the
    // plug-in may or may not keep as given) still show as a short number.
    const struct {
        float value;
        const char* shown;
    } fractions[] = {{0.5f, "0.50"}, {0.0f, "0.00"},   {1.0f, "1.00"},
                     {0.3f, "0.30"}, {0.999f, "1.00"}, {0.004f, "0.00"}};
    for (int32_t index : {kVolume, kMix, kDepth, kTone, kSteps}) {
        for (const auto& f : fractions) {
            plugin.setParameter(index, f.value);
            EXPECT_EQ(display(index), f.shown) << index << " at " << f.value;
        }
        for (float v : {NAN, -0.5f, -1e30f, 1e30f, INFINITY, -INFINITY}) {
            plugin.setParameter(index, v);
            std::string text = display(index);
            char* end = nullptr;
            double shown = std::strtod(text.c_str(), &end);
            EXPECT_TRUE(!text.empty() && *end == 0 && std::isfinite(shown) && text.size() <= 8u)
                << index << " at " << v << ": " << text;
        }
    }
    // Power names the state the plug-in reports, whatever value set it.
    for (float v : {1.0f, 0.0f, 0.3f, NAN, 0.0f, -1.0f}) {
        plugin.setParameter(kPower, v);
        EXPECT_EQ(display(kPower), plugin.getParameter(kPower) != 0.0f ? "On" : "Off") << v;
    }
    plugin.setParameter(kPower, 0.0f);
    EXPECT_EQ(display(kPower), "Off");
    plugin.setParameter(kPower, 1.0f);
    EXPECT_EQ(display(kPower), "On");
    char digits[16];
    AudioEffect::int2string(0, digits, 8);
    EXPECT_STREQ(digits, "0");
}

TEST_F(BleepifierTest, ProgramsMirrorParametersAndRestoreThem) {
    for (int i = 0; i < 16; ++i) {
        plugin.setProgram(i);
        EXPECT_EQ(programName(), "Init " + std::to_string(i + 1));
        char indexed[32];
        EXPECT_TRUE(plugin.getProgramNameIndexed(0, i, indexed));
        EXPECT_STREQ(indexed, "Init");
    }
    plugin.setProgram(2);
    plugin.setParameter(kVolume, 0.3f);
    plugin.setParameter(kEffect, 0.5f);
    plugin.setParameter(kPower, 0.0f);
    plugin.setParameter(kDutyRatio, 0.6f);
    plugin.setProgram(5);
    EXPECT_EQ(plugin.getParameter(kVolume), 1.0f);
    EXPECT_EQ(plugin.getWaveIndex(), 0);
    EXPECT_EQ(plugin.getParameter(kDutyRatio), 0.25f);
    plugin.setProgram(2);
    EXPECT_EQ(plugin.getParameter(kVolume), 0.3f);
    EXPECT_EQ(plugin.getWaveIndex(), 3);
    EXPECT_EQ(plugin.getParameter(kPower), 0.0f);
    EXPECT_EQ(plugin.getParameter(kDutyRatio), 0.6f);
    EXPECT_EQ(chain().square->dutyRatio.load(), double(0.6f));
    plugin.setProgram(5);
    EXPECT_EQ(chain().square->dutyRatio.load(), 0.25);

    plugin.setProgram(3);
    plugin.setProgramName("Lead");
    EXPECT_EQ(programName(), "Lead");
    char indexed[32];
    plugin.getProgramNameIndexed(0, 3, indexed);
    EXPECT_STREQ(indexed, "Lead");
    EXPECT_FALSE(plugin.getProgramNameIndexed(0, 16, indexed));

    // Out-of-range programs are not selected.
    plugin.setProgram(-1);
    plugin.setProgram(16);
    EXPECT_EQ(plugin.getProgram(), 3);
}

TEST_F(BleepifierTest, RebuildsOnlyOnChangesAndKeepsGeneratorSettings) {
    plugin.setParameter(kEffect, 0.34f);
    plugin.setParameter(kTone, 0.0f);
    plugin.setParameter(kSteps, 0.0f);
    SignalChain* before = plugin.getSignalChain();
    plugin.setSampleRate(44100.0f);
    EXPECT_EQ(plugin.getSignalChain(), before);
    EXPECT_EQ(chain().square->tone.load(), 1.5);

    plugin.setSampleRate(48000.0f);
    EXPECT_EQ(chain().square->tone.load(), 1.5);
    EXPECT_EQ(chain().triangle->stepCount.load(), 2);
    EXPECT_EQ(plugin.getWaveIndex(), 2);

    plugin.setBlockSize(256);
    ASSERT_NE(plugin.getSlidingWindow(), nullptr);
    EXPECT_EQ(plugin.getSlidingWindow()->hop, 256);
    EXPECT_EQ(plugin.getWindowLength(), 1024);
    plugin.setBlockSize(2048);
    EXPECT_EQ(plugin.getSlidingWindow(), nullptr);
    EXPECT_EQ(plugin.getWindowLength(), 2048);
    plugin.setBlockSize(1 << 20);  // pieces of the largest supported size instead
    EXPECT_EQ(plugin.getWindowLength(), Bleepifier::kMaxBlockSize);

    // Rates the chain cannot be built for are not applied.
    before = plugin.getSignalChain();
    plugin.setSampleRate(10.0f);
    plugin.setSampleRate(NAN);
    EXPECT_EQ(plugin.getSignalChain(), before);
    EXPECT_EQ(plugin.getSampleRate(), 48000.0f);
}

TEST_F(BleepifierTest, ResynthesisesAVoicedToneEndToEnd) {
    // A 220 Hz tone with harmonics becomes a square of the same period; the depth gain brings the
    // narrow band-pass output back to about the input's level.
    plugin.setParameter(kEffect, 0.2f);
    std::vector<float> in(1024), out0(1024), out1(1024);
    float* ins[] = {in.data()};
    float* outs[] = {out0.data(), out1.data()};
    double phase = 0.0;
    double peak = 0.0;
    for (int block = 0; block < 8; ++block) {
        for (float& x : in) {
            x = static_cast<float>(0.1 * std::sin(phase) + 0.05 * std::sin(2 * phase));
            phase += 2 * 3.141592653589793 * 220.0 / 44100.0;
        }
        plugin.processReplacing(ins, outs, 1024);
        for (int i = 0; i < 1024; ++i) {
            ASSERT_TRUE(std::isfinite(out0[i]));
            ASSERT_EQ(out0[i], out1[i]);
        }
    }
    int crossings = 0;
    for (int i = 1; i < 1024; ++i) {
        crossings += out0[i - 1] < 0.0f && out0[i] >= 0.0f;
        peak = std::max(peak, static_cast<double>(std::fabs(out0[i])));
    }
    // About 220 * 1024 / 44100 = 5.1 cycles per block.
    EXPECT_GE(crossings, 4);
    EXPECT_LE(crossings, 6);
    EXPECT_GT(peak, 0.03);
    EXPECT_LT(peak, 1.0);
}

TEST_F(BleepifierTest, HostBlocksShorterThanAnnouncedJoinWithoutSteps) {
    // Hosts may send blocks shorter than announced (loop points, automation splits). Each is
    // analysed with the input before it, so a steady tone comes out as steadily as with blocks of
    // the announced length: no larger steps (sine, and the square at a Tone whose edges are the
    // sine's), and no rougher (every waveform; rough = mean squared second difference). Low tones
    // are the hard case: the filter then reaches back further than a short block.
    struct Played {
        float step = 0.0f;
        double rough = 0.0;
    };
    auto play = [](const std::vector<float>& tone, int announced, int wave, float mixValue,
                   const std::vector<int>& lengths) {
        Bleepifier fresh{quietHost};
        fresh.setBlockSize(announced);
        fresh.setParameter(kMix, mixValue);
        fresh.setParameter(kEffect, waveformValue(wave));
        fresh.setParameter(kTone, 0.5f);
        std::vector<float> out(tone.size()), other(tone.size());
        std::size_t done = 0;
        for (std::size_t k = 0; done < tone.size(); ++k) {
            int n = std::min<int>(lengths[k % lengths.size()], int(tone.size() - done));
            float* ins[] = {const_cast<float*>(tone.data()) + done};
            float* outs[] = {out.data() + done, other.data() + done};
            fresh.processReplacing(ins, outs, n);
            done += n;
        }
        Played result;
        for (std::size_t i = 8192; i < out.size(); ++i) {
            result.step = std::max(result.step, std::fabs(out[i] - out[i - 1]));
            const double bend = double(out[i]) - 2.0 * out[i - 1] + out[i - 2];
            result.rough += bend * bend / double(out.size() - 8192);
        }
        return result;
    };
    for (double hz : {110.0, 220.0}) {
        std::vector<float> tone(43 * 1024);
        for (std::size_t i = 0; i < tone.size(); ++i) {
            tone[i] = static_cast<float>(0.5 * std::sin(2 * 3.141592653589793 * hz * i / 44100.0));
        }
        for (int announced : {64, 256, 512, 1024}) {
            const std::vector<int> split = {announced,         announced / 2 + 3, announced,
                                            announced / 4 + 1, announced - 7,     37};
            for (int wave = 0; wave < kWaveformCount; ++wave) {
                for (float mixValue : {1.0f, 0.5f}) {
                    if (mixValue != 1.0f && wave != 0) {
                        continue;
                    }
                    const Played steady = play(tone, announced, wave, mixValue, {announced});
                    const Played irregular = play(tone, announced, wave, mixValue, split);
                    SCOPED_TRACE(::testing::Message()
                                 << hz << " Hz, announced " << announced << ", waveform " << wave
                                 << ", mix " << mixValue);
                    EXPECT_GT(steady.rough, 0.0);
                    EXPECT_LE(irregular.rough, steady.rough * 1.15);
                    if (wave <= 1) {
                        EXPECT_LE(irregular.step, steady.step * 1.1f + 0.005f);
                    }
                }
            }
        }
    }
}
