// The parameter table against the plug-in it describes: the units other hosts read map exactly onto
// the values the plug-in takes, and the ranges end where the plug-in's own limits are.
#include "plugin/ParameterTable.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>

#include "plugin/Bleepifier.h"
#include "plugin/SignalChain.h"
#include "tests/support/Hosts.h"

using namespace tanuvo::sound::vst;

namespace {

using tanuvo::sound::vst::testing::quietHost;

TEST(ParameterTableTest, EveryWaveformChoiceSelectsItsGeneratorAndShowsItsName) {
    Bleepifier plugin(quietHost);
    const ParameterInfo& effect = kParameters[kEffect];
    const char* const shown[] = {"Sine", "Square", "Triangle", "Saw", "Noise(L)", "Noise(S)"};
    ASSERT_EQ(effect.scalePointCount, kWaveformCount);
    for (int i = 0; i < kWaveformCount; ++i) {
        const ScalePoint& point = effect.scalePoints[i];
        plugin.setParameter(kEffect, toNormalised(effect, point.value));
        EXPECT_EQ(plugin.getWaveIndex(), i);
        char text[64] = {};
        plugin.getParameterDisplay(kEffect, text);
        EXPECT_STREQ(text, point.label);
        EXPECT_STREQ(text, shown[i]);
        // The value the plug-in reports comes back as the same choice.
        EXPECT_EQ(fromNormalised(effect, plugin.getParameter(kEffect)), point.value);
    }
    // Fractions of a choice round to the nearest; anything outside picks an end.
    EXPECT_EQ(toNormalised(effect, 1.4f), waveformValue(1));
    EXPECT_EQ(toNormalised(effect, -3.0f), waveformValue(0));
    EXPECT_EQ(toNormalised(effect, 9.0f), 1.0f);
    EXPECT_EQ(toNormalised(effect, std::numeric_limits<float>::quiet_NaN()), waveformValue(0));
    EXPECT_EQ(waveformIndex(-0.5f), 0);
    EXPECT_EQ(waveformIndex(std::numeric_limits<float>::quiet_NaN()), 0);
}

TEST(ParameterTableTest, DefaultsAreAFreshPluginsValuesAndLieInTheirRanges) {
    Bleepifier plugin(quietHost);
    for (const ParameterInfo& param : kParameters) {
        SCOPED_TRACE(param.name);
        char name[64] = {};
        plugin.getParameterName(param.index, name);
        EXPECT_STREQ(name, param.name);
        EXPECT_EQ(plugin.getParameter(param.index), param.defaultValue);
        const float shown = fromNormalised(param, param.defaultValue);
        EXPECT_GE(shown, param.minimum);
        EXPECT_LE(shown, param.maximum);
        EXPECT_EQ(toNormalised(param, shown), param.defaultValue);
    }
}

TEST(ParameterTableTest, StepsScalePointsNameTheTrianglesStepCounts) {
    Bleepifier plugin(quietHost);
    const ParameterInfo& steps = kParameters[kSteps];
    const int expected[] = {2, 15, 0};  // 0: no steps, a smooth triangle
    ASSERT_EQ(steps.scalePointCount, 3);
    for (int i = 0; i < steps.scalePointCount; ++i) {
        plugin.setParameter(kSteps, toNormalised(steps, steps.scalePoints[i].value));
        EXPECT_EQ(plugin.getSignalChain()->triangle->stepCount.load(), expected[i])
            << steps.scalePoints[i].label;
    }
}

}  // namespace
