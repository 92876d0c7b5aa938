#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "sound/NoiseWavenizer.h"
#include "sound/SawWavenizer.h"
#include "sound/SineWavenizer.h"
#include "sound/SquareWavenizer.h"
#include "sound/TriangleWavenizer.h"
#include "tests/support/AllocationCounter.h"
#include "tests/sound/VoiceSignal.h"

namespace tanuvo::sound {
namespace {

constexpr double kRate = 44100.0;

// Allocations made by one generator on windows of a steady voice once its taps are cached.
long steadyStateAllocations(int generator, int blockSize) {
    const int window = 1024;
    FIRFilterExecutorOFFT executor;
    SineWavenizer sine(kRate, window, &executor, blockSize);
    sine.widthRatio = 0.5;
    SquareWavenizer square(&sine);
    square.tone = 5.0;
    TriangleWavenizer triangle(&sine, 15);
    TriangleWavenizer smooth(&sine, 0);
    SawWavenizer saw(&sine);
    NoiseSource source(0x8000, 0, 100.0 / kRate, 0.0);
    NoiseWavenizer noise(&sine, &source, false);
    IWavenizer* generators[] = {&sine, &square, &triangle, &smooth, &saw, &noise};
    IWavenizer* chosen = generators[generator];

    const std::vector<float> voice = testing::makeVoice(220.0, kRate, 40 * window, 0.0);
    std::vector<float> buffer(window);
    const int hop = blockSize < window ? blockSize : window;
    long allocations = 0;
    for (int call = 0; call < 30; ++call) {
        buffer.assign(voice.begin() + call * hop, voice.begin() + call * hop + window);
        if (call < 3) {
            chosen->wavenize(buffer.data(), window, 220.0);
            continue;
        }
        testing::AllocationCounter counter;
        chosen->wavenize(buffer.data(), window, 220.0);
        allocations += counter.allocations();
    }
    return allocations;
}

TEST(WavenizerAllocationTest, SteadyPitchWavenizesWithoutHeapAllocation) {
    for (int generator = 0; generator < 6; ++generator) {
        EXPECT_EQ(0, steadyStateAllocations(generator, 1024)) << "generator " << generator;
        EXPECT_EQ(0, steadyStateAllocations(generator, 256))
            << "generator " << generator << " with ring";
    }
}

}  // namespace
}  // namespace tanuvo::sound
